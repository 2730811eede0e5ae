// StubExtractTest.cpp -- silent runs of built self-extractors: what lands where, and what is refused.
#include <gtest/gtest.h>

#include <string.h>

#include "SfxChecksum.h"
#include "Platform.h"
#include "StubTestSupport.h"
#include "UiTest.h"

namespace {

std::string RandomBytes(size_t n, unsigned seed)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; i++) {
        seed = seed * 1103515245u + 12345u;
        s[i] = (char)(seed >> 16);
    }
    return s;
}

TestArchive ThreeFiles()
{
    TestArchive a;
    a.files.push_back({"readme.txt", "Hello from the archive.\r\n"});
    a.files.push_back({"empty.dat", ""});
    a.files.push_back({"data.bin", RandomBytes(300000, 7)});
    return a;
}

void ExpectThreeFiles(const std::string &folder)
{
    EXPECT_EQ("Hello from the archive.\r\n", ReadWholeFile(folder + "\\readme.txt"));
    EXPECT_TRUE(FileExists(folder + "\\empty.dat"));
    EXPECT_EQ(0u, ReadWholeFile(folder + "\\empty.dat").size());
    EXPECT_TRUE(ReadWholeFile(folder + "\\data.bin") == RandomBytes(300000, 7));
}

}  // namespace

TEST(SilentExtraction, WritesEveryFileByteForByteIntoTheGivenFolder)
{
    ScratchFolder work("silent");
    ASSERT_TRUE(WriteTestSfx(work / "x.exe", ThreeFiles()));
    EXPECT_EQ(0u, RunSfx(work / "x.exe", "/s /d:\"" + work / "out dir\\deeper" + "\""));
    ExpectThreeFiles(work / "out dir\\deeper");

    // An archive without files is complete too.
    ASSERT_TRUE(WriteTestSfx(work / "empty.exe", TestArchive()));
    EXPECT_EQ(0u, RunSfx(work / "empty.exe", "/S \"/D:" + work / "none" + "\""));
    EXPECT_TRUE(FolderExists(work / "none"));
    EXPECT_TRUE(FolderNames(work / "none").empty());
}

TEST(SilentExtraction, DataAppendedAfterTheArchiveIsIgnored)
{
    ScratchFolder work("trail");
    TestArchive a = ThreeFiles();
    a.trailing = std::string(2000, '\x5A');  // what a later signature looks like to the stub
    ASSERT_TRUE(WriteTestSfx(work / "x.exe", a));
    EXPECT_EQ(0u, RunSfx(work / "x.exe", "/s /d:" + work / "out"));
    ExpectThreeFiles(work / "out");
}

TEST(Destinations, EachKindOfDefaultFolder)
{
    ScratchFolder work("dest");
    TestArchive a;
    a.files.push_back({"one.txt", "1"});

    // Current directory.
    a.SetDestinationMarker(SFX_MARK_CURRENT);
    CreateDirectoryA((work / "cwd").c_str(), NULL);
    ASSERT_TRUE(WriteTestSfx(work / "cur.exe", a));
    EXPECT_EQ(0u, RunSfx(work / "cur.exe", "/s", work / "cwd"));
    EXPECT_EQ("1", ReadWholeFile(work / "cwd\\one.txt"));

    // The fourth kind: the folder that holds the self-extractor.
    a.SetDestinationMarker(SFX_MARK_FOURTH);
    CreateDirectoryA((work / "beside").c_str(), NULL);
    ASSERT_TRUE(WriteTestSfx(work / "beside\\own.exe", a));
    EXPECT_EQ(0u, RunSfx(work / "beside\\own.exe", "/s", work / "cwd"));
    EXPECT_EQ("1", ReadWholeFile(work / "beside\\one.txt"));

    // A custom folder, created with its parents.
    a.SetText(a.header.destination, sizeof(a.header.destination), work / "custom\\a\\b");
    ASSERT_TRUE(WriteTestSfx(work / "custom.exe", a));
    EXPECT_EQ(0u, RunSfx(work / "custom.exe", "/s"));
    EXPECT_EQ("1", ReadWholeFile(work / "custom\\a\\b\\one.txt"));

    // /d: wins over the archive's default.
    EXPECT_EQ(0u, RunSfx(work / "custom.exe", "/s /d:" + work / "given"));
    EXPECT_EQ("1", ReadWholeFile(work / "given\\one.txt"));
}

TEST(Destinations, TemporaryKindMakesAFreshSubfolder)
{
    TestArchive a;
    a.files.push_back({"zx-temp-probe.txt", "t"});
    ScratchFolder work("temp");
    ASSERT_TRUE(WriteTestSfx(work / "t.exe", a));
    std::vector<std::string> before = FolderNames(TempFolder(), "ZXS*");
    EXPECT_EQ(0u, RunSfx(work / "t.exe", "/s"));
    std::vector<std::string> after = FolderNames(TempFolder(), "ZXS*");
    std::string fresh;
    for (const std::string &name : after) {
        bool old = false;
        for (const std::string &b : before)
            old = old || b == name;
        if (!old)
            fresh = name;
    }
    ASSERT_FALSE(fresh.empty());
    EXPECT_EQ("t", ReadWholeFile(TempFolder() + "\\" + fresh + "\\zx-temp-probe.txt"));
    DeleteTree(TempFolder() + "\\" + fresh);
}

// The first name drawn is taken already: the next one is drawn, and neither
// that folder nor the temporary folder itself receives the files.
TEST(Destinations, ATakenTemporaryNameIsPassedOver)
{
    TestArchive a;
    a.files.push_back({"zx-taken-probe.txt", "t"});
    ScratchFolder work("taken");
    ASSERT_TRUE(WriteTestSfx(work / "t.exe", a));
    std::string taken = TempFolder() + "\\ZXS5A7E0001", next = TempFolder() + "\\ZXS5A7E0002";
    ASSERT_TRUE(CreateDirectoryA(taken.c_str(), NULL));
    DWORD code = RunSfxDrawingFrom(work / "t.exe", "/s", 0x5A7E0001);
    EXPECT_TRUE(FolderNames(taken).empty());
    EXPECT_FALSE(FileExists(TempFolder() + "\\zx-taken-probe.txt"));
    DeleteFileA((TempFolder() + "\\zx-taken-probe.txt").c_str());
    RemoveDirectoryA(taken.c_str());
    ASSERT_NE(STUB_NOT_PATCHED, code);
    EXPECT_EQ(0u, code);
    EXPECT_EQ("t", ReadWholeFile(next + "\\zx-taken-probe.txt"));
    DeleteTree(next);
}

TEST(Destinations, ProgramFilesGoesInFrontOfTheCustomFolder)
{
    char programFiles[MAX_PATH] = "";
    ReadRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                       programFiles, sizeof(programFiles));
    ASSERT_NE('\0', programFiles[0]);

    ScratchFolder work("pf");
    TestArchive a;
    a.files.push_back({"pf.txt", "p"});
    a.SetText(a.header.destination, sizeof(a.header.destination), "D:\\Zendrix Stub Test\\App");
    a.header.addProgramFiles = 1;
    ASSERT_TRUE(WriteTestSfx(work / "pf.exe", a));
    EXPECT_EQ(0u, RunSfx(work / "pf.exe", "/s"));
    std::string root = std::string(programFiles) + "\\Zendrix Stub Test";
    EXPECT_EQ("p", ReadWholeFile(root + "\\App\\pf.txt"));
    DeleteTree(root);
}

// ProgramFilesDir stored without its terminator is read as far as it goes, no further.
TEST(Destinations, AProgramFilesValueWithoutTerminatorEndsWhereItsDataEnds)
{
    const char *key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    char saved[MAX_PATH] = "";
    ASSERT_TRUE(ReadRegistryString(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", saved, sizeof(saved)));
    struct Restore {
        const char *key, *value;
        ~Restore() { RegSetString(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", value); }
    } restore = {key, saved};

    ScratchFolder work("pfbare");
    std::string bare = work / "pf";
    HKEY open;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &open));
    LONG set = RegSetValueExA(open, "ProgramFilesDir", 0, REG_SZ, (const BYTE *)bare.data(), (DWORD)bare.size());
    RegCloseKey(open);
    ASSERT_EQ(ERROR_SUCCESS, set);
    TestArchive a;
    a.files.push_back({"pf.txt", "p"});
    a.SetText(a.header.destination, sizeof(a.header.destination), "App");
    a.header.addProgramFiles = 1;
    ASSERT_TRUE(WriteTestSfx(work / "pf.exe", a));
    EXPECT_EQ(0u, RunSfx(work / "pf.exe", "/s"));
    EXPECT_EQ("p", ReadWholeFile(bare + "\\App\\pf.txt"));
}

// /s shows nothing at all, whether the run succeeds or fails: the exit code tells.
TEST(SilentExtraction, NoWindowAppearsOnSuccessOrFailure)
{
    ScratchFolder work("nowindow");
    WriteTextFile(work / "a-file", "");
    LaunchRecord launch(work / "record.txt");
    struct Case {
        const char *what;
        TestArchive archive;
        std::string arguments;
        DWORD exitCode;
    };
    std::vector<Case> cases;
    TestArchive plain = ThreeFiles();
    plain.header.showDialog = 1;
    plain.header.overwriteMode = SFX_OVERWRITE_ASK;
    cases.push_back({"three files", plain, "/s /d:" + work / "out", 0});
    cases.push_back({"mode 3 over the same files", plain, "/s /d:" + work / "out", 0});
    TestArchive setup;
    setup.header.moduleType = SFX_MODULE_SETUP;
    setup.files.push_back({"RecordLaunch.exe", ReadWholeFile("RecordLaunch.exe")});
    setup.SetText(setup.header.launchFile, sizeof(setup.header.launchFile), "RecordLaunch.exe");
    setup.SetText(setup.header.commandLine, sizeof(setup.header.commandLine), "/exit:6");
    cases.push_back({"setup run", setup, "/s /d:" + work / "base", 6});
    TestArchive hostile = ThreeFiles();
    hostile.files.push_back({"CONOUT$", "x"});
    cases.push_back({"hostile name", hostile, "/s /d:" + work / "h", 1});
    TestArchive crc = ThreeFiles();
    crc.corruptCrc = 1;
    cases.push_back({"checksum", crc, "/s /d:" + work / "h", 1});
    TestArchive nothingToRun = ThreeFiles();
    nothingToRun.header.moduleType = SFX_MODULE_SETUP;
    cases.push_back({"setup without a program", nothingToRun, "/s", 1});
    TestArchive tooLong = ThreeFiles();
    std::string longFolder = work / std::string(250 - work.path.size() - 1, 'l');
    tooLong.SetText(tooLong.header.destination, sizeof(tooLong.header.destination), longFolder);
    tooLong.header.addProgramFiles = 1;
    cases.push_back({"Program Files does not fit", tooLong, "/s", 3});
    cases.push_back({"destination is a file", ThreeFiles(), "/s /d:" + work / "a-file", 3});
    TestArchive missing = ThreeFiles();
    missing.SetText(missing.header.launchFile, sizeof(missing.header.launchFile), "absent.exe");
    cases.push_back({"program missing", missing, "/s /d:" + work / "m", 4});

    for (Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteTestSfx(work / "w.exe", c.archive));
        int windows = -1;
        EXPECT_EQ(c.exitCode, RunSfxCountingWindows(work / "w.exe", c.arguments, &windows));
        EXPECT_EQ(0, windows);
    }
}

TEST(SilentExtraction, NamesWithInnerDotsAreExtracted)
{
    ScratchFolder work("dots");
    TestArchive a;
    for (const char *name : {"release..notes.txt", "v1..2.zip", "Wait...what.txt", "..hidden"})
        a.files.push_back({name, name});
    ASSERT_TRUE(WriteTestSfx(work / "d.exe", a));
    EXPECT_EQ(0u, RunSfx(work / "d.exe", "/s /d:" + work / "out"));
    for (const TestFile &f : a.files)
        EXPECT_EQ(f.name, ReadWholeFile(work / "out\\" + f.name));
}

TEST(Destinations, ProgramFilesInFrontOfACustomFolderThatThenDoesNotFitFails)
{
    ScratchFolder work("pflong");
    std::string custom = work / std::string(250 - work.path.size() - 1, 'p');
    TestArchive a;
    a.files.push_back({"pf.txt", "p"});
    a.SetText(a.header.destination, sizeof(a.header.destination), custom);
    a.header.addProgramFiles = 1;
    ASSERT_TRUE(WriteTestSfx(work / "pf.exe", a));
    EXPECT_EQ(3u, RunSfx(work / "pf.exe", "/s"));
    EXPECT_FALSE(FolderExists(custom));
}

// A name stored twice: the second copy replaces the first without a question,
// whatever the letter case, while a file that was there before is still asked about.
TEST(OverwriteModes, TheArchivesOwnEarlierCopyIsReplacedWithoutAQuestion)
{
    ScratchFolder work("twice");
    TestArchive a;
    a.files.push_back({"dup.txt", "first"});
    a.files.push_back({"Dup.TXT", "second"});
    a.header.overwriteMode = SFX_OVERWRITE_ASK;
    ASSERT_TRUE(WriteTestSfx(work / "t.exe", a));
    UiProcess pi;
    ASSERT_TRUE(UiStartProcess(("\"" + work / "t.exe" + "\" /d:" + work / "out").c_str(), &pi));
    EXPECT_EQ(0u, UiWaitExit(&pi, 10000)) << "asked about its own file";
    EXPECT_EQ("second", ReadWholeFile(work / "out\\dup.txt"));
}

TEST(OverwriteModes, SilentRunsFollowTheArchiveDefault)
{
    ScratchFolder work("over");
    std::string out = work / "out";
    CreateDirectoryA(out.c_str(), NULL);
    TestArchive a;
    a.files.push_back({"keep.txt", "new"});

    struct Case {
        uint32_t mode;
        const char *expected;
    } cases[] = {{SFX_OVERWRITE_ALL, "new"}, {SFX_OVERWRITE_NONE, "old"}, {SFX_OVERWRITE_ASK, "new"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode);
        WriteTextFile(out + "\\keep.txt", "old");
        SetFileAttributesA((out + "\\keep.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        a.header.overwriteMode = c.mode;
        ASSERT_TRUE(WriteTestSfx(work / "o.exe", a));
        EXPECT_EQ(0u, RunSfx(work / "o.exe", "/s /d:" + out));
        EXPECT_EQ(c.expected, ReadWholeFile(out + "\\keep.txt"));
        SetFileAttributesA((out + "\\keep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Every refusal happens before anything is written: the destination stays empty.
TEST(UntrustedArchive, DamagedOrHostileArchivesAreRefusedSilently)
{
    ScratchFolder work("hostile");
    struct Case {
        const char *what;
        TestArchive archive;
    };
    std::vector<Case> cases;
    auto withFirstGood = [](const std::string &name) {
        TestArchive a;
        a.files.push_back({"good.txt", "fine"});
        a.files.push_back({name, "evil"});
        return a;
    };
    const char *badNames[] = {"..\\escape.txt", "sub/escape.txt", "C:escape.txt", "..", "trail.", "con",
                              "nul.txt", "star*.txt", "tab\tname", "CONIN$", "conout$.txt", "CLOCK$"};
    for (const char *name : badNames)
        cases.push_back({name, withFirstGood(name)});
    cases.push_back({"empty name", withFirstGood("")});
    cases.push_back({"unterminated name", withFirstGood(std::string(260, 'n'))});

    TestArchive crc = ThreeFiles();
    crc.corruptCrc = 1;
    cases.push_back({"checksum", crc});
    TestArchive beyondFile = ThreeFiles();
    beyondFile.packedSizeOverride = 0x7FFFFFF0;
    cases.push_back({"packed size beyond the file", beyondFile});
    TestArchive beyondData;
    beyondData.files.push_back({"good.txt", "fine"});
    beyondData.files.push_back({"big.bin", "short", 1000000});
    cases.push_back({"file size beyond the data", beyondData});
    TestArchive halfHead;
    halfHead.rawWorkStream = BuildWorkStream(withFirstGood("x.txt")).substr(0, 300);
    cases.push_back({"stream ends inside a head", halfHead});
    TestArchive tooMany;
    for (int i = 0; i <= SFX_MAX_ENTRIES; i++)
        tooMany.files.push_back({"f" + std::to_string(i), ""});
    cases.push_back({"one record too many", tooMany});
    // A program outside the destination, or a Setup module with none to run.
    for (const char *launch : {"..\\outside\\evil.exe", "ok.txt\\..\\..\\x.exe"}) {
        TestArchive climbs = withFirstGood("ok.txt");
        climbs.SetText(climbs.header.launchFile, sizeof(climbs.header.launchFile), launch);
        cases.push_back({launch, climbs});
        climbs.header.moduleType = SFX_MODULE_SETUP;
        cases.push_back({launch, climbs});
    }
    TestArchive nothingToRun = ThreeFiles();
    nothingToRun.header.moduleType = SFX_MODULE_SETUP;
    cases.push_back({"setup module without a program", nothingToRun});

    for (Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string out = work / "out";
        DeleteTree(out);
        ASSERT_TRUE(WriteTestSfx(work / "h.exe", c.archive));
        EXPECT_EQ(1u, RunSfx(work / "h.exe", "/s /d:" + out));
        EXPECT_TRUE(FolderNames(out).empty());
        EXPECT_FALSE(FileExists(work / "escape.txt"));
    }
}

// A stream too large to keep in memory is staged, and a bad record or a wrong
// checksum at its end still stops everything before the first file comes out
// under its name. A block packed larger than the limit is staged at once.
TEST(SilentExtraction, AStreamTooBigToKeepIsCheckedWholeBeforeAnyFileComesOut)
{
    ScratchFolder work("big");
    std::string big(64 * 1024 * 1024 + 5, '\0');
    big[big.size() - 1] = 'z';
    for (int level : {6, 0}) {
        SCOPED_TRACE(level);
        TestArchive a = ThreeFiles();
        a.level = level;
        a.files.insert(a.files.begin() + 1, {"big.bin", big});
        TestArchive bad = a, crc = a;
        bad.files.push_back({"..\\escape.txt", "evil"});
        crc.corruptCrc = 1;
        for (const TestArchive *refused : {&bad, &crc}) {
            ASSERT_TRUE(WriteTestSfx(work / "bad.exe", *refused));
            EXPECT_EQ(1u, RunSfx(work / "bad.exe", "/s /d:" + work / "out"));
            EXPECT_TRUE(FolderNames(work / "out").empty());
        }
        ASSERT_TRUE(WriteTestSfx(work / "x.exe", a));
        EXPECT_EQ(0u, RunSfx(work / "x.exe", "/s /d:" + work / "out"));
        ExpectThreeFiles(work / "out");
        EXPECT_TRUE(ReadWholeFile(work / "out\\big.bin") == big);
        DeleteTree(work / "out");
    }
}

// Past that limit the files are staged in a folder of the run's own inside
// the destination and moved into place once the whole stream has passed. A
// run killed while staging leaves no file under an archive's name and nothing
// beside its staging folder; a run to the end leaves the files alone, an
// existing read-only one replaced.
TEST(SilentExtraction, ARunKilledWhileStagingLeavesNoFileUnderAnArchivesName)
{
    ScratchFolder work("kill");
    TestArchive a;
    a.files.push_back({"first.txt", "1"});
    a.files.push_back({"big.bin", std::string(160 * 1024 * 1024, '\0')});
    a.files.push_back({"last.txt", "z"});
    ASSERT_TRUE(WriteTestSfx(work / "x.exe", a));
    a.files.clear();
    std::string out = work / "out";
    UiProcess pi;
    ASSERT_TRUE(UiStartProcess(("\"" + work / "x.exe\" /s /d:" + out).c_str(), &pi));
    std::vector<std::string> staging;
    for (int i = 0; i < 20000 && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; i++) {
        staging = FolderNames(out, "ZXS*");
        if (staging.size() == 1 && FileExists(out + "\\" + staging[0] + "\\first.txt"))
            break;
        Sleep(1);
    }
    TerminateProcess(pi.hProcess, 99);
    ASSERT_EQ(99u, UiWaitExit(&pi, 10000)) << "the run ended before it could be stopped while staging";
    EXPECT_EQ(staging, FolderNames(out));

    WriteTextFile(out + "\\last.txt", "old");
    SetFileAttributesA((out + "\\last.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0u, RunSfx(work / "x.exe", "/s /d:" + out));
    EXPECT_EQ("1", ReadWholeFile(out + "\\first.txt"));
    EXPECT_EQ("z", ReadWholeFile(out + "\\last.txt"));
    EXPECT_EQ(160u * 1024 * 1024, ReadWholeFile(out + "\\big.bin").size());
    EXPECT_EQ(staging, FolderNames(out, "ZXS*"));
}

TEST(UntrustedArchive, NotAZlibStreamOrGarbageAfterItIsRefused)
{
    ScratchFolder work("garbage");
    std::string sfx = work / "g.exe";
    ASSERT_TRUE(WriteTestSfx(sfx, ThreeFiles()));
    std::string bytes = ReadWholeFile(sfx);
    std::string stub = ReadWholeFile("pelstub.bin");
    ASSERT_GT(bytes.size(), stub.size() + SFX_HEADER_SIZE);

    // Flip the zlib head and fix up the checksum so that only the stream is wrong.
    std::string broken = bytes;
    broken[stub.size() + SFX_HEADER_SIZE] ^= 0x0F;
    uint32_t crc = SfxChecksum(0, broken.data() + stub.size() + SFX_HEADER_SIZE,
                               broken.size() - stub.size() - SFX_HEADER_SIZE);
    memcpy(&broken[stub.size() + 12], &crc, 4);
    ASSERT_TRUE(WriteTextFile(sfx, broken));
    EXPECT_EQ(1u, RunSfx(sfx, "/s /d:" + work / "out"));
    EXPECT_TRUE(FolderNames(work / "out").empty());

    // The bare stub has no archive after it.
    ASSERT_TRUE(WriteTextFile(sfx, stub));
    EXPECT_EQ(1u, RunSfx(sfx, "/s /d:" + work / "out"));
}

TEST(UntrustedArchive, RefusalIsExplainedInABoxWhenNotSilent)
{
    ScratchFolder work("box");
    struct Case {
        TestArchive archive;
        const char *arguments;
        DWORD exitCode;
        std::string text;
    };
    std::vector<Case> cases(5);
    for (Case &c : cases) {
        c.archive.SetText(c.archive.header.appName, sizeof(c.archive.header.appName), "Hostile Demo");
        c.archive.header.showDialog = 1;
        c.archive.files.push_back({"ok.txt", "fine"});
        c.arguments = " /d:";
        c.exitCode = 1;
    }
    cases[0].archive.files.push_back({"..\\escape.txt", "evil"});
    cases[0].text = "The archive holds a file name that is not allowed:\n\"..\\escape.txt\"\n\nNothing was extracted.";
    cases[1].archive.header.moduleType = SFX_MODULE_SETUP;
    cases[1].text = "This setup archive names no program to run.\n\nNothing was extracted.";
    cases[2].archive.SetText(cases[2].archive.header.launchFile, SFX_PATH_FIELD, "..\\x.exe");
    cases[2].text = "The program to start has a name that is not allowed:\n\"..\\x.exe\"\n\nNothing was extracted.";
    std::string tooLong = work / std::string(250 - work.path.size() - 1, 'l');
    cases[3].archive.SetText(cases[3].archive.header.destination, SFX_PATH_FIELD, tooLong);
    cases[3].archive.header.addProgramFiles = 1;
    cases[3].arguments = "";
    cases[3].exitCode = 3;
    cases[3].text =
        "The destination folder name is too long with the Program Files folder in front of it:\n" + tooLong;
    cases[4].archive.corruptCrc = 1;
    cases[4].text = "The archive in this program is damaged (its checksum does not match).\n\n"
                    "Please obtain the file again.";
    for (Case &c : cases) {
        ASSERT_TRUE(WriteTestSfx(work / "b.exe", c.archive));
        UiProcess pi;
        std::string line = "\"" + work / "b.exe" + "\"" + (c.arguments[0] ? c.arguments + work / "out" : "");
        ASSERT_TRUE(UiStartProcess(line.c_str(), &pi));
        HWND box = UiWaitWindow("Hostile Demo", pi.dwProcessId, 30000, UI_DIALOG_CLASS);
        ASSERT_TRUE(box != NULL);
        EXPECT_EQ(c.text, UiMessageBoxText(box));
        UiPressButton(box, IDOK);
        EXPECT_EQ(c.exitCode, UiWaitExit(&pi, 10000));
        EXPECT_FALSE(FolderExists(work / "out"));
        EXPECT_FALSE(FolderExists(tooLong));
    }
}
