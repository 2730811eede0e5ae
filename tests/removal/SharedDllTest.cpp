// SharedDllTest.cpp -- shared-use counts of system files under SharedDLLs, and when the
// file itself goes.
#include <gtest/gtest.h>

#include <windows.h>

#include "RemovalTestSupport.h"
#include "SharedDll.h"
#include "UninstallState.h"

namespace {

struct SavedValue {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};

// The prefix's own SharedDLLs values are put aside for each test and restored after it,
// so that "the last value" means what the test says.
class SharedDll : public ::testing::Test {
protected:
    void SetUp() override
    {
        HKEY hKey;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
            for (DWORD i = 0;; ++i) {
                char szName[1024];
                DWORD cchName = sizeof(szName);
                BYTE data[1024];
                DWORD cbData = sizeof(data);
                DWORD dwType = 0;
                if (RegEnumValueA(hKey, i, szName, &cchName, NULL, &dwType, data, &cbData) !=
                    ERROR_SUCCESS)
                    break;
                saved.push_back({szName, dwType, std::vector<BYTE>(data, data + cbData)});
            }
            RegCloseKey(hKey);
        }
        DeleteRegTree(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY);
        file = dir / "shared component.dll";
        ASSERT_TRUE(WriteTextFile(file, "x"));
    }
    void TearDown() override
    {
        DeleteRegTree(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY);
        if (saved.empty())
            return;
        HKEY hKey;
        if (RegCreateKeyA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, &hKey) != ERROR_SUCCESS)
            return;
        for (const SavedValue &v : saved)
            RegSetValueExA(hKey, v.name.c_str(), 0, v.type, v.data.data(), (DWORD)v.data.size());
        RegCloseKey(hKey);
    }
    DWORD Count() const
    {
        return RegGetDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.c_str(), 0xDEADu);
    }
    std::vector<SavedValue> saved;
    ScratchDir dir;
    RestartDialogScope restart;
    std::string file;
};

TEST_F(SharedDll, CountAboveOneIsLoweredAndTheFileStays)
{
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.c_str(), 3));
    EXPECT_NE(0, RemoveSharedFile(file.c_str()));
    EXPECT_EQ(2u, Count());
    EXPECT_TRUE(PathExists(file));
    EXPECT_EQ(1u, ReleaseSharedDll(file.c_str()));
    EXPECT_EQ(1u, Count());
}

TEST_F(SharedDll, LastUseDeletesTheValueTheEmptiedKeyAndTheFile)
{
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.c_str(), 1));
    EXPECT_NE(0, RemoveSharedFile(file.c_str()));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.c_str()));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY));
    EXPECT_FALSE(PathExists(file));
}

TEST_F(SharedDll, LastUseKeepsTheKeyWhileOtherFilesAreCounted)
{
    std::string other = dir / "other component.dll";
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.c_str(), 1));
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, other.c_str(), 4));
    EXPECT_EQ(0u, ReleaseSharedDll(file.c_str()));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.c_str()));
    EXPECT_EQ(4u, RegGetDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, other.c_str(), 0xDEADu));
}

TEST_F(SharedDll, UncountedOrUnreadableCountIsLeftAndTheFileStays)
{
    // No value at all: nothing is written.
    EXPECT_NE(0, RemoveSharedFile(file.c_str()));
    EXPECT_EQ(0xDEADu, Count());
    EXPECT_TRUE(PathExists(file));

    // A string is no count: it stays as it is.
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.c_str(), "three"));
    EXPECT_EQ(SHARED_NO_COUNT, ReleaseSharedDll(file.c_str()));
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.c_str()));
    EXPECT_NE(0, RemoveSharedFile(file.c_str()));
    EXPECT_TRUE(PathExists(file));
}

TEST_F(SharedDll, ValueNamesMatchWithoutRegardToCase)
{
    // The engine passes the path lower-cased; the setup may have counted it otherwise.
    std::string upper = file;
    for (char &c : upper)
        c = (char)toupper((unsigned char)c);
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, upper.c_str(), 1));
    std::string lower = file;
    for (char &c : lower)
        c = (char)tolower((unsigned char)c);
    RemoveSharedFile(lower.c_str());
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, upper.c_str()));
    EXPECT_FALSE(PathExists(file));
}

TEST_F(SharedDll, LockedLastUseIsScheduledAndListed)
{
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.c_str(), 1));
    FileLock locker;
    ASSERT_TRUE(locker.Hold({file}));
    RemoveSharedFile(file.c_str());
    EXPECT_TRUE(UninstallState.RestartNeeded);
    EXPECT_EQ(std::vector<std::string>{file}, restart.LockedList());
    EXPECT_EQ(0u, locker.Release());
    ForgetPendingDeletions(ShortPath(file));
}

} // namespace
