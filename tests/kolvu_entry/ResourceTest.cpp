// ResourceTest.cpp -- what Explorer and the Properties sheet show of Kolvu.exe:
// its version entries and its three-image icon, stored under language 1031.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

class KolvuResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryExA("Kolvu.exe", NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, (HMODULE)NULL);
    }
    void TearDown() override
    {
        if (module_)
            FreeLibrary(module_);
    }
    HMODULE module_ = NULL;
};

static std::string VersionString(const std::vector<char> &info, const char *name)
{
    std::string path = std::string("\\StringFileInfo\\040704E4\\") + name;
    char *value = NULL;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), path.c_str(), (void **)&value, &length) || value == NULL)
        return "(missing)";
    return value;
}

TEST_F(KolvuResources, VersionEntries)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA("Kolvu.exe", &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA("Kolvu.exe", 0, size, info.data()));

    VS_FIXEDFILEINFO *fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void **)&fixed, &length));
    EXPECT_EQ(fixed->dwFileVersionMS, (DWORD)MAKELONG(9, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, (DWORD)MAKELONG(1403, 3));
    EXPECT_EQ(fixed->dwProductVersionMS, (DWORD)MAKELONG(9, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, (DWORD)MAKELONG(1403, 3));

    EXPECT_EQ(VersionString(info, "FileDescription"), "Zendrix Uninstall Application");
    EXPECT_EQ(VersionString(info, "FileVersion"), "1.93x.1403");
    EXPECT_EQ(VersionString(info, "InternalName"), "Kolvu");
    EXPECT_EQ(VersionString(info, "OriginalFilename"), "Kolvu.EXE");
    EXPECT_EQ(VersionString(info, "ProductName"), "Zendrix");
    EXPECT_EQ(VersionString(info, "ProductVersion"), "1.93x");
    EXPECT_EQ(VersionString(info, "CompanyName"), "Velmor Software");
    EXPECT_NE(VersionString(info, "LegalCopyright").find("Velmor Software"), std::string::npos);
}

TEST_F(KolvuResources, IconVersionAndDialogsAreGermanResources)
{
    const WORD german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
    EXPECT_EQ(german, 1031);
    EXPECT_NE(FindResourceExA(module_, RT_GROUP_ICON, "MAINICON", german), (HRSRC)NULL);
    EXPECT_NE(FindResourceExA(module_, RT_VERSION, MAKEINTRESOURCEA(1), german), (HRSRC)NULL);
    EXPECT_NE(FindResourceExA(module_, RT_DIALOG, "UNINSTDLG", german), (HRSRC)NULL);
    EXPECT_NE(FindResourceExA(module_, RT_DIALOG, "RESTARTDLG", german), (HRSRC)NULL);
}

TEST_F(KolvuResources, MainIconHoldsThreeImages)
{
    HRSRC group = FindResourceA(module_, "MAINICON", RT_GROUP_ICON);
    ASSERT_NE(group, (HRSRC)NULL);
    const BYTE *dir = (const BYTE *)LockResource(LoadResource(module_, group));
    ASSERT_NE(dir, nullptr);
    WORD count = *(const WORD *)(dir + 4);
    ASSERT_EQ(count, 3);
    for (int i = 0; i < count; i++) {
        const BYTE *entry = dir + 6 + 14 * i;   // GRPICONDIRENTRY
        EXPECT_EQ(entry[0], entry[1]) << "square image";
        WORD id = *(const WORD *)(entry + 12);
        EXPECT_NE(FindResourceA(module_, MAKEINTRESOURCEA(id), RT_ICON), (HRSRC)NULL);
    }
    HICON icon = (HICON)LoadImageA(module_, "MAINICON", IMAGE_ICON, 32, 32, 0);
    EXPECT_NE(icon, (HICON)NULL);
    if (icon)
        DestroyIcon(icon);
}
