// StubDialogTest.cpp -- built self-extractors driven through their dialogs, as a user would.
#include <gtest/gtest.h>

#include "StubTestSupport.h"
#include "UiTest.h"

namespace {

// Ids of the stub's own dialogs.
const int kDestinationEdit = 1004;
const int kBrowse = 1005;
const int kAppNameText = 1001;
const int kYesToAll = 1021;
const int kNoToAll = 1022;

DWORD StartSfx(const std::string &sfx, const std::string &arguments, PROCESS_INFORMATION *pi)
{
    std::string line = "\"" + sfx + "\"" + (arguments.empty() ? "" : " " + arguments);
    return UiStartProcess(line.c_str(), pi) ? 1 : 0;
}

// An archive that opens with its dialog, captioned with the application's name.
TestArchive DialogArchive(const char *appName)
{
    TestArchive a;
    a.header.showDialog = 1;
    a.SetText(a.header.appName, sizeof(a.header.appName), appName);
    return a;
}

// The dialog of the process that has the control; the progress window shares the caption.
HWND WaitDialogWith(DWORD process, int id)
{
    for (DWORD waited = 0; waited < TestWaitMs(10000); waited += 100) {
        for (HWND w : UiProcessWindows(process, UI_DIALOG_CLASS)) {
            if (GetDlgItem(w, id))
                return w;
        }
        Sleep(100);
    }
    return NULL;
}

// The overwrite question for one file, answered with the given button.
void Answer(DWORD process, const char *caption, const std::string &file, int button)
{
    HWND ask = WaitDialogWith(process, 1020);
    EXPECT_EQ(caption, UiWindowText(ask));
    ASSERT_TRUE(ask != NULL) << file;
    EXPECT_EQ("The file \"" + file + "\" already exists in the destination folder.\n\nDo you want to replace it?",
              UiItemText(ask, 1020));
    UiPressButton(ask, button);
    UiWaitGone(ask, 5000);
}

}  // namespace

TEST(OpeningDialog, ShowsTheNameAndTakesAnEditedDestination)
{
    ScratchFolder work("open");
    TestArchive a = DialogArchive("Demo Tools 2");
    a.SetText(a.header.destination, sizeof(a.header.destination), work / "default");
    a.files.push_back({"tool.txt", "t"});
    ASSERT_TRUE(WriteTestSfx(work / "d.exe", a));

    UiProcess pi;
    ASSERT_TRUE(StartSfx(work / "d.exe", "", &pi));
    HWND dialog = UiWaitWindow("Demo Tools 2", pi.dwProcessId, 30000, UI_DIALOG_CLASS);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ("Demo Tools 2", UiItemText(dialog, kAppNameText));
    EXPECT_EQ(work / "default", UiItemText(dialog, kDestinationEdit));
    EXPECT_TRUE(UiItemVisible(dialog, kBrowse));
    SetDlgItemTextA(dialog, kDestinationEdit, (work / "chosen").c_str());
    UiPressButton(dialog, IDOK);

    HWND done = WaitMessageBox(pi.dwProcessId, "The files were extracted to:");
    ASSERT_TRUE(done != NULL);
    EXPECT_EQ("The files were extracted to:\n" + work / "chosen", UiMessageBoxText(done));
    UiPressButton(done, IDOK);
    EXPECT_EQ(0u, UiWaitExit(&pi, 10000));
    EXPECT_EQ("t", ReadWholeFile(work / "chosen\\tool.txt"));
    EXPECT_FALSE(FolderExists(work / "default"));
}

TEST(OpeningDialog, CancelWritesNothing)
{
    ScratchFolder work("cancel");
    TestArchive a = DialogArchive("Cancel Me");
    a.SetText(a.header.destination, sizeof(a.header.destination), work / "out");
    a.files.push_back({"x.txt", "x"});
    ASSERT_TRUE(WriteTestSfx(work / "c.exe", a));
    UiProcess pi;
    ASSERT_TRUE(StartSfx(work / "c.exe", "", &pi));
    HWND dialog = UiWaitWindow("Cancel Me", pi.dwProcessId, 30000, UI_DIALOG_CLASS);
    ASSERT_TRUE(dialog != NULL);
    UiPressButton(dialog, IDCANCEL);
    EXPECT_EQ(2u, UiWaitExit(&pi, 10000));
    EXPECT_FALSE(FolderExists(work / "out"));
}

TEST(OpeningDialog, SetupModuleOffersNoDestination)
{
    ScratchFolder work("setupdlg");
    TestArchive a = DialogArchive("Setup Demo");
    a.header.moduleType = SFX_MODULE_SETUP;
    a.files.push_back({"RecordLaunch.exe", ReadWholeFile("RecordLaunch.exe")});
    a.SetText(a.header.launchFile, sizeof(a.header.launchFile), "RecordLaunch.exe");
    ASSERT_TRUE(WriteTestSfx(work / "s.exe", a));
    LaunchRecord launch(work / "record.txt");
    UiProcess pi;
    ASSERT_TRUE(StartSfx(work / "s.exe", "", &pi));
    HWND dialog = UiWaitWindow("Setup Demo", pi.dwProcessId, 30000, UI_DIALOG_CLASS);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_FALSE(UiItemVisible(dialog, kDestinationEdit));
    EXPECT_FALSE(UiItemVisible(dialog, kBrowse));
    EXPECT_EQ("&Start", UiItemText(dialog, IDOK));
    UiPressButton(dialog, IDOK);
    EXPECT_EQ(0u, UiWaitExit(&pi, 10000));
}

TEST(OverwriteQuestion, YesNoAndTheToAllAnswers)
{
    ScratchFolder work("ask");
    std::string out = work / "out";
    CreateDirectoryA(out.c_str(), NULL);
    TestArchive a;
    a.SetText(a.header.appName, sizeof(a.header.appName), "Ask Demo");
    a.header.overwriteMode = SFX_OVERWRITE_ASK;
    const char *names[] = {"a.txt", "b.txt", "c.txt", "d.txt"};
    for (const char *n : names)
        a.files.push_back({n, "new"});
    ASSERT_TRUE(WriteTestSfx(work / "q.exe", a));

    // Yes, No, then Yes to all (d is not asked about).
    for (const char *n : names)
        WriteTextFile(out + "\\" + n, "old");
    UiProcess pi;
    ASSERT_TRUE(StartSfx(work / "q.exe", "/d:" + out, &pi));
    Answer(pi.dwProcessId, "Ask Demo", "a.txt", IDYES);
    Answer(pi.dwProcessId, "Ask Demo", "b.txt", IDNO);
    Answer(pi.dwProcessId, "Ask Demo", "c.txt", kYesToAll);
    EXPECT_EQ(0u, UiWaitExit(&pi, 10000));
    EXPECT_EQ("new", ReadWholeFile(out + "\\a.txt"));
    EXPECT_EQ("old", ReadWholeFile(out + "\\b.txt"));
    EXPECT_EQ("new", ReadWholeFile(out + "\\c.txt"));
    EXPECT_EQ("new", ReadWholeFile(out + "\\d.txt"));

    // No to all at once; a file that did not exist is written without asking.
    for (const char *n : names)
        WriteTextFile(out + "\\" + n, "old");
    DeleteFileA((out + "\\c.txt").c_str());
    ASSERT_TRUE(StartSfx(work / "q.exe", "/d:" + out, &pi));
    Answer(pi.dwProcessId, "Ask Demo", "a.txt", kNoToAll);
    EXPECT_EQ(0u, UiWaitExit(&pi, 10000));
    EXPECT_EQ("old", ReadWholeFile(out + "\\a.txt"));
    EXPECT_EQ("old", ReadWholeFile(out + "\\b.txt"));
    EXPECT_EQ("new", ReadWholeFile(out + "\\c.txt"));
    EXPECT_EQ("old", ReadWholeFile(out + "\\d.txt"));
}

// The new folder offered for a temporary destination is made new when Start is
// pressed: a folder that has taken its name since is not written through.
TEST(OpeningDialog, TheOfferedNewFolderIsNeverAFolderThatTookItsName)
{
    ScratchFolder work("fresh");
    TestArchive a = DialogArchive("Fresh Demo");
    a.files.push_back({"fresh.txt", "f"});
    ASSERT_TRUE(WriteTestSfx(work / "f.exe", a));

    UiProcess pi;
    ASSERT_TRUE(StartSfx(work / "f.exe", "", &pi));
    HWND dialog = WaitDialogWith(pi.dwProcessId, kDestinationEdit);
    ASSERT_TRUE(dialog != NULL);
    std::string offered = UiItemText(dialog, kDestinationEdit);
    ASSERT_EQ(0u, offered.find(TempFolder() + "\\ZXS")) << offered;
    ASSERT_TRUE(CreateDirectoryA(offered.c_str(), NULL));
    UiPressButton(dialog, IDOK);
    HWND box = WaitMessageBox(pi.dwProcessId, "The destination folder could not be made as a new folder:");
    EXPECT_TRUE(box != NULL);
    UiPressButton(box, IDOK);
    EXPECT_EQ(3u, UiWaitExit(&pi, 10000));
    EXPECT_TRUE(FolderNames(offered).empty());
    DeleteTree(offered);
}
