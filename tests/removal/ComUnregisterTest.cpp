// ComUnregisterTest.cpp -- COM servers unregister themselves; other modules and
// non-modules are loaded (or not) and released without harm.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <stdlib.h>

#include "ComUnregister.h"
#include "RemovalTestSupport.h"

namespace {

const char kMarkKey[] = "Software\\Velmor\\ZendrixTests\\ComServerFixture";
const char kClassKey[] = "Software\\Classes\\CLSID\\{6B1F0D2E-5C3A-4E71-9B8D-2A7C4F1E0D93}";

DWORD Mark(const char *pszName)
{
    return RegGetDword(HKEY_CURRENT_USER, kMarkKey, pszName, 0xDEADu);
}

long EnvCount(const char *pszName)
{
    char szValue[16] = "0";
    GetEnvironmentVariableA(pszName, szValue, sizeof(szValue));
    return strtol(szValue, NULL, 10);
}

class ComUnregister : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegTree(HKEY_CURRENT_USER, kMarkKey); }
    void TearDown() override
    {
        DeleteRegTree(HKEY_CURRENT_USER, kMarkKey);
        DeleteRegTree(HKEY_CURRENT_USER, kClassKey);
    }
};

TEST_F(ComUnregister, ServerRemovesItsRegistrationInsideACleanComAndErrorModeScope)
{
    std::string server = BinPath("ComServerFixture.dll");
    HMODULE hServer = LoadLibraryA(server.c_str());
    ASSERT_NE(nullptr, hServer);
    typedef HRESULT(STDAPICALLTYPE * RegisterProc)();
    RegisterProc pfnRegister = (RegisterProc)(void *)GetProcAddress(hServer, "DllRegisterServer");
    ASSERT_NE(nullptr, pfnRegister);
    ASSERT_EQ(S_OK, pfnRegister());
    FreeLibrary(hServer);
    ASSERT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kClassKey));

    UINT uModeBefore = SetErrorMode(0);
    EXPECT_EQ(1, UnregisterComServer(server.c_str()));
    UINT uModeAfter = SetErrorMode(uModeBefore);

    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kClassKey));
    EXPECT_EQ(1u, Mark("UnregisterCalls"));
    EXPECT_EQ(1u, Mark("ComInitialised"));
    EXPECT_EQ(1u, Mark("FailCriticalErrors"));
    EXPECT_EQ(0u, uModeAfter) << "the caller's error mode must come back";
    EXPECT_EQ(nullptr, GetModuleHandleA("ComServerFixture.dll")) << "the server stays loaded";
    // No apartment outlives the call: this thread can still choose its own model.
    HRESULT hr = CoInitializeEx(NULL, COINIT_MULTITHREADED);
    EXPECT_EQ(S_OK, hr);
    if (SUCCEEDED(hr))
        CoUninitialize();
}

TEST_F(ComUnregister, ModuleWithoutTheExportIsLoadedAndReleasedOnly)
{
    long attachBefore = EnvCount("ZX_PLAIN_ATTACH");
    long detachBefore = EnvCount("ZX_PLAIN_DETACH");
    EXPECT_EQ(0, UnregisterComServer(BinPath("PlainFixture.dll").c_str()));
    EXPECT_EQ(attachBefore + 1, EnvCount("ZX_PLAIN_ATTACH"));
    EXPECT_EQ(detachBefore + 1, EnvCount("ZX_PLAIN_DETACH"));
    EXPECT_EQ(nullptr, GetModuleHandleA("PlainFixture.dll"));
}

TEST_F(ComUnregister, PathsThatAreNoModuleAreSurvived)
{
    ScratchDir dir;
    std::string fakePe = dir / "truncated image.dll";
    ASSERT_TRUE(WriteTextFile(fakePe, "MZ\x90"));
    UINT uModeBefore = SetErrorMode(0);
    EXPECT_EQ(0, UnregisterComServer(BinPath("NotAModule.dll").c_str()));
    EXPECT_EQ(0, UnregisterComServer(fakePe.c_str()));
    EXPECT_EQ(0, UnregisterComServer((dir / "missing.ocx").c_str()));
    EXPECT_EQ(0, UnregisterComServer(dir.Path().c_str()));
    EXPECT_EQ(0u, SetErrorMode(uModeBefore));
    EXPECT_EQ(0xDEADu, Mark("UnregisterCalls"));
}

DWORD WINAPI UnregisterFromMultithreadedApartment(LPVOID pResult)
{
    // An apartment of the other model makes CoInitialize fail on this thread.
    CoInitializeEx(NULL, COINIT_MULTITHREADED);
    int *pnResults = (int *)pResult;
    pnResults[0] = UnregisterComServer(BinPath("ComServerFixture.dll").c_str());
    pnResults[1] = UnregisterComServer(BinPath("PlainFixture.dll").c_str());
    CoUninitialize();
    return 0;
}

TEST_F(ComUnregister, RefusedComInitialisationLoadsNothing)
{
    long attachBefore = EnvCount("ZX_PLAIN_ATTACH");
    int nResults[2] = {-1, -1};
    HANDLE hThread = CreateThread(NULL, 0, UnregisterFromMultithreadedApartment, nResults, 0, NULL);
    ASSERT_NE(nullptr, hThread);
    WaitForSingleObject(hThread, 30000);
    CloseHandle(hThread);
    EXPECT_EQ(0, nResults[0]);
    EXPECT_EQ(0, nResults[1]);
    EXPECT_EQ(0xDEADu, Mark("UnregisterCalls"));
    EXPECT_EQ(attachBefore, EnvCount("ZX_PLAIN_ATTACH")) << "a module was loaded";
}

} // namespace
