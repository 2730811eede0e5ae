// InitPathVariablesTest.cpp -- the values filled in from the running system under Wine.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "PathVariables.h"
#include "SystemTest.h"

namespace {

const char *const OFFICE_ROOTS[] = {
    "Software\\Microsoft\\Office\\9.0\\Common\\Installroot",
    "Software\\Microsoft\\Office\\8.0\\Common\\Installroot",
    "Software\\Microsoft\\Office\\7.0\\Common\\Installroot",
};

// In the order they are set; the list holds them the other way round.
const char *const SYSTEM_NAMES[] = {
    "WINDIR",           "WINDRIVE",          "WINSYSDIR",          "TEMPDIR",
    "PROGRAMFILESDIR",  "COMMONFILESDIR",    "COMMON_DESKTOPDIR",  "DESKTOPDIR",
    "FONTSDIR",         "COMMON_PROGRAMSDIR", "PROGRAMSDIR",       "COMMON_STARTMENUDIR",
    "STARTMENUDIR",     "COMMON_STARTUPDIR", "STARTUPDIR",
};

void SetOfficeRoot(const char *pszKey, const char *pszPath)
{
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, pszKey, "Path", pszPath));
}

std::string WithBackslash(std::string s)
{
    if (!s.empty() && s.back() != '\\')
        s += '\\';
    return s;
}

bool EndsInOneBackslash(const std::string &s)
{
    return s.size() >= 2 && s[s.size() - 1] == '\\' && s[s.size() - 2] != '\\';
}

// Office is not part of a bare Wine prefix; where a real one is installed, leave it be.
class OfficeRoots : public ::testing::Test {
  protected:
    void SetUp() override
    {
        for (const char *pszKey : OFFICE_ROOTS) {
            if (RegKeyExists(HKEY_LOCAL_MACHINE, pszKey))
                GTEST_SKIP() << "an Office install root exists on this system";
        }
        bHadOfficeKey = RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office");
    }
    void TearDown() override
    {
        if (bHadOfficeKey) {
            for (const char *pszVersion : {"9.0", "8.0", "7.0"})
                SHDeleteKeyA(HKEY_LOCAL_MACHINE,
                             (std::string("Software\\Microsoft\\Office\\") + pszVersion).c_str());
        } else {
            SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office");
        }
    }
    bool bHadOfficeKey = false;
};

} // namespace

TEST(SystemDirectories, WindowsDirectoryAndDrive)
{
    InitPathVariables();
    char sz[MAX_PATH];
    GetWindowsDirectoryA(sz, MAX_PATH);
    std::string windir = GetPathVariable("WINDIR");
    EXPECT_EQ(WithBackslash(sz), windir);
    EXPECT_TRUE(EndsInOneBackslash(windir)) << windir;

    std::string drive = GetPathVariable("WINDRIVE");
    ASSERT_EQ(2u, drive.size());
    EXPECT_EQ(windir.substr(0, 2), drive);
    EXPECT_EQ(':', drive[1]);

    GetSystemDirectoryA(sz, MAX_PATH);
    EXPECT_EQ(WithBackslash(sz), GetPathVariable("WINSYSDIR"));
}

TEST(SystemDirectories, TempDirectoryKeepsItsOneBackslash)
{
    InitPathVariables();
    char sz[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, sz), 0u);
    ASSERT_EQ('\\', sz[strlen(sz) - 1]) << "the system reports it with a backslash already";
    EXPECT_STREQ(sz, GetPathVariable("TEMPDIR"));
    EXPECT_TRUE(EndsInOneBackslash(GetPathVariable("TEMPDIR")));
}

TEST(SystemDirectories, RegistryAndShellFoldersAreExistingDirectories)
{
    InitPathVariables();
    char sz[MAX_PATH];
    DWORD cb = sizeof(sz);
    ASSERT_EQ(ERROR_SUCCESS, SHGetValueA(HKEY_LOCAL_MACHINE,
                                         "Software\\Microsoft\\Windows\\CurrentVersion",
                                         "ProgramFilesDir", NULL, sz, &cb));
    EXPECT_EQ(WithBackslash(sz), GetPathVariable("PROGRAMFILESDIR"));

    for (int i = 4; i < 15; i++) {
        std::string value = GetPathVariable(SYSTEM_NAMES[i]);
        EXPECT_TRUE(EndsInOneBackslash(value)) << SYSTEM_NAMES[i] << " = " << value;
        DWORD attrs = GetFileAttributesA(value.c_str());
        EXPECT_TRUE(attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
            << SYSTEM_NAMES[i] << " = " << value;
    }
    EXPECT_NE(std::string(GetPathVariable("DESKTOPDIR")), GetPathVariable("COMMON_DESKTOPDIR"));
    EXPECT_NE(std::string(GetPathVariable("STARTMENUDIR")), GetPathVariable("PROGRAMSDIR"));
}

TEST(SystemDirectories, SetInOrderAndOnlyOnce)
{
    InitPathVariables();
    InitPathVariables();
    std::vector<std::string> seen;
    for (PathVariable *p = PathVariableList; p != NULL; p = p->next) {
        for (const char *pszName : SYSTEM_NAMES) {
            if (strcmp(p->name, pszName) == 0)
                seen.insert(seen.begin(), p->name);
        }
    }
    ASSERT_EQ(15u, seen.size());
    for (size_t i = 0; i < seen.size(); i++)
        EXPECT_EQ(SYSTEM_NAMES[i], seen[i]);
}

TEST_F(OfficeRoots, UnknownWithoutAnyInstallRoot)
{
    EXPECT_EQ(0, InitPathVariables());
    EXPECT_EQ(nullptr, FindPathVariable("MSOFFICEDIR"));
    EXPECT_STREQ("", GetPathVariable("MSOFFICEDIR"));
}

TEST_F(OfficeRoots, TakenFromTheNewestRootThatCanBeRead)
{
    SetOfficeRoot(OFFICE_ROOTS[2], "C:\\Office95");
    EXPECT_EQ(1, InitPathVariables());
    EXPECT_STREQ("C:\\Office95\\", GetPathVariable("MSOFFICEDIR"));

    SetOfficeRoot(OFFICE_ROOTS[1], "C:\\Office97\\");
    EXPECT_EQ(1, InitPathVariables());
    EXPECT_STREQ("C:\\Office97\\", GetPathVariable("MSOFFICEDIR"));

    SetOfficeRoot(OFFICE_ROOTS[0], "C:\\Office2000");
    EXPECT_EQ(1, InitPathVariables());
    EXPECT_STREQ("C:\\Office2000\\", GetPathVariable("MSOFFICEDIR"));
}

TEST_F(OfficeRoots, LongestReadableRootKeepsItsBackslash)
{
    std::string path = "C:\\" + std::string(256, 'o'); // 259 characters, the most that is read
    SetOfficeRoot(OFFICE_ROOTS[0], path.c_str());
    EXPECT_EQ(1, InitPathVariables());
    EXPECT_EQ(path + "\\", GetPathVariable("MSOFFICEDIR"));
}

// 260 bytes of binary "A" under the newest root are no path: that root counts as
// not set, the next one wins, and nothing runs past the 262-byte buffer.
TEST_F(OfficeRoots, RootOfAnotherTypeCountsAsNotSet)
{
    BYTE binary[260];
    memset(binary, 'A', sizeof(binary));
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, OFFICE_ROOTS[0], &hKey));
    RegSetValueExA(hKey, "Path", 0, REG_BINARY, binary, sizeof(binary));
    RegCloseKey(hKey);
    SetOfficeRoot(OFFICE_ROOTS[1], "C:\\Office97");
    EXPECT_EQ(1, InitPathVariables());
    EXPECT_STREQ("C:\\Office97\\", GetPathVariable("MSOFFICEDIR"));
}
