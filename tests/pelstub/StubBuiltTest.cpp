// StubBuiltTest.cpp -- files built by Brolt's own build (BuildSfx with KANTOR.EXE) extract as their settings say.
#include <gtest/gtest.h>

#include <string.h>

#include "SfxBuild.h"
#include "StubTestSupport.h"

namespace {

void Fill(char *field, size_t size, const std::string &text)
{
    memset(field, 0, size);
    strncpy(field, text.c_str(), size - 1);
}

}  // namespace

TEST(BuiltByBrolt, StandardModuleExtractsEveryListedFile)
{
    ScratchFolder work("built");
    ASSERT_TRUE(WriteWholeFile(work / "notes.txt", "first file\r\n"));
    ASSERT_TRUE(WriteWholeFile(work / "empty.dat", ""));
    std::string big(250000, '\0');
    for (size_t i = 0; i < big.size(); i++)
        big[i] = (char)(i * 7919 >> 3);
    ASSERT_TRUE(WriteWholeFile(work / "big.bin", big));

    static SfxSettingsRecord settings;
    SetDefaultSfxSettings(&settings);
    settings.moduleType = SFX_MODULE_STANDARD;
    Fill(settings.files[0], sizeof(settings.files[0]), work / "notes.txt");
    Fill(settings.files[1], sizeof(settings.files[1]), work / "empty.dat");
    Fill(settings.files[2], sizeof(settings.files[2]), work / "big.bin");
    Fill(settings.appName, sizeof(settings.appName), "Built Demo");
    settings.showDialog = 0;
    settings.destKind = 2;
    Fill(settings.customDest, sizeof(settings.customDest), work / "custom");
    settings.overwriteMode = 1;
    Fill(settings.outputFile, sizeof(settings.outputFile), work / "built.exe");
    ASSERT_TRUE(BuildSfx(&settings));

    EXPECT_EQ(0u, RunSfx(work / "built.exe", "/s"));
    EXPECT_EQ("first file\r\n", ReadWholeFile(work / "custom\\notes.txt"));
    EXPECT_TRUE(FileExists(work / "custom\\empty.dat"));
    EXPECT_TRUE(ReadWholeFile(work / "custom\\big.bin") == big);
}

// Names a user's files really have: what the wizard stores, the stub extracts.
TEST(BuiltByBrolt, AMixedSetOfNamesComesOutUnchanged)
{
    ScratchFolder work("mixed");
    CreateDirectoryA((work / "src").c_str(), NULL);
    const std::string names[] = {"release..notes.txt", "v1..2.zip", "Wait...what.txt", " leading blank.txt",
                                 "two  blanks in . middle.doc", "\xC4rger \xFC" "ber Stra\xDF" "en.txt", "caf\xE9.txt",
                                 "x", "..profile", std::string(120, 'L') + ".log"};
    static SfxSettingsRecord settings;
    SetDefaultSfxSettings(&settings);
    int slot = 0;
    for (const std::string &name : names) {
        ASSERT_TRUE(WriteWholeFile(work / "src\\" + name, "contents of " + name)) << name;
        Fill(settings.files[slot++], sizeof(settings.files[0]), work / "src\\" + name);
    }
    settings.showDialog = 0;
    Fill(settings.outputFile, sizeof(settings.outputFile), work / "mixed.exe");
    ASSERT_TRUE(BuildSfx(&settings));
    EXPECT_EQ(0u, RunSfx(work / "mixed.exe", "/s /d:" + work / "out"));
    for (const std::string &name : names)
        EXPECT_EQ("contents of " + name, ReadWholeFile(work / "out\\" + name)) << name;
    EXPECT_EQ(sizeof(names) / sizeof(names[0]), FolderNames(work / "out").size());
}

TEST(BuiltByBrolt, SetupModuleRunsItsProgramAndCleansUp)
{
    ScratchFolder work("builtsetup");
    std::string record = work / "record.txt";
    ASSERT_TRUE(CopyFileA("RecordLaunch.exe", (work / "RecordLaunch.exe").c_str(), FALSE));
    static SfxSettingsRecord settings;
    SetDefaultSfxSettings(&settings);
    settings.moduleType = SFX_MODULE_SETUP;
    settings.destKind = 0;
    settings.showDialog = 0;
    Fill(settings.files[0], sizeof(settings.files[0]), work / "RecordLaunch.exe");
    Fill(settings.launchFile, sizeof(settings.launchFile), "RecordLaunch.exe");
    Fill(settings.commandLine, sizeof(settings.commandLine), "/exit:5");
    Fill(settings.outputFile, sizeof(settings.outputFile), work / "setup.exe");
    ASSERT_TRUE(BuildSfx(&settings));

    SetEnvironmentVariableA("ZX_LAUNCH_RECORD", record.c_str());
    EXPECT_EQ(5u, RunSfx(work / "setup.exe", "/s"));
    SetEnvironmentVariableA("ZX_LAUNCH_RECORD", NULL);
    std::string text = ReadWholeFile(record);
    size_t at = text.find("cwd=");
    ASSERT_NE(std::string::npos, at);
    std::string cwd = text.substr(at + 4, text.find('\n', at) - at - 4);
    EXPECT_EQ(0u, cwd.find(TempFolder() + "\\ZXS")) << cwd;
    EXPECT_FALSE(FolderExists(cwd));
}
