// StubHardeningTest.cpp -- a DLL planted beside a downloaded self-extractor, and signed self-extractors.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "StubTestSupport.h"
#include "UiTest.h"

// Under Wine a planted DLL is only a threat when the native copy is preferred.
// WINEDLLOVERRIDES=<name>=n,b must be in the environment this test program was
// started with: Wine's children do not notice the variable when a Windows
// parent changes it, so the CTest entry pelstub_planted_dll sets it, and
// ZX_PLANTED_DLLS names the stand-ins built for the test.
TEST(PlantedDll, NoSystemDllIsTakenFromTheFilesFolder)
{
    char planted[512] = "";
    GetEnvironmentVariableA("ZX_PLANTED_DLLS", planted, sizeof(planted));
    if (!planted[0])
        GTEST_SKIP() << "needs the environment of the pelstub_planted_dll entry";
    ScratchFolder work("planted");
    ASSERT_TRUE(CopyFileA("PlainLoader.exe", (work / "PlainLoader.exe").c_str(), FALSE));
    std::vector<std::string> dlls, bites;
    for (char *name = strtok(planted, ","); name; name = strtok(NULL, ","))
        dlls.push_back(std::string(name) + ".dll");
    for (const std::string &dll : dlls) {
        ASSERT_TRUE(CopyFileA(("planted_" + dll).c_str(), (work / dll).c_str(), FALSE)) << dll;
        // A careless program in the same folder does pick it up: the setting bites.
        RunSfx(work / "PlainLoader.exe", dll, work.path);
        if (FileExists(work / dll + ".loaded"))
            bites.push_back(dll);
        DeleteFileA((work / dll + ".loaded").c_str());
    }
    ASSERT_NE(bites.end(), std::find(bites.begin(), bites.end(), "comctl32.dll"));
    if (bites.size() < dlls.size())
        printf("Wine loads only %u of the %u stand-ins even for a careless program\n", (unsigned)bites.size(),
               (unsigned)dlls.size());

    // Through every dialog: the opening one, the folder browser, the progress
    // window and the closing message; then with the progress window alone, and silently.
    TestArchive a;
    a.files.push_back({"x.txt", "x"});
    ASSERT_TRUE(WriteTestSfx(work / "quiet.exe", a));
    a.header.showDialog = 1;
    a.SetText(a.header.appName, sizeof(a.header.appName), "Planted Demo");
    a.SetText(a.header.destination, sizeof(a.header.destination), work / "out");
    ASSERT_TRUE(WriteTestSfx(work / "download.exe", a));
    UiProcess pi;
    ASSERT_TRUE(UiStartProcess(("\"" + work / "download.exe" + "\"").c_str(), &pi, work.path.c_str()));
    HWND dialog = UiWaitWindow("Planted Demo", pi.dwProcessId, 30000, UI_DIALOG_CLASS);
    ASSERT_TRUE(dialog != NULL);
    UiPressButton(dialog, 1005);
    HWND browser = NULL;
    for (DWORD waited = 0; waited < TestWaitMs(10000) && !browser; waited += 100, Sleep(100)) {
        for (HWND w : UiProcessWindows(pi.dwProcessId, UI_DIALOG_CLASS))
            browser = GetDlgItem(w, 1004) ? browser : w;
    }
    EXPECT_TRUE(browser != NULL) << "the folder browser did not open";
    if (browser) {
        UiPressButton(browser, IDCANCEL);
        UiWaitGone(browser, 5000);
    }
    UiPressButton(dialog, IDOK);
    HWND done = NULL;
    for (DWORD waited = 0; waited < TestWaitMs(10000) && !done; waited += 100, Sleep(100)) {
        for (HWND w : UiProcessWindows(pi.dwProcessId, UI_DIALOG_CLASS))
            done = UiMessageBoxText(w).find("The files were extracted") == 0 ? w : done;
    }
    ASSERT_TRUE(done != NULL);
    UiPressButton(done, IDOK);
    EXPECT_EQ(0u, UiWaitExit(&pi, 10000));
    EXPECT_EQ(0u, RunSfx(work / "quiet.exe", "/d:" + work / "out2", work.path));
    EXPECT_EQ(0u, RunSfx(work / "quiet.exe", "/s /d:" + work / "out3", work.path));
    // A Setup run: the random folder name, the launch and the clean-up.
    TestArchive setup;
    setup.header.moduleType = SFX_MODULE_SETUP;
    setup.files.push_back({"PlainLoader.exe", ReadWholeFile("PlainLoader.exe")});
    setup.SetText(setup.header.launchFile, sizeof(setup.header.launchFile), "PlainLoader.exe");
    ASSERT_TRUE(WriteTestSfx(work / "setup.exe", setup));
    EXPECT_EQ(0u, RunSfx(work / "setup.exe", "/s /d:" + work / "base", work.path));
    for (const std::string &dll : dlls)
        EXPECT_FALSE(FileExists(work / dll + ".loaded")) << dll;
    EXPECT_EQ("x", ReadWholeFile(work / "out\\x.txt"));
    EXPECT_EQ("x", ReadWholeFile(work / "out2\\x.txt"));
    EXPECT_EQ("x", ReadWholeFile(work / "out3\\x.txt"));
}

// The two halves of the signing check; signed-sfx.sh signs in between.
TEST(SignedSfx, WriteUnsigned)
{
    const char *path = getenv("ZX_SIGN_UNSIGNED");
    if (!path)
        GTEST_SKIP() << "run by signed-sfx.sh";
    TestArchive a;
    a.files.push_back({"signed.txt", "still here"});
    a.files.push_back({"second.bin", std::string(70000, 'q')});
    ASSERT_TRUE(WriteTestSfx(path, a));
}

TEST(SignedSfx, ExtractsAfterSigning)
{
    const char *path = getenv("ZX_SIGN_SIGNED");
    if (!path)
        GTEST_SKIP() << "run by signed-sfx.sh";
    ScratchFolder work("signed");
    std::string sfx = work / "signed.exe";
    ASSERT_TRUE(CopyFileA(path, sfx.c_str(), FALSE));
    EXPECT_EQ(0u, RunSfx(sfx, "/s /d:" + work / "out"));
    EXPECT_EQ("still here", ReadWholeFile(work / "out\\signed.txt"));
    EXPECT_EQ(std::string(70000, 'q'), ReadWholeFile(work / "out\\second.bin"));
}
