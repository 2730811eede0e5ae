// StubBuiltTest.cpp -- files built by Brolt's own build (the shared build library with KANTOR.EXE) extract as their settings say.
#include <gtest/gtest.h>

#include <string.h>

#include <utility>

#include "BadSettingsTable.h"
#include "SfxArchive.h"
#include "SfxBuild.h"
#include "StubTestSupport.h"

namespace {

void Fill(char *field, size_t size, const std::string &text)
{
    memset(field, 0, size);
    strncpy(field, text.c_str(), size - 1);
}

std::string BinPath(const char *name)
{
    char path[MAX_PATH];
    GetFullPathNameA(name, sizeof(path), path, NULL);
    return path;
}

// The wizard's build with the stub and compressor the tests ship beside them.
bool BuildAsWizard(const SfxSettingsRecord *settings)
{
    BuildError error;
    return BuildSfx(settings, BinPath("pelstub.bin").c_str(), BinPath("KANTOR.EXE").c_str(), &error) != 0;
}

}  // namespace

TEST(BuiltByBrolt, StandardModuleExtractsEveryListedFile)
{
    ScratchFolder work("built");
    ASSERT_TRUE(WriteTextFile(work / "notes.txt", "first file\r\n"));
    ASSERT_TRUE(WriteTextFile(work / "empty.dat", ""));
    std::string big(250000, '\0');
    for (size_t i = 0; i < big.size(); i++)
        big[i] = (char)(i * 7919 >> 3);
    ASSERT_TRUE(WriteTextFile(work / "big.bin", big));

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
    ASSERT_TRUE(BuildAsWizard(&settings));

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
        ASSERT_TRUE(WriteTextFile(work / "src\\" + name, "contents of " + name)) << name;
        Fill(settings.files[slot++], sizeof(settings.files[0]), work / "src\\" + name);
    }
    settings.showDialog = 0;
    Fill(settings.outputFile, sizeof(settings.outputFile), work / "mixed.exe");
    ASSERT_TRUE(BuildAsWizard(&settings));
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
    ASSERT_TRUE(BuildAsWizard(&settings));

    {
        LaunchRecord launch(record);
        EXPECT_EQ(5u, RunSfx(work / "setup.exe", "/s"));
    }
    std::string text = ReadWholeFile(record);
    size_t at = text.find("cwd=");
    ASSERT_NE(std::string::npos, at);
    std::string cwd = text.substr(at + 4, text.find('\n', at) - at - 4);
    EXPECT_EQ(0u, cwd.find(TempFolder() + "\\ZXS")) << cwd;
    EXPECT_FALSE(FolderExists(cwd));
}

// BroltBuild.exe, the same build run from a settings file, as a CI job runs it:
// from another folder, its temporary files in a folder of the test's own.
namespace {

struct BroltBuildRun {
    DWORD code;
    std::string out, err;
};

BroltBuildRun RunBroltBuild(const std::string &exe, const std::string &settings, const ScratchFolder &work)
{
    std::string temp = work / "temp", cwd = work / "cwd";
    CreateDirectoryA(temp.c_str(), NULL);
    CreateDirectoryA(cwd.c_str(), NULL);
    char oldTmp[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", oldTmp, sizeof(oldTmp));
    SetEnvironmentVariableA("TMP", temp.c_str());
    BroltBuildRun r;
    r.code = RunConsole("\"" + exe + "\"" + (settings.empty() ? "" : " \"" + settings + "\""), cwd, &r.out, &r.err);
    SetEnvironmentVariableA("TMP", oldTmp[0] ? oldTmp : NULL);
    return r;
}

}  // namespace

TEST(BroltBuild, FullSettingsBuildAnSfxThatExtractsByteForByte)
{
    ScratchFolder work("bbfull");
    for (const char *dir : {"src", "src\\docs", "src\\docs\\sub", "out"})
        ASSERT_TRUE(CreateDirectoryA((work / dir).c_str(), NULL));
    std::string big(300000, '\0');
    for (size_t i = 0; i < big.size(); i++)
        big[i] = (char)((i * 2654435761u) >> 13);
    const std::pair<const char *, std::string> files[] = {
        {"src\\readme.txt", "Read me first.\r\n"}, {"src\\docs\\b.txt", "bee"}, {"src\\docs\\a.txt", "ay"},
        {"src\\empty.dat", ""}, {"src\\big.bin", big}};
    for (const auto &f : files)
        ASSERT_TRUE(WriteTextFile(work / f.first, f.second));
    std::string ini = work / "build.ini";
    ASSERT_TRUE(WriteTextFile(ini, "; every key\r\n[Sfx]\r\nModule = standard\r\nAppName = Zendrix Tools\r\n"
                                    "OpeningDialog = no\r\nDestination = custom\r\nCustomFolder = " +
                                        work / "custom" +
                                        "\r\nAddProgramFiles = no\r\nLaunch =\r\nCommandLine =\r\n"
                                        "Output = out\\Tools.exe\r\nOverwrite = all\r\n"
                                        "[Files]\r\nsrc\\readme.txt\r\n\"src\\docs\\*.txt\"\r\nsrc\\empty.dat\r\n"
                                        "src\\big.bin\r\n"));

    BroltBuildRun r = RunBroltBuild(BinPath("BroltBuild.exe"), ini, work);
    ASSERT_EQ(0u, r.code) << r.out << r.err;
    EXPECT_EQ("", r.err);
    std::string sfx = work / "out\\Tools.exe";
    for (const std::string &line : {"Built " + sfx + "\n", std::string("  files      5\n"),
                                    "  bytes in   " + std::to_string(300000 + 16 + 3 + 2) + "\n"})
        EXPECT_NE(std::string::npos, r.out.find(line)) << line << r.out;
    EXPECT_EQ(std::vector<std::string>{"Tools.exe"}, FolderNames(work / "out"));
    EXPECT_TRUE(FolderNames(work / "temp").empty());

    // The header carries the settings; a pattern's matches are stored in name order.
    SfxArchive archive;
    std::string why;
    ASSERT_TRUE(TakeApartSfx(ReadWholeFile(sfx), ReadWholeFile("pelstub.bin").size(), &archive, &why)) << why;
    const SfxHeader &h = archive.header;
    EXPECT_STREQ("Zendrix Tools", h.appName);
    EXPECT_EQ(0u, h.showDialog);
    EXPECT_EQ(SFX_OVERWRITE_ALL, (int)h.overwriteMode);
    EXPECT_EQ(work / "custom", std::string(h.destination));
    std::vector<std::string> names;
    for (const ArchivedFile &f : archive.files)
        names.push_back(f.name);
    EXPECT_EQ((std::vector<std::string>{"readme.txt", "a.txt", "b.txt", "empty.dat", "big.bin"}), names);

    EXPECT_EQ(0u, RunSfx(sfx, "/s"));
    for (const auto &f : files) {
        std::string name = strrchr(f.first, '\\') + 1;
        EXPECT_TRUE(ReadWholeFile(work / ("custom\\" + name)) == f.second) << name;
    }
}

TEST(BroltBuild, EachBadInputGivesItsMessageAndExitCodeAndLeavesNothingBehind)
{
    ScratchFolder work("bbbad");
    for (const char *dir : {"docs", "out", "nostub", "badkantor"})
        ASSERT_TRUE(CreateDirectoryA((work / dir).c_str(), NULL));
    ASSERT_TRUE(WriteTextFile(work / "a.txt", "a"));
    ASSERT_TRUE(WriteTextFile(work / "docs\\A.TXT", "A"));
    ASSERT_TRUE(WriteTextFile(work / "out\\Old.exe", "the previous build"));
    std::string builder = BinPath("BroltBuild.exe");
    for (const char *dir : {"nostub", "badkantor"})
        ASSERT_TRUE(CopyFileA(builder.c_str(), (work / dir + "\\BroltBuild.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA("KANTOR.EXE", (work / "nostub\\KANTOR.EXE").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA("pelstub.bin", (work / "badkantor\\pelstub.bin").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA("FakeKantor.exe", (work / "badkantor\\KANTOR.EXE").c_str(), FALSE));

    std::string ini = work / "b.ini";
    const std::string good = "[Sfx]\nOutput = out\\Old.exe\n[Files]\na.txt\n";
    struct Case {
        std::string what;
        std::string builder;
        std::string settings;  // empty: no argument at all
        DWORD code;
        std::string message;
    };
    // The table broltbuild is held to as well, then what only Windows has: a compressor of its own.
    std::vector<Case> cases;
    for (const BadSettingsCase &c : kBadSettings)
        cases.push_back({c.what, builder, BadSettingsText(c), (DWORD)c.code, BadSettingsMessage(c, ini, work.path, "\\")});
    cases.push_back({"no argument", builder, "", 1, "Usage: BroltBuild.exe <settings.ini>"});
    cases.push_back({"missing companion", work / "nostub\\BroltBuild.exe", good, 2,
                     "The build failed: pelstub.bin is missing; it belongs beside BroltBuild.exe"});
    cases.push_back({"compressor that fails", work / "badkantor\\BroltBuild.exe", good, 2,
                     "The build failed: KANTOR.EXE did not pack the files or the output could not be written"});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteTextFile(ini, c.settings));
        BroltBuildRun r = RunBroltBuild(c.builder, c.settings.empty() ? "" : ini, work);
        EXPECT_EQ(c.code, r.code);
        EXPECT_NE(std::string::npos, r.err.find(c.message)) << r.err;
        EXPECT_EQ("the previous build", ReadWholeFile(work / "out\\Old.exe"));
        EXPECT_EQ(std::vector<std::string>{"Old.exe"}, FolderNames(work / "out"));
        EXPECT_TRUE(FolderNames(work / "temp").empty());
        EXPECT_TRUE(FolderNames(work.path, "*.exe").empty()) << "MySFX.EXE or a partial output";
        EXPECT_TRUE(FolderNames(work.path, "*.tmp").empty());
    }
}

// The same files and settings give the same bytes from the wizard's build and
// from BroltBuild.exe, in any folder and on any run: nothing of the time, the
// place or the memory of a build reaches its output.
TEST(BroltBuild, SameFilesAndSettingsGiveTheSameBytesInAnyFolder)
{
    ScratchFolder work("bbsame");
    std::string noise(2500000, '\0');  // three of the compressor's blocks
    for (size_t i = 0; i < noise.size(); i++)
        noise[i] = (char)((i * 2654435761u) >> (i % 7 + 9));
    const std::pair<const char *, std::string> files[] = {
        {"readme.txt", "Read me first.\r\n"}, {"empty.dat", ""}, {"noise.bin", noise}, {"Setup.exe", "MZ"}};
    const std::string settings =
        "[Sfx]\r\nAppName = Same\r\nOpeningDialog = no\r\nDestination = custom\r\nCustomFolder = C:\\Velmor\\Same\r\n"
        "Launch = Setup.exe\r\nCommandLine = /q\r\nOutput = Same.exe\r\nOverwrite = none\r\n[Files]\r\n"
        "readme.txt\r\nempty.dat\r\nnoise.bin\r\nSetup.exe\r\n";
    ASSERT_TRUE(CreateDirectoryA((work / "one").c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((work / "two").c_str(), NULL));
    for (const auto &f : files) {
        ASSERT_TRUE(WriteTextFile(work / "one\\" + f.first, f.second));
        // A copy keeps the times and attributes: the same files in another folder.
        ASSERT_TRUE(CopyFileA((work / "one\\" + f.first).c_str(), (work / "two\\" + f.first).c_str(), FALSE));
    }
    std::vector<std::string> built;
    for (const char *copy : {"one", "two"}) {
        std::string folder = work / copy;
        ASSERT_TRUE(WriteTextFile(folder + "\\b.ini", settings));
        BroltBuildRun r = RunBroltBuild(BinPath("BroltBuild.exe"), folder + "\\b.ini", work);
        ASSERT_EQ(0u, r.code) << r.out << r.err;
        built.push_back(ReadWholeFile(folder + "\\Same.exe"));

        static SfxSettingsRecord wizard;
        SetDefaultSfxSettings(&wizard);
        for (size_t i = 0; i < sizeof(files) / sizeof(files[0]); i++)
            Fill(wizard.files[i], sizeof(wizard.files[i]), folder + "\\" + files[i].first);
        Fill(wizard.appName, sizeof(wizard.appName), "Same");
        wizard.showDialog = 0;
        wizard.destKind = SFX_DEST_CUSTOM;
        Fill(wizard.customDest, sizeof(wizard.customDest), "C:\\Velmor\\Same");
        Fill(wizard.launchFile, sizeof(wizard.launchFile), "Setup.exe");
        Fill(wizard.commandLine, sizeof(wizard.commandLine), "/q");
        wizard.overwriteMode = SFX_OVERWRITE_NONE;
        Fill(wizard.outputFile, sizeof(wizard.outputFile), folder + "\\Wizard.exe");
        ASSERT_TRUE(BuildAsWizard(&wizard));
        built.push_back(ReadWholeFile(folder + "\\Wizard.exe"));
    }
    SfxArchive archive;
    std::string why;
    ASSERT_TRUE(TakeApartSfx(built[0], ReadWholeFile("pelstub.bin").size(), &archive, &why)) << why;
    ASSERT_EQ(4u, archive.files.size());
    EXPECT_TRUE(archive.files[2].contents == noise);
    for (size_t i = 1; i < built.size(); i++)
        EXPECT_TRUE(built[i] == built[0]) << "build " << i << ": " << built[i].size() << " bytes, first " << built[0].size();
}
