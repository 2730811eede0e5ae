// StubHardeningTest.cpp -- a DLL planted beside a downloaded self-extractor, and signed self-extractors.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include "StubTestSupport.h"

// Under Wine a planted DLL is only a threat when the native copy is preferred.
// WINEDLLOVERRIDES=comctl32=n,b must be in the environment this test program
// was started with: Wine's children do not notice the variable when a Windows
// parent changes it, so the CTest entry pelstub_planted_dll sets it.
TEST(PlantedDll, ComctlBesideTheFileIsNotLoaded)
{
    char overrides[256] = "";
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof(overrides));
    if (!strstr(overrides, "comctl32=n"))
        GTEST_SKIP() << "needs WINEDLLOVERRIDES=comctl32=n,b (the pelstub_planted_dll entry)";
    ScratchFolder work("planted");
    ASSERT_TRUE(CopyFileA("planted_comctl32.dll", (work / "comctl32.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA("PlainLoader.exe", (work / "PlainLoader.exe").c_str(), FALSE));
    TestArchive a;
    a.files.push_back({"x.txt", "x"});
    ASSERT_TRUE(WriteTestSfx(work / "download.exe", a));

    // A careless program in the same folder does pick it up: the setting bites.
    EXPECT_EQ(0u, RunSfx(work / "PlainLoader.exe", "", work.path));
    ASSERT_TRUE(FileExists(work / "planted-loaded.txt"));
    DeleteFileA((work / "planted-loaded.txt").c_str());

    // Both with the progress window and silently.
    EXPECT_EQ(0u, RunSfx(work / "download.exe", "/d:" + work / "out", work.path));
    EXPECT_EQ(0u, RunSfx(work / "download.exe", "/s /d:" + work / "out2", work.path));
    EXPECT_FALSE(FileExists(work / "planted-loaded.txt"));
    EXPECT_EQ("x", ReadWholeFile(work / "out\\x.txt"));
    EXPECT_EQ("x", ReadWholeFile(work / "out2\\x.txt"));
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
