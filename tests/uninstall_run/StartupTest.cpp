// StartupTest.cpp -- Kolvu.exe's start-up: its self-check, choosing and checking the log, preparing the language.
#include <gtest/gtest.h>

#include <algorithm>

#include "InstallLogWriter.h"
#include "KolvuDriver.h"
#include "PeChecksum.h"
#include "UiTest.h"

namespace {

const char *const kNoLog = "Unable to locate Setup logfile.";
const char *const kInvalidLog = "Invalid installation log.";
const char *const kNoLanguageFile = "Unable to load language file. Uninstall failed !";
const char *const kImageCut = "Invalid installation log. Unable to restore language DLL.";
const char *const kCorruptText =
    "The uninstaller's program file is corrupt and cannot be used.\n"
    "Please obtain a new copy of the application's setup.";
const char *const kEnglishInstead =
    "The language DLL selected for this uninstall could not be located. Uninstall will use English instead.";

// Starts Kolvu with the arguments, expects exactly one start-up message and exit code -1.
void ExpectStartupFailure(const std::string &arguments, const char *pszMessage, const char *pszExe = "Kolvu.exe")
{
    SCOPED_TRACE(std::string(pszExe) + " " + arguments);
    KolvuRun run;
    ASSERT_TRUE(run.Start(arguments, pszExe));
    EXPECT_EQ(pszMessage, run.AnswerBox(IDOK));
    EXPECT_EQ(kExitFailed, run.Exit());
}

// A small sample installation: one file and its directory.
std::string SampleLog(const std::string &dir, InstallLogWriter &log)
{
    CreateDirectoryA((dir + "\\App").c_str(), NULL);
    WriteTextFile(dir + "\\App\\app.txt");
    log.AddApp("ZxStartupSample", dir + "\\App\\");
    log.AddFile(dir + "\\App\\app.txt");
    log.AddDirectory(dir + "\\App");
    return dir + "\\uninst.log";
}

} // namespace

// The program checks its own file before anything else: a copy damaged anywhere,
// even in the header fields the checksum leaves out, shows the alert and exits.
TEST(StartupSelfCheck, DamagedCopiesShowTheAlertAndExitWithMinusOne)
{
    Bytes image = ReadFileBytes(BinDir() + "\\Kolvu.exe");
    ASSERT_GT(image.size(), 4096u);
    uint32_t pe = image[0x3C] | (image[0x3D] << 8);
    ASSERT_GT(pe, 0u);
    const struct { const char *name; size_t offset; uint8_t mask; } copies[] = {
        {"KolvuDamagedEnd.exe", image.size() - 1, 0x01},   // last byte of the file
        {"KolvuDamagedStamp.exe", pe + 8, 0x40},           // link time stamp in the header
        {"KolvuUnstamped.exe", pe + 88, 0xFF},             // the stored checksum itself
    };
    for (const auto &c : copies) {
        Bytes copy = image;
        copy[c.offset] ^= c.mask;
        ASSERT_TRUE(WriteFileBytes(BinDir() + "\\" + c.name, copy));
        ExpectStartupFailure("C:\\nowhere\\uninst.log /yes", kCorruptText, c.name);
        DeleteFileA((BinDir() + "\\" + c.name).c_str());
    }
}

TEST(StartupSelfCheck, IntactProgramRunsAndExitsWithZero)
{
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(FreshCaseDir("intact"), InstallLogWriter()));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
}

// What a support engineer sees with a debugger attached: each argument as it was read.
TEST(StartupTrace, EachArgumentGoesToTheDebugger)
{
    std::string log = FreshCaseDir("trace") + "\\uninst.log";
    ASSERT_TRUE(InstallLogWriter().Save(log));
    KolvuRun run;
    ASSERT_TRUE(run.StartTraced(Quoted(log) + " /yes  \"a\"\"b\""));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_NE(std::string::npos, run.Trace().find("Parameter: " + log + "\nParameter: /yes\nParameter: a\"b\n"))
        << run.Trace();
}

TEST(StartupLogChoice, NoArgumentsFindsNoLog)
{
    for (const char *pszArguments : {"", "/yes", "C:\\nowhere\\uninst.log /yes"})
        ExpectStartupFailure(pszArguments, kNoLog);
}

TEST(StartupLogChoice, MissingLogFindsNoLog)
{
    std::string dir = FreshCaseDir("missing");
    ExpectStartupFailure(Quoted(dir + "\\uninst.log") + " /yes", kNoLog);
}

TEST(StartupLogChoice, YesBeforeThePathFindsNoLogAndKeepsIt)
{
    std::string dir = FreshCaseDir("yesfirst");
    InstallLogWriter log;
    std::string path = SampleLog(dir, log);
    ASSERT_TRUE(log.Save(path));
    ExpectStartupFailure("/yes " + Quoted(path), kNoLog);
    EXPECT_TRUE(PathExists(path));
    EXPECT_TRUE(PathExists(dir + "\\App\\app.txt"));
}

TEST(StartupLogChoice, UnquotedPathWithBlanksUsesTheWholeCommandLine)
{
    std::string dir = FreshCaseDir("blank path");
    std::string logDir = dir + "\\Log Dir";
    CreateDirectoryA(logDir.c_str(), NULL);
    InstallLogWriter log;
    SampleLog(dir, log);
    std::string path = logDir + "\\uninst.log";
    ASSERT_TRUE(log.Save(path));

    KolvuRun run;
    ASSERT_TRUE(run.Start(path));   // no quotes: "C:\ZxRun\blank" does not exist
    EXPECT_EQ(kConfirmText, run.AnswerBox(IDYES));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(dir + "\\App"));
    EXPECT_FALSE(PathExists(path));
    EXPECT_FALSE(PathExists(logDir)) << "the log's own directory goes last";
}

TEST(StartupHeader, ShortOrWrongVersionHeaderIsInvalid)
{
    std::string dir = FreshCaseDir("header");
    InstallLogWriter log;
    Bytes bytes = log.GetBytes();
    bytes.resize(100);   // Version 384 lies inside, but the header is cut
    ASSERT_TRUE(WriteFileBytes(dir + "\\short.log", bytes));
    ExpectStartupFailure(Quoted(dir + "\\short.log"), kInvalidLog);

    for (uint32_t version : {383u, 385u}) {
        InstallLogWriter wrong;
        wrong.SetVersion(version);
        wrong.AddApp("ZxWrongVersion", dir + "\\");
        ASSERT_TRUE(wrong.Save(dir + "\\wrong.log"));
        ExpectStartupFailure(Quoted(dir + "\\wrong.log"), kInvalidLog);
    }
}

TEST(StartupLanguageFiles, FirstFileIsRequired)
{
    std::string dir = FreshCaseDir("lexa2only");
    ASSERT_TRUE(CopyFileA(LanguageFixture("secondary", "LEXA2.LDB").c_str(), (dir + "\\LEXA2.LDB").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(LanguageFixture("english", "LEXA1.LDB").c_str(), (dir + "\\LEXA1.LDB").c_str(), FALSE));
    InstallLogWriter log;
    log.SetLanguageFiles(LANGF_SECOND_FILE);   // LEXA1.LDB lies there but is not asked for
    ASSERT_TRUE(log.Save(dir + "\\uninst.log"));
    ExpectStartupFailure(Quoted(dir + "\\uninst.log"), kNoLanguageFile);

    DeleteFileA((dir + "\\LEXA1.LDB").c_str());
    log.SetLanguageFiles(LANGF_FIRST_FILE | LANGF_SECOND_FILE);   // asked for, but missing
    ASSERT_TRUE(log.Save(dir + "\\uninst.log"));
    ExpectStartupFailure(Quoted(dir + "\\uninst.log"), kNoLanguageFile);
    EXPECT_TRUE(PathExists(dir + "\\uninst.log"));
}

TEST(StartupLanguageFiles, LogPathWithoutDirectoryIsNotReadAsLanguageFile)
{
    std::string dir = FreshCaseDir("nobackslash");
    ASSERT_TRUE(CopyFileA(LanguageFixture("english", "LEXA1.LDB").c_str(), (dir + "\\LEXA1.LDB").c_str(), FALSE));
    InstallLogWriter log;
    log.SetLanguageFiles(LANGF_FIRST_FILE);
    ASSERT_TRUE(log.Save(dir + "\\uninst.log"));

    // started in the log's directory with a bare file name
    KolvuRun run;
    ASSERT_TRUE(run.Start("uninst.log", "Kolvu.exe", dir.c_str()));
    EXPECT_EQ(kNoLanguageFile, run.AnswerBox(IDOK));
    EXPECT_EQ(kExitFailed, run.Exit());
    EXPECT_TRUE(PathExists(dir + "\\LEXA1.LDB"));
}

TEST(StartupLanguageDll, ImageCutShortOrLargerThanTheFile)
{
    std::string dir = FreshCaseDir("imagecut");
    InstallLogWriter log;
    log.SetLanguageData(5000);   // no image bytes follow at all
    log.AddApp("ZxImageCut", dir + "\\");
    ASSERT_TRUE(log.Save(dir + "\\uninst.log"));
    ExpectStartupFailure(Quoted(dir + "\\uninst.log"), kImageCut);

    // a size near 4 GB must be refused before anything that large is asked for
    log.SetLanguageData(0xFFFFFFF0u);
    ASSERT_TRUE(log.Save(dir + "\\uninst.log"));
    ExpectStartupFailure(Quoted(dir + "\\uninst.log"), kImageCut);
}

TEST(StartupLanguageDll, ImageThatIsNoLanguageDllFallsBackToEnglish)
{
    std::string dir = FreshCaseDir("notadll");
    InstallLogWriter log;
    std::string path = SampleLog(dir, log);
    Bytes image = ReadFileBytes(BinDir() + "\\ZxLangNoSignature.dll");
    ASSERT_FALSE(image.empty());
    log.SetLanguageImage(image);
    ASSERT_TRUE(log.Save(path));
    int nTempBefore = CountTempLanguageFiles();

    KolvuRun run;
    ASSERT_TRUE(run.Start(Quoted(path) + " /log:" + dir + "\\r.txt"));
    EXPECT_EQ(kEnglishInstead, run.AnswerBox(IDOK));
    EXPECT_EQ(kConfirmText, run.AnswerBox(IDNO));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_TRUE(PathExists(path)) << "declined: the log stays";
    // the warning is a line of its own; the outcome is what ended the run
    std::vector<std::string> lines = ReadTextLines(dir + "\\r.txt");
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), std::string("Warning: ") + kEnglishInstead));
    std::vector<std::string> tail = ReportTail(dir + "\\r.txt");
    ASSERT_EQ(2u, tail.size());
    EXPECT_EQ("Outcome (exit code 0): Declined at the confirmation question.", tail[1]);
    EXPECT_EQ(nTempBefore, CountTempLanguageFiles()) << "the restored DLL is removed even after No";
}

TEST(StartupLanguageDll, NoImageMeansOwnStringsWithoutMessage)
{
    std::string dir = FreshCaseDir("noimage");
    InstallLogWriter log;
    std::string path = SampleLog(dir, log);
    ASSERT_TRUE(log.Save(path));
    int nTempBefore = CountTempLanguageFiles();

    KolvuRun run;
    ASSERT_TRUE(run.Start(Quoted(path)));
    EXPECT_EQ(kConfirmText, run.AnswerBox(IDNO));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_EQ(nTempBefore, CountTempLanguageFiles());
}

TEST(StartupLanguageDll, TemporaryFileThatCannotBeWritten)
{
    std::string dir = FreshCaseDir("notemp");
    InstallLogWriter log;
    std::string path = SampleLog(dir, log);
    log.SetLanguageImage(ReadFileBytes(BinDir() + "\\ZxLangGerman.dll"));
    ASSERT_TRUE(log.Save(path));

    // the child inherits a temporary directory that does not exist
    char szTmp[MAX_PATH] = "", szTemp[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", szTmp, MAX_PATH);
    GetEnvironmentVariableA("TEMP", szTemp, MAX_PATH);
    SetEnvironmentVariableA("TMP", (dir + "\\no such dir").c_str());
    SetEnvironmentVariableA("TEMP", (dir + "\\no such dir").c_str());
    KolvuRun run;
    bool started = run.Start(Quoted(path));
    SetEnvironmentVariableA("TMP", szTmp[0] ? szTmp : NULL);
    SetEnvironmentVariableA("TEMP", szTemp[0] ? szTemp : NULL);
    ASSERT_TRUE(started);
    EXPECT_EQ("Unable to restore language DLL.", run.AnswerBox(IDOK));
    EXPECT_EQ(kExitFailed, run.Exit());
    EXPECT_TRUE(PathExists(dir + "\\App\\app.txt"));
}

// A copy of the uninstaller whose own string 42 lost its signature (and whose
// checksum was made right again, so that it passes its self-check).
TEST(StartupLanguageDll, OwnStringTableFailingTheLanguageTest)
{
    Bytes exe = ReadFileBytes(BinDir() + "\\Kolvu.exe");
    ASSERT_FALSE(exe.empty());
    const char *pszSignature = "ZENDRIX LANGUAGE DLL";
    Bytes wide;
    for (const char *p = pszSignature; *p; ++p) {
        wide.push_back((uint8_t)*p);
        wide.push_back(0);
    }
    auto it = std::search(exe.begin(), exe.end(), wide.begin(), wide.end());
    ASSERT_TRUE(it != exe.end());
    *it = 'X';
    uint32_t field = 0;
    ASSERT_TRUE(PeChecksumFieldOffset(exe.data(), exe.size(), &field));
    uint32_t sum = PeChecksum(exe.data(), exe.size(), field);
    for (int i = 0; i < 4; ++i)
        exe[field + i] = (uint8_t)(sum >> (8 * i));
    ASSERT_TRUE(WriteFileBytes(BinDir() + "\\KolvuNoSignature.exe", exe));

    std::string dir = FreshCaseDir("nosignature");
    InstallLogWriter log;
    std::string path = SampleLog(dir, log);
    ASSERT_TRUE(log.Save(path));
    KolvuRun run;
    ASSERT_TRUE(run.Start(Quoted(path), "KolvuNoSignature.exe"));
    EXPECT_EQ("Unable to access internal string resources. Corrupt executable ! Uninstall failed !",
              run.AnswerBox(IDOK));
    EXPECT_EQ(kExitFailed, run.Exit());
    EXPECT_TRUE(PathExists(path));
    DeleteFileA((BinDir() + "\\KolvuNoSignature.exe").c_str());
}

// "C:\...\mm\App dir\uninst.log" unquoted, beside an unrelated empty folder "App"
// and an unrelated LEXA1.LDB: the folder is no log, so the whole line is, and only
// the real log and its folder go.
TEST(StartupLogChoice, FirstWordNamingAFolderIsNeverTheLog)
{
    std::string dir = FreshCaseDir("mm");
    std::string logDir = dir + "\\App dir";
    CreateDirectoryA((dir + "\\App").c_str(), NULL);
    CreateDirectoryA(logDir.c_str(), NULL);
    WriteTextFile(dir + "\\LEXA1.LDB");
    InstallLogWriter log;
    CreateDirectoryA((dir + "\\Prog").c_str(), NULL);
    WriteTextFile(dir + "\\Prog\\app.txt");
    log.AddFile(dir + "\\Prog\\app.txt");
    log.AddDirectory(dir + "\\Prog");
    ASSERT_TRUE(log.Save(logDir + "\\uninst.log"));

    KolvuRun run;
    ASSERT_TRUE(run.Start(logDir + "\\uninst.log"));
    EXPECT_EQ(kConfirmText, run.AnswerBox(IDYES));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(dir + "\\Prog"));
    EXPECT_FALSE(PathExists(logDir)) << "the log that was read is the one deleted";
    EXPECT_TRUE(PathExists(dir + "\\App"));
    EXPECT_TRUE(PathExists(dir + "\\LEXA1.LDB"));
}

// A file record, then a head whose length runs past the end of the log, hiding a
// custom program: nothing runs, nothing goes, the log stays, in the run's language.
TEST(StartupDamagedLog, NothingIsRunOrRemovedAndTheLogStays)
{
    std::string dir = FreshCaseDir("damaged");
    std::string mark = dir + "\\mark.txt";
    WriteTextFile(dir + "\\app.txt");
    ASSERT_TRUE(CopyFileA(LanguageFixture("german", "LEXA1.LDB").c_str(), (dir + "\\LEXA1.LDB").c_str(), FALSE));
    const struct { bool files; const char *text; } modes[] = {
        {false, kDamagedLogText},
        {true, "Das Installationsprotokoll ist beschädigt. Es wurde nichts entfernt; das Protokoll bleibt."},
    };
    for (const auto &mode : modes) {
        InstallLogWriter log;
        if (mode.files)
            log.SetLanguageFiles(LANGF_FIRST_FILE);
        log.AddFile(dir + "\\app.txt");
        log.AddHead(6, 5000);
        log.AddCustomUninstall(BinDir() + "\\CustomUninstall.exe", "0 \"" + mark + "\" hidden");
        KolvuRun run;
        ASSERT_TRUE(run.StartLog(dir, log));
        EXPECT_EQ(mode.text, run.AnswerBox(IDOK));
        EXPECT_EQ(kExitDamagedLog, run.Exit());
        EXPECT_TRUE(PathExists(dir + "\\app.txt"));
        EXPECT_TRUE(PathExists(dir + "\\uninst.log"));
        EXPECT_TRUE(PathExists(dir + "\\LEXA1.LDB"));
        EXPECT_FALSE(PathExists(mark));
    }
}

// "C:\...\sp\App dir\uninst.log /yes" unquoted, beside a file "App" that is another
// product's log: the whole name is the log, never the planted first word.
TEST(StartupLogChoice, UnquotedPathWhoseFirstWordIsAnotherLog)
{
    std::string dir = FreshCaseDir("sp");
    std::string logDir = dir + "\\App dir";
    CreateDirectoryA(logDir.c_str(), NULL);
    WriteTextFile(dir + "\\theirs.txt");
    WriteTextFile(dir + "\\ours.txt");
    InstallLogWriter theirs, ours;
    theirs.AddFile(dir + "\\theirs.txt");
    ours.AddFile(dir + "\\ours.txt");
    ASSERT_TRUE(theirs.Save(dir + "\\App"));
    ASSERT_TRUE(ours.Save(logDir + "\\uninst.log"));

    KolvuRun run;
    ASSERT_TRUE(run.Start(logDir + "\\uninst.log /yes"));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(dir + "\\ours.txt"));
    EXPECT_FALSE(PathExists(logDir));
    EXPECT_TRUE(PathExists(dir + "\\theirs.txt"));
    EXPECT_TRUE(PathExists(dir + "\\App"));
}

// The restored language DLL lies in a folder every process of the user may write
// to. Another process watches it and, whenever it can open the file for writing,
// spoils the module's first page. The run must load the genuine DLL or refuse it,
// never load what was put in its place. The image is made large so that writing
// it takes a while.
struct DllWatch {
    std::string folder;
    volatile LONG stop = 0, gotIn = 0;
};

static DWORD WINAPI WatchForDll(LPVOID pParam)
{
    DllWatch *watch = (DllWatch *)pParam;
    while (!watch->stop) {
        WIN32_FIND_DATAA fd;
        HANDLE hFind = FindFirstFileA((watch->folder + "\\ZNX*.tmp").c_str(), &fd);
        if (hFind == INVALID_HANDLE_VALUE)
            continue;
        FindClose(hFind);
        HANDLE hFile = CreateFileA((watch->folder + "\\" + fd.cFileName).c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
        if (hFile != INVALID_HANDLE_VALUE) {
            static const char zeros[4096] = {0};
            DWORD cb = 0;
            if (WriteFile(hFile, zeros, sizeof(zeros), &cb, NULL) && cb == sizeof(zeros))
                watch->gotIn = 1;
            CloseHandle(hFile);
        }
    }
    return 0;
}

TEST(StartupLanguageDll, ADllSpoiltByAnotherProcessIsNeverLoaded)
{
    std::string dir = FreshCaseDir("watchdll");
    DllWatch watch;
    watch.folder = dir + "\\tmp";
    CreateDirectoryA(watch.folder.c_str(), NULL);
    InstallLogWriter log;
    std::string path = SampleLog(dir, log);
    Bytes image = ReadFileBytes(BinDir() + "\\ZxLangGerman.dll");
    ASSERT_FALSE(image.empty());
    image.resize(image.size() + (48u << 20));   // data after the sections does not change the module
    log.SetLanguageImage(image);
    ASSERT_TRUE(log.Save(path));

    char szTmp[MAX_PATH] = "", szTemp[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", szTmp, MAX_PATH);
    GetEnvironmentVariableA("TEMP", szTemp, MAX_PATH);
    SetEnvironmentVariableA("TMP", watch.folder.c_str());
    SetEnvironmentVariableA("TEMP", watch.folder.c_str());
    HANDLE hWatcher = CreateThread(NULL, 0, WatchForDll, &watch, 0, NULL);
    KolvuRun run;
    bool started = run.Start(Quoted(path));
    SetEnvironmentVariableA("TMP", szTmp[0] ? szTmp : NULL);
    SetEnvironmentVariableA("TEMP", szTemp[0] ? szTemp : NULL);
    ASSERT_TRUE(started);
    HWND hBox = run.WaitBox(60000);
    watch.stop = 1;
    WaitForSingleObject(hWatcher, 10000);
    CloseHandle(hWatcher);
    ASSERT_TRUE(hBox != NULL);
    std::string text = BoxText(hBox);
    // A spoilt module would not load at all: its texts would be English.
    if (text != "Unable to restore language DLL.") {
        EXPECT_EQ("Wollen Sie die ausgewählte Anwendung wirklich von Ihrem Computer entfernen ?", text)
            << (watch.gotIn ? "another process wrote to the file before it was held" : "");
    }
    UiPressButton(hBox, GetDlgItem(hBox, IDNO) ? IDNO : IDOK);
    run.Exit();
}
