// PlatformTest.cpp -- the Windows family test and the registry helpers under Wine.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>
#include <string.h>

#include "Owners.h"
#include "Platform.h"
#include "SystemTest.h"
#include "UiTest.h"

namespace {

const char TEST_ROOT[] = "Software\\Velmor\\ZendrixTests\\Platform";
const char PROBE_DEFAULTS[] = "Software\\Wine\\AppDefaults\\ZxVersionProbe.exe";

DWORD RunProbe()
{
    PROCESS_INFORMATION pi;
    if (!UiStartProcess("ZxVersionProbe.exe", &pi))
        return UI_STILL_RUNNING;
    return UiWaitExit(&pi, 30000);
}

void PutValue(HKEY hRoot, const char *pszSubKey, const char *pszValue, DWORD dwType,
              const void *pData, DWORD cbData)
{
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(hRoot, pszSubKey, &hKey));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(hKey, pszValue, 0, dwType, (const BYTE *)pData, cbData));
    RegCloseKey(hKey);
}

// Every case works below its own key of HKCU, which is used as the helpers' root.
class Registry : public ::testing::Test {
  protected:
    HKEY hRoot = NULL;
    void SetUp() override
    {
        SHDeleteKeyA(HKEY_CURRENT_USER, TEST_ROOT);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, TEST_ROOT, &hRoot));
    }
    void TearDown() override
    {
        RegCloseKey(hRoot);
        SHDeleteKeyA(HKEY_CURRENT_USER, TEST_ROOT);
    }
};

} // namespace

TEST(WindowsFamily, WineReportsTheNtFamilyByDefault)
{
    EXPECT_NE(0, IsWindowsNT());
}

TEST(WindowsFamily, ProgramSetToWindows98IsNotNt)
{
    SHDeleteKeyA(HKEY_CURRENT_USER, PROBE_DEFAULTS);
    EXPECT_EQ(1u, RunProbe());

    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, PROBE_DEFAULTS, "Version", "win98"));
    DWORD dwAs98 = RunProbe();
    SHDeleteKeyA(HKEY_CURRENT_USER, PROBE_DEFAULTS);
    EXPECT_EQ(0u, dwAs98);
}

TEST_F(Registry, ReadDwordGivesTheStoredNumber)
{
    DWORD dw = 0xDEADBEEF;
    PutValue(hRoot, "Counts", "C:\\Windows\\system32\\a.dll", REG_DWORD, &dw, sizeof(dw));
    EXPECT_EQ(0xDEADBEEFu, ReadRegistryDword(hRoot, "Counts", "C:\\Windows\\system32\\a.dll"));
}

TEST_F(Registry, ReadDwordOfWhatIsNotAFourByteValueIsZero)
{
    ASSERT_TRUE(RegSetString(hRoot, "Counts", "Text", "12345678"));
    EXPECT_EQ(0u, ReadRegistryDword(hRoot, "Counts", "Text"));
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    PutValue(hRoot, "Counts", "Binary", REG_BINARY, eight, sizeof(eight));
    EXPECT_EQ(0u, ReadRegistryDword(hRoot, "Counts", "Binary"));
    EXPECT_EQ(0u, ReadRegistryDword(hRoot, "Counts", "Missing"));
    EXPECT_EQ(0u, ReadRegistryDword(hRoot, "NoSuchKey", "Text"));
    EXPECT_EQ(0u, ReadRegistryDword(hRoot, "", "Text"));
    EXPECT_EQ(0u, ReadRegistryDword(hRoot, NULL, "Text"));
}

TEST_F(Registry, SetDwordCreatesMissingKeyAndValue)
{
    ASSERT_FALSE(RegKeyExists(hRoot, "New\\Deeper"));
    EXPECT_TRUE(SetRegistryDword(hRoot, "New\\Deeper", "Count", 3));

    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(hRoot, "New\\Deeper", 0, KEY_READ, &hKey));
    DWORD dwType = 0, dwValue = 0, cb = sizeof(dwValue);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(hKey, "Count", NULL, &dwType, (BYTE *)&dwValue, &cb));
    RegCloseKey(hKey);
    EXPECT_EQ((DWORD)REG_DWORD, dwType);
    EXPECT_EQ(3u, dwValue);

    EXPECT_TRUE(SetRegistryDword(hRoot, "New\\Deeper", "Count", 2));
    EXPECT_EQ(2u, ReadRegistryDword(hRoot, "New\\Deeper", "Count"));
}

TEST_F(Registry, SetDwordWithoutSubkeyWritesNothing)
{
    EXPECT_FALSE(SetRegistryDword(hRoot, "", "Stray", 1));
    EXPECT_FALSE(SetRegistryDword(hRoot, NULL, "Stray", 1));
    EXPECT_FALSE(RegValueExists(hRoot, NULL, "Stray"));
}

TEST_F(Registry, DeletingTheLastValueRemovesTheEmptyKey)
{
    ASSERT_TRUE(SetRegistryDword(hRoot, "Shared", "a.dll", 1));
    EXPECT_TRUE(DeleteRegistryValue(hRoot, "Shared", "a.dll"));
    EXPECT_FALSE(RegKeyExists(hRoot, "Shared"));
}

TEST_F(Registry, DeletingAValueKeepsAKeyThatHoldsMore)
{
    ASSERT_TRUE(SetRegistryDword(hRoot, "Shared", "a.dll", 1));
    ASSERT_TRUE(SetRegistryDword(hRoot, "Shared", "b.dll", 1));
    EXPECT_TRUE(DeleteRegistryValue(hRoot, "Shared", "a.dll"));
    EXPECT_TRUE(RegKeyExists(hRoot, "Shared"));
    EXPECT_FALSE(RegValueExists(hRoot, "Shared", "a.dll"));
    EXPECT_TRUE(RegValueExists(hRoot, "Shared", "b.dll"));

    ASSERT_TRUE(SetRegistryDword(hRoot, "Parent\\Child", "x", 1));
    ASSERT_TRUE(SetRegistryDword(hRoot, "Parent", "only", 1));
    EXPECT_TRUE(DeleteRegistryValue(hRoot, "Parent", "only"));
    EXPECT_FALSE(RegValueExists(hRoot, "Parent", "only"));
    EXPECT_TRUE(RegKeyExists(hRoot, "Parent\\Child"));
}

TEST_F(Registry, DeletingFromAMissingKeyFails)
{
    EXPECT_FALSE(DeleteRegistryValue(hRoot, "NoSuchKey", "a.dll"));
    EXPECT_FALSE(DeleteRegistryValue(hRoot, "", "a.dll"));
}

TEST(RegistryMachine, SharedCountRoundTripUnderLocalMachine)
{
    const char szKey[] = "Software\\Velmor\\ZendrixTests\\SharedDLLs";
    const char szDll[] = "C:\\Windows\\system32\\zxshared.dll";
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, szKey);
    EXPECT_EQ(0u, ReadRegistryDword(HKEY_LOCAL_MACHINE, szKey, szDll));
    ASSERT_TRUE(SetRegistryDword(HKEY_LOCAL_MACHINE, szKey, szDll, 2));
    EXPECT_EQ(2u, ReadRegistryDword(HKEY_LOCAL_MACHINE, szKey, szDll));
    EXPECT_TRUE(DeleteRegistryValue(HKEY_LOCAL_MACHINE, szKey, szDll));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, szKey));
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Velmor");
}

TEST_F(Registry, ReadStringFillsTheBuffer)
{
    ASSERT_TRUE(RegSetString(hRoot, "Paths", "ProgramFilesDir", "C:\\Program Files"));
    char buf[260];
    ASSERT_TRUE(ReadRegistryString(hRoot, "Paths", "ProgramFilesDir", buf, sizeof(buf)));
    EXPECT_STREQ("C:\\Program Files", buf);
}

TEST_F(Registry, ReadStringFailureLeavesTheBufferAlone)
{
    ASSERT_TRUE(RegSetString(hRoot, "Paths", "Path", "C:\\Office"));
    char buf[16];
    memset(buf, 'Q', sizeof(buf));
    buf[15] = '\0';
    EXPECT_FALSE(ReadRegistryString(hRoot, "NoSuchKey", "Path", buf, sizeof(buf)));
    EXPECT_STREQ("QQQQQQQQQQQQQQQ", buf);
    EXPECT_FALSE(ReadRegistryString(hRoot, "", "Path", buf, sizeof(buf)));
    EXPECT_STREQ("QQQQQQQQQQQQQQQ", buf);
    EXPECT_FALSE(ReadRegistryString(hRoot, "Paths", "Missing", buf, sizeof(buf)));
}

TEST_F(Registry, ReadStringAlwaysEndsInATerminator)
{
    // Too long for the buffer: refused rather than cut without a terminator.
    ASSERT_TRUE(RegSetString(hRoot, "Paths", "Long", "C:\\A rather long directory name"));
    char buf[8];
    EXPECT_FALSE(ReadRegistryString(hRoot, "Paths", "Long", buf, sizeof(buf)));

    // Stored without a terminator: one is added when there is room, refused when not.
    PutValue(hRoot, "Paths", "Bare", REG_SZ, "C:\\ABCD", 7);
    char exact[7];
    EXPECT_FALSE(ReadRegistryString(hRoot, "Paths", "Bare", exact, sizeof(exact)));
    char roomy[16];
    memset(roomy, 'Q', sizeof(roomy));
    ASSERT_TRUE(ReadRegistryString(hRoot, "Paths", "Bare", roomy, sizeof(roomy)));
    EXPECT_STREQ("C:\\ABCD", roomy);
}

// Only REG_SZ and REG_EXPAND_SZ are texts; other data has no terminator and counts
// as not set, leaving the caller's buffer as it was.
TEST_F(Registry, ReadStringOfOtherTypesIsNotSet)
{
    BYTE binary[260];
    memset(binary, 'A', sizeof(binary));
    DWORD dw = 0x41414141;
    PutValue(hRoot, "Paths", "Binary", REG_BINARY, binary, sizeof(binary));
    PutValue(hRoot, "Paths", "Number", REG_DWORD, &dw, sizeof(dw));
    PutValue(hRoot, "Paths", "List", REG_MULTI_SZ, "C:\\A\0C:\\B\0", 11);
    PutValue(hRoot, "Paths", "Expand", REG_EXPAND_SZ, "%WINDIR%", 9);
    for (const char *pszName : {"Binary", "Number", "List"}) {
        char buf[262];
        memset(buf, 'Q', sizeof(buf));
        buf[3] = '\0';
        EXPECT_FALSE(ReadRegistryString(hRoot, "Paths", pszName, buf, 260)) << pszName;
        EXPECT_STREQ("QQQ", buf) << pszName;
    }
    char buf[16];
    ASSERT_TRUE(ReadRegistryString(hRoot, "Paths", "Expand", buf, sizeof(buf)));
    EXPECT_STREQ("%WINDIR%", buf);
}

// The owners' one rule with a visible effect: a temporary file goes with its owner
// on every path, unless it was kept.
TEST(Owners, TempFileGoesUnlessKept)
{
    char szTemp[MAX_PATH];
    GetTempPathA(MAX_PATH, szTemp);
    std::string dropped, kept;
    {
        TempFile first, second;
        ASSERT_TRUE(first.Create(szTemp, "ZXO"));
        ASSERT_TRUE(second.Create(szTemp, "ZXO"));
        dropped = first.Path();
        kept = second.Path();
        EXPECT_TRUE(PathExists(dropped));
        second.Keep();
    }
    EXPECT_FALSE(PathExists(dropped));
    EXPECT_TRUE(PathExists(kept));
    DeleteFileA(kept.c_str());
}
