// WizardEndToEndTest.cpp -- drives the real Brolt.exe through its wizard: a whole build that is
// then checked and extracted, Cancel on every page, Help from another directory, the self-check.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "SfxArchiveCheck.h"
#include "UiTest.h"
#include "WizardHarness.h"
#include "resource.h"

namespace {

const char kCaption[] = "Zendrix SFX Creator V1.92";
const char *const kTitles[6] = {"Create a Self extracting executable",
                                "Files to attach to the SFX-Module",
                                "Application Name and Destination Directory",
                                "Execute command after extraction",
                                "Output File",
                                "Finished"};
enum { WIZ_BACK = 12323, WIZ_NEXT = 12324, WIZ_FINISH = 12325, WIZ_HELP = 9 };
const DWORD kWait = 15000;

std::string ShotDirectory()
{
    std::string dir = ProgramDirectory() + "\\..\\..\\screenshots";
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

// Lets the window paint, then saves the screen under the build folder.
void Screenshot(const char *name)
{
    Sleep(600);
    UiScreenshot((ShotDirectory() + "\\" + name + ".bmp").c_str());
}

// One run of Brolt.exe started in its own scratch directory.
class BroltRun {
public:
    explicit BroltRun(const ScratchDirectory &dir, bool withStub = true) : dir_(dir)
    {
        if (withStub)
            CopyFileA((ProgramDirectory() + "\\pelstub.bin").c_str(), dir.File("pelstub.bin").c_str(), FALSE);
        std::string command = "\"" + ProgramDirectory() + "\\Brolt.exe\"";
        started_ = UiStartProcess(command.c_str(), &pi_, dir.Path().c_str());
    }
    ~BroltRun()
    {
        if (started_ && pi_.hProcess)
            UiWaitExit(&pi_, 1);  // terminates whatever a failed test left open
    }
    bool Started() const { return started_; }
    DWORD Pid() const { return pi_.dwProcessId; }
    HWND Sheet() const { return sheet_; }
    HWND Page() const { return (HWND)SendMessageA(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0); }

    // Waits for the wizard to show page `index` (0-based).
    bool WaitPage(int index)
    {
        HWND sheet = UiWaitWindow(kTitles[index], pi_.dwProcessId, kWait, UI_DIALOG_CLASS);
        if (!sheet)
            return false;
        sheet_ = sheet;
        Sleep(200);  // the page's posted button states
        return true;
    }
    bool Press(int id) { return UiPressButton(sheet_, id); }
    bool PressOnPage(int id) { return UiPressButton(Page(), id); }
    // Answers one message box of the program; returns its text.
    std::string AnswerBox()
    {
        HWND box = UiWaitWindow(kCaption, pi_.dwProcessId, kWait, UI_DIALOG_CLASS);
        if (!box)
            return "(no message box)";
        std::string text = UiMessageBoxText(box);
        UiPressButton(box, IDOK);
        UiWaitGone(box, kWait);
        return text;
    }
    DWORD WaitExit(DWORD ms = kWait) { return UiWaitExit(&pi_, ms); }

private:
    const ScratchDirectory &dir_;
    PROCESS_INFORMATION pi_ = {};
    bool started_ = false;
    HWND sheet_ = NULL;
};

// Picks a file in the open-file dialog the way a person types its name.
bool AddThroughFileDialog(BroltRun &run, const std::string &path)
{
    if (!run.PressOnPage(IDC_STEP2_BROWSEADD))
        return false;
    HWND dialog = UiWaitWindow("Select a file to add...", run.Pid(), kWait, UI_DIALOG_CLASS);
    if (!dialog)
        return false;
    Sleep(300);
    HWND name = GetDlgItem(dialog, 0x47C);  // the file-name combo box
    if (!name)
        name = GetDlgItem(dialog, 0x480);  // or the plain edit
    if (!name)
        return false;
    SendMessageA(name, WM_SETTEXT, 0, (LPARAM)path.c_str());
    UiPressButton(dialog, IDOK);
    return UiWaitGone(dialog, kWait);
}

bool ProcessRunning(const char *exeName, DWORD *pid)
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL ok = Process32First(snap, &entry); ok && !found; ok = Process32Next(snap, &entry)) {
        if (lstrcmpiA(entry.szExeFile, exeName) == 0) {
            found = true;
            *pid = entry.th32ProcessID;
        }
    }
    CloseHandle(snap);
    return found;
}

std::vector<std::string> TempLeftovers()
{
    std::vector<std::string> names;
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((std::string(temp) + "SFX*.tmp").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do
            names.push_back(found.cFileName);
        while (FindNextFileA(find, &found));
        FindClose(find);
    }
    return names;
}

TEST(BroltEndToEnd, WalksTheSixPagesBuildsTestRunsAndTheSfxExtracts)
{
    ScratchDirectory dir;
    std::string docs = dir.File("docs");
    CreateDirectoryA(docs.c_str(), NULL);
    std::string first = dir.MakeFile("docs\\readme.txt", 1200, 'r');
    std::string second = dir.MakeFile("docs\\manual.doc", 50000, 'm');
    std::string third = dir.MakeFile("docs\\setup.ini", 3, 's');
    std::vector<std::string> tempBefore = TempLeftovers();

    BroltRun run(dir);
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitPage(0));
    Screenshot("step1");

    // The About box, from page 1.
    ASSERT_TRUE(run.PressOnPage(IDC_STEP1_ABOUT));
    HWND about = UiWaitWindow("About", run.Pid(), kWait, UI_DIALOG_CLASS);
    ASSERT_TRUE(about != NULL);
    EXPECT_EQ("http://www.velmor.example/", UiItemText(about, IDC_ABOUT_LINK));
    RECT rc;
    GetWindowRect(about, &rc);
    EXPECT_NEAR((GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2, rc.left, 1);
    EXPECT_NEAR((GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2, rc.top, 1);
    Screenshot("about");
    UiPressButton(about, IDC_ABOUT_OK);
    EXPECT_TRUE(UiWaitGone(about, kWait));

    ASSERT_TRUE(run.Press(WIZ_NEXT));
    ASSERT_TRUE(run.WaitPage(1));
    for (const std::string &f : {first, second, third})
        ASSERT_TRUE(AddThroughFileDialog(run, f)) << f;
    Screenshot("step2");

    ASSERT_TRUE(run.Press(WIZ_NEXT));
    ASSERT_TRUE(run.WaitPage(2));
    SetDlgItemTextA(run.Page(), IDC_STEP3_APPNAME, "Velmor Documents");
    Screenshot("step3");

    ASSERT_TRUE(run.Press(WIZ_NEXT));
    ASSERT_TRUE(run.WaitPage(3));
    Screenshot("step4");

    ASSERT_TRUE(run.Press(WIZ_NEXT));
    ASSERT_TRUE(run.WaitPage(4));
    Screenshot("step5");
    ASSERT_TRUE(run.Press(WIZ_NEXT));  // builds, then test-runs the new file
    ASSERT_TRUE(run.WaitPage(5));
    Screenshot("step6");

    DWORD sfxPid = 0;
    for (int i = 0; i < 100 && !ProcessRunning("MySFX.EXE", &sfxPid); i++)
        Sleep(100);
    EXPECT_NE(0u, sfxPid) << "the test run did not start the new file";
    if (sfxPid) {
        HANDLE sfx = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, sfxPid);
        TerminateProcess(sfx, 0);
        WaitForSingleObject(sfx, kWait);
        CloseHandle(sfx);
    }

    ASSERT_TRUE(run.Press(WIZ_FINISH));
    EXPECT_EQ(0u, run.WaitExit());
    EXPECT_EQ(tempBefore, TempLeftovers());

    // The archive: stub, header, packed block; the newest file first.
    std::string stub = ReadWholeFile((ProgramDirectory() + "\\pelstub.bin").c_str());
    ASSERT_FALSE(stub.empty());
    EXPECT_EQ(stub, ReadWholeFile(dir.File("MySFX.EXE").c_str()).substr(0, stub.size()));
    SfxArchive archive;
    std::string why;
    ASSERT_TRUE(ReadSfxArchive(dir.File("MySFX.EXE").c_str(), stub.size(), &archive, &why)) << why;
    ASSERT_EQ(3u, archive.files.size());
    EXPECT_EQ("setup.ini", archive.files[0].name);
    EXPECT_EQ("manual.doc", archive.files[1].name);
    EXPECT_EQ("readme.txt", archive.files[2].name);
    EXPECT_STREQ("Velmor Documents", archive.header.appName);
    EXPECT_EQ(3u, archive.header.overwriteMode);
    EXPECT_EQ(0xFF, (uint8_t)archive.header.destination[0]);

    // And it extracts.
    std::string out = dir.File("out");
    std::string command = "\"" + dir.File("MySFX.EXE") + "\" /s \"/d:" + out + "\"";
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(UiStartProcess(command.c_str(), &pi, dir.Path().c_str()));
    UiWaitExit(&pi, 60000);
    EXPECT_EQ(ReadWholeFile(first.c_str()), ReadWholeFile((out + "\\readme.txt").c_str()));
    EXPECT_EQ(ReadWholeFile(second.c_str()), ReadWholeFile((out + "\\manual.doc").c_str()));
    EXPECT_EQ(ReadWholeFile(third.c_str()), ReadWholeFile((out + "\\setup.ini").c_str()));
}

TEST(BroltEndToEnd, CancelOnAnyPageBuildsNothing)
{
    for (int page = 0; page < 5; page++) {
        SCOPED_TRACE(kTitles[page]);
        ScratchDirectory dir;
        std::vector<std::string> tempBefore = TempLeftovers();
        BroltRun run(dir);
        ASSERT_TRUE(run.WaitPage(0));
        for (int i = 0; i < page; i++) {
            ASSERT_TRUE(run.Press(WIZ_NEXT));
            if (i == 1) {
                EXPECT_EQ("No files ? Ok... hope you know what you are doing.", run.AnswerBox());
            }
            ASSERT_TRUE(run.WaitPage(i + 1));
        }
        ASSERT_TRUE(run.Press(IDCANCEL));
        EXPECT_EQ(0u, run.WaitExit());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.File("MySFX.EXE").c_str()));
        EXPECT_EQ(tempBefore, TempLeftovers());
    }
}

TEST(BroltEndToEnd, HelpOnPage3OpensStep3OfTheHelpBesideTheProgram)
{
    ScratchDirectory dir;
    // A help file of another title in the current directory must not be the one opened.
    CopyFileA((ProgramDirectory() + "\\Brolt.chm").c_str(), dir.File("Brolt.chm").c_str(), FALSE);
    BroltRun run(dir);
    ASSERT_TRUE(run.WaitPage(0));
    run.Press(WIZ_NEXT);
    ASSERT_TRUE(run.WaitPage(1));
    run.Press(WIZ_NEXT);
    EXPECT_EQ("No files ? Ok... hope you know what you are doing.", run.AnswerBox());
    ASSERT_TRUE(run.WaitPage(2));
    ASSERT_TRUE(run.Press(WIZ_HELP));
    Sleep(4000);
    for (HWND w : UiProcessWindows(run.Pid())) {
        char cls[128] = "";
        GetClassNameA(w, cls, sizeof(cls));
        printf("window class=%s caption=%s\n", cls, UiWindowText(w).c_str());
    }
    Screenshot("help");
    run.Press(IDCANCEL);
    EXPECT_EQ(0u, run.WaitExit());
}

}  // namespace
