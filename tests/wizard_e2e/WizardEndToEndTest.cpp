// WizardEndToEndTest.cpp -- drives the real Brolt.exe through its wizard: a whole build that is
// then checked and extracted, Cancel on every page, Help from another directory, the self-check.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "SfxArchive.h"
#include "SystemTest.h"
#include "UiTest.h"
#include "WizardHarness.h"
#include "WizardSheet.h"
#include "resource.h"

namespace {

const char kCaption[] = "Zendrix SFX Creator V1.92";
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
    // extraEnv: "NAME=value" added to the environment; stderrPath: where the
    // program's standard error goes (Wine writes its debug channels there).
    explicit BroltRun(const ScratchDirectory &dir, const char *program = NULL, const char *extraEnv = NULL,
                      const char *stderrPath = NULL)
        : dir_(dir)
    {
        CopyFileA((ProgramDirectory() + "\\pelstub.bin").c_str(), dir.File("pelstub.bin").c_str(), FALSE);
        std::string command = "\"" + (program ? std::string(program) : ProgramDirectory() + "\\Brolt.exe") + "\"";
        if (!extraEnv && !stderrPath) {
            started_ = UiStartProcess(command.c_str(), &pi_, dir.Path().c_str());
            return;
        }
        std::string env = extraEnv ? std::string(extraEnv) + '\0' : std::string();
        char *block = GetEnvironmentStringsA();
        // Without the variable's old value: of two, the system keeps the later one.
        std::string name = extraEnv ? std::string(extraEnv, (size_t)(strchr(extraEnv, '=') + 1 - extraEnv)) : std::string("\1");
        for (const char *p = block; *p; p += strlen(p) + 1)
            if (_strnicmp(p, name.c_str(), name.size()) != 0)
                env += std::string(p) + '\0';
        FreeEnvironmentStringsA(block);
        env += '\0';

        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
        HANDLE err = CreateFileA(stderrPath ? stderrPath : "NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = err;
        si.hStdError = err;
        started_ = CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, &env[0], dir.Path().c_str(), &si, &pi_) != 0;
        CloseHandle(err);
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
        HWND sheet = UiWaitWindow(kWizardTitles[index], pi_.dwProcessId, kWait, UI_DIALOG_CLASS);
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
    // "Browse" names the output through a save-as dialog that adds ".exe".
    ASSERT_TRUE(run.PressOnPage(IDC_STEP5_BROWSE));
    HWND save = UiWaitWindow("Save SFX module as...", run.Pid(), kWait, UI_DIALOG_CLASS);
    ASSERT_TRUE(save != NULL);
    Sleep(300);
    HWND name = GetDlgItem(save, 0x47C) ? GetDlgItem(save, 0x47C) : GetDlgItem(save, 0x480);
    SendMessageA(name, WM_SETTEXT, 0, (LPARAM)dir.File("Velmor").c_str());
    UiPressButton(save, IDOK);
    ASSERT_TRUE(UiWaitGone(save, kWait));
    EXPECT_EQ(dir.File("Velmor.exe"), UiItemText(run.Page(), IDC_STEP5_OUTPUTFILE));
    ASSERT_TRUE(run.Press(WIZ_NEXT));  // builds, then test-runs the new file
    ASSERT_TRUE(run.WaitPage(5));

    DWORD sfxPid = 0;
    for (int i = 0; i < 100 && !ProcessRunning("Velmor.exe", &sfxPid); i++)
        Sleep(100);
    EXPECT_NE(0u, sfxPid) << "the test run did not start the new file";
    if (sfxPid) {
        HANDLE sfx = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, sfxPid);
        TerminateProcess(sfx, 0);
        WaitForSingleObject(sfx, kWait);
        CloseHandle(sfx);
    }
    Screenshot("step6");

    ASSERT_TRUE(run.Press(WIZ_FINISH));
    EXPECT_EQ(0u, run.WaitExit());
    EXPECT_EQ(tempBefore, TempLeftovers());

    // The archive: stub, header, packed block; the newest file first.
    std::string stub = ReadWholeFile((ProgramDirectory() + "\\pelstub.bin").c_str());
    ASSERT_FALSE(stub.empty());
    EXPECT_EQ(stub, ReadWholeFile(dir.File("Velmor.exe").c_str()).substr(0, stub.size()));
    SfxArchive archive;
    std::string why;
    ASSERT_TRUE(TakeApartSfx(ReadWholeFile(dir.File("Velmor.exe")), stub.size(), &archive, &why)) << why;
    ASSERT_EQ(3u, archive.files.size());
    EXPECT_EQ("setup.ini", archive.files[0].name);
    EXPECT_EQ("manual.doc", archive.files[1].name);
    EXPECT_EQ("readme.txt", archive.files[2].name);
    EXPECT_STREQ("Velmor Documents", archive.header.appName);
    EXPECT_EQ(3u, archive.header.overwriteMode);
    EXPECT_EQ(0xFF, (uint8_t)archive.header.destination[0]);

    // And it extracts.
    std::string out = dir.File("out");
    std::string command = "\"" + dir.File("Velmor.exe") + "\" /s \"/d:" + out + "\"";
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
        SCOPED_TRACE(kWizardTitles[page]);
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

// Each refusal of the build as the wizard shows it: a message that says why, the
// output page kept, nothing written. Brolt runs as a copy beside its own stub
// and compressor in the scratch folder, so that a guard that fails harms only copies.
TEST(BroltEndToEnd, ARefusedBuildSaysWhyAndWritesNothing)
{
    struct Case {
        const char *what;
        bool setup;
        std::vector<const char *> files;  // added through the file dialog, in order
        const char *gone;                 // deleted just before the build
        const char *launch;
        const char *output;
        const char *says;
    } cases[] = {
        {"a setup module with no program", true, {"kept.txt"}, NULL, "", "Out.exe",
         "A Setup SFX Module needs a file to launch after extraction"},
        {"a launch file that climbs out", false, {"kept.txt"}, NULL, "..\\kept.txt", "Out.exe",
         "\"..\\kept.txt\" lies outside the folder the files are extracted to"},
        {"two files with one name", false, {"a\\same.txt", "b\\SAME.TXT"}, NULL, "", "Out.exe",
         "same.txt\" has the same name as another file of the list"},
        {"a file that can no longer be read", false, {"kept.txt", "gone.txt"}, "gone.txt", "", "Out.exe",
         "gone.txt\" can't be read"},
        {"the stub by another name", false, {"kept.txt"}, NULL, "", "stub-link.exe",
         "stub-link.exe\" is a file this build reads or runs"},
        // The rows of the settings-file builders' table that a wizard can be given.
        {"an output with a dot at its end", false, {"kept.txt"}, NULL, "", "Out.exe.",
         "\"Out.exe.\" is not a name Windows gives a file"},
        {"an output that is a device", false, {"kept.txt"}, NULL, "", "con.exe", "\"con.exe\" is not a name Windows"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDirectory dir;
        std::string copy = dir.File("Brolt.exe");
        for (const char *name : {"Brolt.exe", "KANTOR.EXE"})
            ASSERT_TRUE(CopyFileA((ProgramDirectory() + "\\" + name).c_str(), dir.File(name).c_str(), FALSE));
        for (const char *folder : {"a", "b"})
            CreateDirectoryA(dir.File(folder).c_str(), NULL);
        for (const char *name : {"kept.txt", "gone.txt", "a\\same.txt", "b\\SAME.TXT"})
            dir.MakeFile(name, 100, 'f');
        BroltRun run(dir, copy.c_str());
        std::string stub = ReadWholeFile(dir.File("pelstub.bin"));
        ASSERT_TRUE(CreateHardLinkA(dir.File("stub-link.exe").c_str(), dir.File("pelstub.bin").c_str(), NULL));

        ASSERT_TRUE(run.WaitPage(0));
        if (c.setup) {
            ASSERT_TRUE(run.PressOnPage(IDC_STEP1_SETUP));
        }
        ASSERT_TRUE(run.Press(WIZ_NEXT));
        ASSERT_TRUE(run.WaitPage(1));
        for (const char *name : c.files)
            ASSERT_TRUE(AddThroughFileDialog(run, dir.File(name))) << name;
        for (int page = 2; page <= 3; page++) {
            ASSERT_TRUE(run.Press(WIZ_NEXT));
            ASSERT_TRUE(run.WaitPage(page));
        }
        SetDlgItemTextA(run.Page(), IDC_STEP4_LAUNCHFILE, c.launch);
        ASSERT_TRUE(run.Press(WIZ_NEXT));
        ASSERT_TRUE(run.WaitPage(4));
        SetDlgItemTextA(run.Page(), IDC_STEP5_OUTPUTFILE, c.output);
        if (c.gone)  // after page 2, which looks at the files once more when it is left
            DeleteFileA(dir.File(c.gone).c_str());
        ASSERT_TRUE(run.Press(WIZ_NEXT));
        std::string said = run.AnswerBox();
        EXPECT_NE(std::string::npos, said.find(c.says)) << said;
        EXPECT_TRUE(run.WaitPage(4));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.File("Out.exe").c_str()));
        EXPECT_TRUE(stub == ReadWholeFile(dir.File("pelstub.bin"))) << "the stub was overwritten";
        run.Press(IDCANCEL);
        EXPECT_EQ(0u, run.WaitExit());
    }
}

BOOL CALLBACK FindTree(HWND child, LPARAM found)
{
    char cls[64] = "";
    GetClassNameA(child, cls, sizeof(cls));
    if (lstrcmpiA(cls, WC_TREEVIEWA) != 0)
        return TRUE;
    *(HWND *)found = child;
    return FALSE;
}

// Starts Brolt and brings it to page 3, answering the empty-list warning.
void GoToPage3(BroltRun &run)
{
    ASSERT_TRUE(run.WaitPage(0));
    run.Press(WIZ_NEXT);
    ASSERT_TRUE(run.WaitPage(1));
    run.Press(WIZ_NEXT);
    EXPECT_EQ("No files ? Ok... hope you know what you are doing.", run.AnswerBox());
    ASSERT_TRUE(run.WaitPage(2));
}

TEST(BroltEndToEnd, HelpOnPage3OpensStep3OfTheHelpBesideTheProgram)
{
    ScratchDirectory dir;
    // The current directory holds a help file of the same name but another title.
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + "\\decoy\\Brolt.chm").c_str(), dir.File("Brolt.chm").c_str(), FALSE));
    BroltRun run(dir);
    GoToPage3(run);
    ASSERT_TRUE(run.Press(WIZ_HELP));

    // The help window takes its caption from the title inside the file it opened.
    HWND help = UiWaitWindow("Zendrix SFX Creator Help", run.Pid(), kWait, "HH Parent");
    ASSERT_TRUE(help != NULL);
    EXPECT_TRUE(UiProcessWindows(run.Pid(), "HH Parent").size() == 1);
    // Its contents pane lists the six topics of the program's help file, not
    // the decoy's one. (Which topic shows can't be seen under Wine without its
    // HTML engine; the page tests check the exact path handed to HTML Help.)
    HWND tree = NULL;
    for (int i = 0; i < 50 && !tree; i++, Sleep(100))
        EnumChildWindows(help, FindTree, (LPARAM)&tree);
    ASSERT_TRUE(tree != NULL);
    EXPECT_EQ(6, (int)SendMessageA(tree, TVM_GETCOUNT, 0, 0));
    Screenshot("help");

    PostMessageA(help, WM_CLOSE, 0, 0);
    run.Press(IDCANCEL);
    EXPECT_EQ(0u, run.WaitExit());
}

TEST(BroltEndToEnd, WithoutHtmlHelpTheHelpButtonDoesNothingAndTheWizardGoesOn)
{
    ScratchDirectory dir;
    // A copy under a name of its own, for which Wine is told not to load the
    // HTML Help control, by path or by name.
    std::string copy = dir.File("BroltNoHelp.exe");
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + "\\Brolt.exe").c_str(), copy.c_str(), FALSE));
    CopyFileA((ProgramDirectory() + "\\Brolt.chm").c_str(), dir.File("Brolt.chm").c_str(), FALSE);
    const char *key = "Software\\Wine\\AppDefaults\\BroltNoHelp.exe\\DllOverrides";
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, key, "hhctrl.ocx", ""));

    BroltRun run(dir, copy.c_str());
    GoToPage3(run);
    ASSERT_TRUE(run.Press(WIZ_HELP));
    Sleep(2000);
    ASSERT_TRUE(run.Press(WIZ_HELP));  // a second press tries nothing new either
    Sleep(1000);
    EXPECT_TRUE(UiProcessWindows(run.Pid(), "HH Parent").empty());
    EXPECT_TRUE(UiFindWindow(kCaption, run.Pid(), UI_DIALOG_CLASS) == NULL);
    ASSERT_TRUE(run.Press(WIZ_NEXT));
    EXPECT_TRUE(run.WaitPage(3));
    run.Press(IDCANCEL);
    EXPECT_EQ(0u, run.WaitExit());
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

TEST(BroltEndToEnd, ADamagedCopyAlertsAndEndsBeforeAnyWindow)
{
    ScratchDirectory dir;
    std::string image = ReadWholeFile((ProgramDirectory() + "\\Brolt.exe").c_str());
    ASSERT_FALSE(image.empty());
    image[image.size() - 1] ^= 0x5A;  // trailing bytes are never run, so only the check can notice
    std::string copy = dir.File("Brolt.exe");
    ASSERT_TRUE(WriteTextFile(copy.c_str(), image));

    BroltRun run(dir, copy.c_str());
    ASSERT_TRUE(run.Started());
    HWND box = UiWaitWindow(kCaption, run.Pid(), kWait, UI_DIALOG_CLASS);
    ASSERT_TRUE(box != NULL);
    EXPECT_EQ("The program file Brolt.exe is corrupt and can't be run.\nPlease install it again.",
              UiMessageBoxText(box));
    EXPECT_TRUE(UiFindWindow(kWizardTitles[0], run.Pid(), UI_DIALOG_CLASS) == NULL);
    UiPressButton(box, IDOK);
    EXPECT_EQ((DWORD)-1, run.WaitExit());
}

}  // namespace
