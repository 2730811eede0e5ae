// RegistryIniRemovalTest.cpp -- registry values, INI keys and the uninstall key that
// the removal deletes, and the records it must leave alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include "PathVariables.h"
#include "RemovalActions.h"
#include "RemovalTestSupport.h"

namespace {

const char kToolKey[] = "Software\\Velmor\\ZendrixTests\\Vendor\\Tool";
const char kVendorKey[] = "Software\\Velmor\\ZendrixTests\\Vendor";
const char kTestsKey[] = "Software\\Velmor\\ZendrixTests";

struct Root {
    HKEY hKey;
    std::string subKey; // HKEY_USERS takes keys below a user's hive
};

std::vector<Root> AllRoots()
{
    return {{HKEY_CLASSES_ROOT, "ZendrixTests\\Vendor\\Tool"},
            {HKEY_CURRENT_USER, kToolKey},
            {HKEY_LOCAL_MACHINE, kToolKey},
            {HKEY_USERS, std::string(".DEFAULT\\") + kToolKey}};
}

class RegistryRemoval : public ::testing::Test {
protected:
    void TearDown() override
    {
        DeleteRegTree(HKEY_CLASSES_ROOT, "ZendrixTests");
        DeleteRegTree(HKEY_CURRENT_USER, kTestsKey);
        DeleteRegTree(HKEY_LOCAL_MACHINE, kTestsKey);
        DeleteRegTree(HKEY_USERS, (std::string(".DEFAULT\\") + kTestsKey).c_str());
        HKEY hUser;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, NULL, 0, KEY_SET_VALUE, &hUser) == ERROR_SUCCESS) {
            RegDeleteValueA(hUser, "ZendrixTestsRootValue");
            RegCloseKey(hUser);
        }
    }
};

TEST_F(RegistryRemoval, DeletesOnlyTheValueUnderEachRootAndKeepsTheEmptiedKey)
{
    std::vector<Root> roots = AllRoots();
    for (unsigned code = 0; code < roots.size(); ++code) {
        const Root &r = roots[code];
        ASSERT_TRUE(RegSetString(r.hKey, r.subKey.c_str(), "Path", "C:\\Tool"));
        EXPECT_EQ(1, RemoveRegistryEntry(code, r.subKey.c_str(), "Path")) << "root " << code;
        EXPECT_FALSE(RegValueExists(r.hKey, r.subKey.c_str(), "Path")) << "root " << code;
        EXPECT_TRUE(RegKeyExists(r.hKey, r.subKey.c_str())) << "root " << code;
    }
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kVendorKey));
}

TEST_F(RegistryRemoval, OtherValuesAndTheDefaultValueAreSeparate)
{
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kToolKey, "Path", "C:\\Tool"));
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kToolKey, "Version", "2"));
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kToolKey, "", "default"));

    RemoveRegistryEntry(2, kToolKey, "Path");
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, kToolKey, "Version"));
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, kToolKey, ""));

    // An empty value name stands for the key's default value.
    RemoveRegistryEntry(2, kToolKey, "");
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, kToolKey, ""));
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, kToolKey, "Version"));
}

TEST_F(RegistryRemoval, EmptySubkeyNamesTheRootItself)
{
    HKEY hUser;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, NULL, 0, KEY_ALL_ACCESS, &hUser));
    RegSetValueExA(hUser, "ZendrixTestsRootValue", 0, REG_SZ, (const BYTE *)"x", 2);
    RegCloseKey(hUser);
    RemoveRegistryEntry(1, "", "ZendrixTestsRootValue");
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, NULL, "ZendrixTestsRootValue"));
}

TEST_F(RegistryRemoval, MissingSubkeyIsPassedOverWithoutCreatingIt)
{
    const char kMissing[] = "Software\\Velmor\\ZendrixTests\\Never\\Written";
    EXPECT_EQ(0, RemoveRegistryEntry(2, kMissing, "Path"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kMissing));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kTestsKey));
}

TEST_F(RegistryRemoval, RootCodesAboveThreeAreSkipped)
{
    std::vector<Root> roots = AllRoots();
    for (const Root &r : roots)
        ASSERT_TRUE(RegSetString(r.hKey, r.subKey.c_str(), "Path", "C:\\Tool"));
    for (unsigned code : {4u, 5u, 0xFFu, 0x80000000u})
        for (const Root &r : roots)
            EXPECT_EQ(0, RemoveRegistryEntry(code, r.subKey.c_str(), "Path")) << "code " << code;
    for (const Root &r : roots)
        EXPECT_TRUE(RegValueExists(r.hKey, r.subKey.c_str(), "Path"));
}

// INI entries: location codes put a path variable in front of the file name.
class IniRemoval : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitPathVariables();
        SetPathVariable("SEL_DESTPATH", (dir.Path() + "\\").c_str());
    }
    void TearDown() override
    {
        for (const std::string &f : created)
            DeleteFileA(f.c_str());
    }
    std::string Track(const std::string &path)
    {
        created.push_back(path);
        return path;
    }
    // Writes MyFont and OtherFont into [Fonts] of the file.
    void Seed(const std::string &path)
    {
        ASSERT_TRUE(WritePrivateProfileStringA("Fonts", "MyFont", "my.ttf", path.c_str()));
        ASSERT_TRUE(WritePrivateProfileStringA("Fonts", "OtherFont", "other.ttf", path.c_str()));
    }
    static std::string Read(const std::string &path, const char *pszKey)
    {
        char szValue[64];
        GetPrivateProfileStringA("Fonts", pszKey, "<none>", szValue, sizeof(szValue), path.c_str());
        return szValue;
    }
    static bool HasSection(const std::string &path, const char *pszSection)
    {
        char szNames[4096];
        DWORD cch = GetPrivateProfileSectionNamesA(szNames, sizeof(szNames), path.c_str());
        for (const char *p = szNames; p < szNames + cch && *p; p += strlen(p) + 1)
            if (lstrcmpiA(p, pszSection) == 0)
                return true;
        return false;
    }
    ScratchDir dir;
    std::vector<std::string> created;
};

TEST_F(IniRemoval, EachLocationCodeFindsItsFileAndKeepsTheSection)
{
    struct Case {
        unsigned code;
        std::string fileName;
        std::string fullPath;
    } cases[] = {
        {0, "app.ini", dir / "app.ini"},
        {1, "zxremoval-win.ini", std::string(GetPathVariable("WINDIR")) + "zxremoval-win.ini"},
        {2, "zxremoval-sys.ini", std::string(GetPathVariable("WINSYSDIR")) + "zxremoval-sys.ini"},
        {3, dir / "full path.ini", dir / "full path.ini"},
    };
    for (const Case &c : cases) {
        Track(c.fullPath);
        Seed(c.fullPath);
        EXPECT_EQ(1, RemoveIniEntry(c.code, c.fileName.c_str(), "Fonts", "MyFont"));
        EXPECT_EQ("<none>", Read(c.fullPath, "MyFont")) << "location " << c.code;
        EXPECT_EQ("other.ttf", Read(c.fullPath, "OtherFont")) << "location " << c.code;
    }

    // Removing the last key leaves the section in place.
    const std::string &last = cases[3].fullPath;
    RemoveIniEntry(3, last.c_str(), "Fonts", "OtherFont");
    EXPECT_EQ("<none>", Read(last, "OtherFont"));
    EXPECT_TRUE(HasSection(last, "Fonts"));
}

TEST_F(IniRemoval, DestinationWithoutAnAppRecordLeavesTheBareFileName)
{
    // An empty SEL_DESTPATH: the profile functions look for a bare name in the
    // Windows directory.
    SetPathVariable("SEL_DESTPATH", "");
    std::string inWinDir = Track(std::string(GetPathVariable("WINDIR")) + "zxremoval-bare.ini");
    Seed(inWinDir);
    EXPECT_EQ(1, RemoveIniEntry(0, "zxremoval-bare.ini", "Fonts", "MyFont"));
    EXPECT_EQ("<none>", Read(inWinDir, "MyFont"));
    EXPECT_EQ("other.ttf", Read(inWinDir, "OtherFont"));
}

TEST_F(IniRemoval, LocationCodesAboveThreeAreSkipped)
{
    std::string path = Track(dir / "app.ini");
    Seed(path);
    for (unsigned code : {4u, 7u, 0xFFFFFFFFu}) {
        EXPECT_EQ(0, RemoveIniEntry(code, path.c_str(), "Fonts", "MyFont"));
        EXPECT_EQ(0, RemoveIniEntry(code, "app.ini", "Fonts", "MyFont"));
    }
    EXPECT_EQ("my.ttf", Read(path, "MyFont"));
}

TEST_F(IniRemoval, ComposedPathTooLongForItsBufferIsSkippedNotCutShort)
{
    // "<dir>\.\.\.\...\victim.ini" names a short file but is a long text. Cut after
    // INI_PATH_SIZE - 1 characters, destination + "victim.ini" + "x" would name the victim.
    std::string victim = Track(dir / "victim.ini");
    Seed(victim);
    std::string destination = dir.Path() + "\\";
    const std::string fileName = "victim.ini";
    while (destination.size() + fileName.size() + 2 <= INI_PATH_SIZE - 1)
        destination += ".\\";
    if (destination.size() + fileName.size() < INI_PATH_SIZE - 1)
        destination.insert(dir.Path().size() + 1, "\\"); // one doubled separator fills the gap
    ASSERT_EQ((size_t)INI_PATH_SIZE - 1, destination.size() + fileName.size());
    ASSERT_LE(destination.size(), (size_t)PATHVAR_VALUE_SIZE - 1);
    ASSERT_TRUE(SetPathVariable("SEL_DESTPATH", destination.c_str()));

    // One byte too many: skipped, the victim keeps its key.
    EXPECT_EQ(0, RemoveIniEntry(0, (fileName + "x").c_str(), "Fonts", "MyFont"));
    EXPECT_EQ("my.ttf", Read(victim, "MyFont"));

    // Exactly at the limit the same path is acted on, so the system does take such names.
    EXPECT_EQ(1, RemoveIniEntry(0, fileName.c_str(), "Fonts", "MyFont"));
    EXPECT_EQ("<none>", Read(victim, "MyFont"));

    // The same for a file name that is too long on its own.
    std::string longName(300, 'a');
    EXPECT_EQ(0, RemoveIniEntry(3, longName.c_str(), "Fonts", "OtherFont"));
    EXPECT_EQ("other.ttf", Read(victim, "OtherFont"));
}

// The uninstall key, the removal's last step.
class UninstallKey : public ::testing::Test {
protected:
    static constexpr const char *kParent = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    static std::string KeyOf(const char *pszName) { return std::string(kParent) + "\\" + pszName; }
    void TearDown() override
    {
        for (const char *name : {"ZendrixTests Demo", "ZendrixTests 100%s %d", "ZendrixTests Nested"})
            DeleteRegTree(HKEY_LOCAL_MACHINE, KeyOf(name).c_str());
    }
};

TEST_F(UninstallKey, DeletesTheNamedKeyWithItsValues)
{
    std::string key = KeyOf("ZendrixTests Demo");
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayName", "Demo"));
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, key.c_str(), "UninstallString", "Kolvu.exe x"));
    EXPECT_EQ(1, DeleteUninstallKey("ZendrixTests Demo"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key.c_str()));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kParent));
}

TEST_F(UninstallKey, NamesWithPercentSignsAreTakenLiterally)
{
    std::string key = KeyOf("ZendrixTests 100%s %d");
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayName", "odd"));
    DeleteUninstallKey("ZendrixTests 100%s %d");
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key.c_str()));
}

TEST_F(UninstallKey, EmptyNameDeletesNothing)
{
    std::string sibling = KeyOf("ZendrixTests Demo");
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, sibling.c_str(), "DisplayName", "Demo"));
    EXPECT_EQ(0, DeleteUninstallKey(""));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, sibling.c_str()));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kParent));
}

TEST_F(UninstallKey, KeyWithSubkeysStaysOnTheNtFamily)
{
    std::string key = KeyOf("ZendrixTests Nested");
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, (key + "\\Child").c_str(), "x", "y"));
    DeleteUninstallKey("ZendrixTests Nested");
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, (key + "\\Child").c_str()));
}

} // namespace
