// WizardPagesTest.cpp -- Brolt's six wizard pages driven in-process: what each page shows,
// what reaches the settings on Next, and what the build then stores.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "HelpTopic.h"
#include "ImageChecksum.h"
#include "SfxArchive.h"
#include "SystemTest.h"
#include "SfxSettings.h"
#include "Wizard.h"
#include "WizardHarness.h"
#include "WizardPages.h"
#include "WizardSheet.h"
#include "resource.h"

namespace {

const char kSetupNotice[] = "> Not available for this SFX Type / Temp-directory will be used <";
const char kBuildFailed[] = "The SFX creation failed. Please check your settings and the available disk space";
const char kNoFiles[] = "No files ? Ok... hope you know what you are doing.";

enum { PAGE1, PAGE2, PAGE3, PAGE4, PAGE5, PAGE6 };

class WizardPages : public ::testing::Test {
protected:
    ScratchDirectory scratch;
    MessageBoxWatcher boxes;
    WizardUnderTest wiz;

    void AddFiles(const std::vector<std::string> &paths)
    {
        for (const std::string &p : paths)
            AddFileToList(wiz.Page(), p.c_str());
    }

    // Next on page 5 without the test run, which would start the new file.
    void BuildOnPage5()
    {
        ASSERT_EQ(PAGE5, wiz.PageIndex());
        if (wiz.Checked(IDC_STEP5_TESTRUN))
            wiz.Click(IDC_STEP5_TESTRUN);
        wiz.Next();
    }

    SfxArchive ReadOutput()
    {
        SfxArchive archive;
        std::string why;
        // The build takes the stub beside the program, here the test's own.
        size_t stubSize = ReadWholeFile(ProgramDirectory() + "\\pelstub.bin").size();
        EXPECT_TRUE(TakeApartSfx(ReadWholeFile(scratch.File("MySFX.EXE")), stubSize, &archive, &why)) << why;
        return archive;
    }

    static std::vector<std::string> Names(const SfxArchive &archive)
    {
        std::vector<std::string> names;
        for (const ArchivedFile &f : archive.files)
            names.push_back(f.name);
        return names;
    }
};

TEST(SizeText, DecimalUnitsTruncated)
{
    struct {
        unsigned long long size;
        const char *text;
    } cases[] = {{0, "0 Bytes"},          {999, "999 Bytes"},       {1000, "1 KBytes"},
                 {999999, "999 KBytes"},  {1000000, "1 MBytes"},    {1500000, "1 MBytes"},
                 {5000000000ULL, "5000 MBytes"}};
    for (const auto &c : cases) {
        char text[32];
        FormatSizeText(c.size, text, sizeof(text));
        EXPECT_STREQ(c.text, text) << c.size;
    }
}

TEST_F(WizardPages, EachPageHasItsTitleButtonsAndHelp)
{
    for (int page = PAGE1; page <= PAGE6; page++) {
        ASSERT_EQ(page, wiz.PageIndex());
        char caption[200] = "";
        GetWindowTextA(wiz.Sheet(), caption, sizeof(caption));
        EXPECT_STREQ(kWizardTitles[page], caption);
        EXPECT_EQ(page != PAGE1, wiz.WizardButtonEnabled(WIZ_BACK)) << page;
        EXPECT_EQ(page != PAGE6, wiz.WizardButtonEnabled(WIZ_NEXT)) << page;
        EXPECT_EQ(page == PAGE6, wiz.WizardButtonEnabled(WIZ_FINISH)) << page;
        EXPECT_TRUE(wiz.WizardButtonEnabled(WIZ_HELP)) << page;
        EXPECT_TRUE(wiz.WizardButtonEnabled(IDCANCEL)) << page;
        if (page == PAGE5)
            BuildOnPage5();
        else if (page != PAGE6)
            wiz.Next();
    }
    // Page 2 was left empty; that is allowed after a warning.
    EXPECT_EQ(std::vector<std::string>{kNoFiles}, boxes.Texts());
}

TEST_F(WizardPages, Page1ChoosesTheModuleTypeAndCentresTheWizard)
{
    EXPECT_TRUE(wiz.Checked(IDC_STEP1_STANDARD));
    EXPECT_FALSE(wiz.Checked(IDC_STEP1_SETUP));

    RECT rc;
    GetWindowRect(wiz.Sheet(), &rc);
    int width = rc.right - rc.left, height = rc.bottom - rc.top;
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2, rc.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2, rc.top);

    wiz.Click(IDC_STEP1_SETUP);
    EXPECT_FALSE(wiz.Checked(IDC_STEP1_STANDARD));  // one group
    wiz.Next();
    EXPECT_EQ(1, SfxSettings.moduleType);

    wiz.Back();
    wiz.Click(IDC_STEP1_STANDARD);
    wiz.Next();
    EXPECT_EQ(0, SfxSettings.moduleType);
}

TEST_F(WizardPages, Page2ShowsSizeTextsOfAddedFiles)
{
    wiz.GoTo(PAGE2);
    AddFiles({scratch.MakeFile("a", 999), scratch.MakeFile("b", 1000), scratch.MakeFile("c", 999999),
              scratch.MakeFile("d", 1000000), scratch.MakeFile("e", 1500000)});
    EXPECT_EQ((std::vector<std::string>{"1 MBytes", "1 MBytes", "999 KBytes", "1 KBytes", "999 Bytes"}),
              wiz.ListSizes());
    EXPECT_FALSE(wiz.Enabled(IDC_STEP2_REMOVE) && wiz.ListNames().empty());
}

TEST_F(WizardPages, Page2ListsNewestFirstAndTheArchiveKeepsThatOrder)
{
    wiz.GoTo(PAGE2);
    std::string first = scratch.MakeFile("first.txt", 10, '1');
    std::string second = scratch.MakeFile("second.txt", 20, '2');
    std::string third = scratch.MakeFile("third.txt", 0);
    AddFiles({first, second, third});
    EXPECT_EQ((std::vector<std::string>{third, second, first}), wiz.ListNames());

    wiz.Next();
    EXPECT_STREQ(third.c_str(), SfxSettings.files[0]);
    EXPECT_STREQ(first.c_str(), SfxSettings.files[2]);
    EXPECT_STREQ("", SfxSettings.files[3]);

    wiz.GoTo(PAGE5);
    BuildOnPage5();
    ASSERT_EQ(PAGE6, wiz.PageIndex());
    SfxArchive archive = ReadOutput();
    EXPECT_EQ((std::vector<std::string>{"third.txt", "second.txt", "first.txt"}), Names(archive));
    if (archive.files.size() == 3) {
        EXPECT_EQ("", archive.files[0].contents);
        EXPECT_EQ(std::string(10, '1'), archive.files[2].contents);
    }
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(WizardPages, Page2TakesTheTopHundredOf101Files)
{
    wiz.GoTo(PAGE2);
    for (int i = 1; i <= 101; i++) {
        char name[32];
        snprintf(name, sizeof(name), "f%03d.dat", i);
        AddFiles({scratch.MakeFile(name, (size_t)i)});
    }
    ASSERT_EQ(101u, wiz.ListNames().size());
    wiz.Next();
    EXPECT_EQ(scratch.File("f101.dat"), SfxSettings.files[0]);
    EXPECT_EQ(scratch.File("f002.dat"), SfxSettings.files[99]);

    wiz.GoTo(PAGE5);
    BuildOnPage5();
    SfxArchive archive = ReadOutput();
    std::vector<std::string> names = Names(archive);
    ASSERT_EQ(100u, names.size());
    EXPECT_EQ("f101.dat", names.front());
    EXPECT_EQ("f002.dat", names.back());
    EXPECT_TRUE(boxes.Texts().empty());  // left out without a message
}

TEST_F(WizardPages, Page2RefusesADroppedFolderAndAddsTheDocuments)
{
    wiz.GoTo(PAGE2);
    std::string folder = scratch.File("folder");
    CreateDirectoryA(folder.c_str(), NULL);
    std::string doc1 = scratch.MakeFile("one.doc", 5);
    std::string doc2 = scratch.MakeFile("two.doc", 6);
    std::string tooLong = scratch.Path() + "\\" + std::string(300 - scratch.Path().size(), 'x');
    DropFiles(wiz.Page(), {folder, doc1, tooLong, doc2});
    wiz.Pump();

    EXPECT_EQ(std::vector<std::string>{"Unable to open file:\n" + folder +
                                       "\n(You can only drop files, not directories !)"},
              boxes.Texts());
    EXPECT_EQ((std::vector<std::string>{doc2, doc1}), wiz.ListNames());
}

// The list may name one file twice; the build refuses to store two files under one name.
TEST_F(WizardPages, Page2ListsTheSameFileTwiceAndTheBuildRefusesIt)
{
    wiz.GoTo(PAGE2);
    std::string doc = scratch.MakeFile("twice.txt", 7, 't');
    AddFiles({doc, doc});
    EXPECT_EQ((std::vector<std::string>{doc, doc}), wiz.ListNames());
    wiz.GoTo(PAGE5);
    boxes.Clear();
    BuildOnPage5();
    EXPECT_EQ(PAGE5, wiz.PageIndex());
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_NE(std::string::npos, boxes.Texts()[0].find("has the same name as another file")) << boxes.Texts()[0];
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(scratch.File("MySFX.EXE").c_str()));
}

TEST_F(WizardPages, Page2WarnsAboutAnEmptyListAndMovesOn)
{
    wiz.GoTo(PAGE2);
    strcpy(SfxSettings.files[0], "left over");
    wiz.Next();
    EXPECT_EQ(PAGE3, wiz.PageIndex());
    EXPECT_EQ(std::vector<std::string>{kNoFiles}, boxes.Texts());
    EXPECT_STREQ("", SfxSettings.files[0]);
}

TEST_F(WizardPages, Page2RemovesTheSelectedFile)
{
    wiz.GoTo(PAGE2);
    EXPECT_FALSE(wiz.Enabled(IDC_STEP2_REMOVE));
    std::string a = scratch.MakeFile("a.txt", 1), b = scratch.MakeFile("b.txt", 1), c = scratch.MakeFile("c.txt", 1);
    AddFiles({a, b});
    HWND list = GetDlgItem(wiz.Page(), IDC_STEP2_LIST);
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 1, (LPARAM)&state);  // a.txt
    wiz.Pump();
    EXPECT_TRUE(wiz.Enabled(IDC_STEP2_REMOVE));

    // A file added afterwards goes on top and moves a.txt down; Remove must
    // still take the file the user selected.
    AddFiles({c});
    wiz.Click(IDC_STEP2_REMOVE);
    EXPECT_EQ((std::vector<std::string>{c, b}), wiz.ListNames());
    EXPECT_FALSE(wiz.Enabled(IDC_STEP2_REMOVE));
}

TEST_F(WizardPages, Page3SetupTypeForcesTheTemporaryDirectory)
{
    wiz.GoTo(PAGE2);
    AddFiles({scratch.MakeFile("setup.exe", 3)});
    wiz.GoTo(PAGE3);
    // Save a custom directory first, under the standard type.
    wiz.Click(IDC_STEP3_DESTCUSTOM);
    EXPECT_TRUE(wiz.Enabled(IDC_STEP3_CUSTOMDIR));
    EXPECT_TRUE(wiz.Enabled(IDC_STEP3_PROGRAMFILES));
    wiz.SetText(IDC_STEP3_CUSTOMDIR, "Velmor\\Tools");
    wiz.Next();
    EXPECT_STREQ("Velmor\\Tools", SfxSettings.customDest);
    EXPECT_EQ(2, SfxSettings.destKind);

    // Now the setup type.
    wiz.Back();
    wiz.Back();
    wiz.Back();
    ASSERT_EQ(PAGE1, wiz.PageIndex());
    wiz.Click(IDC_STEP1_SETUP);
    wiz.GoTo(PAGE3);
    for (int id : {IDC_STEP3_DESTTEMP, IDC_STEP3_DESTCURRENT, IDC_STEP3_DESTCUSTOM, IDC_STEP3_CUSTOMDIR,
                   IDC_STEP3_PROGRAMFILES})
        EXPECT_FALSE(wiz.Enabled(id)) << id;
    EXPECT_EQ(kSetupNotice, wiz.Text(IDC_STEP3_CUSTOMDIR));
    EXPECT_TRUE(wiz.Checked(IDC_STEP3_DESTTEMP));
    EXPECT_FALSE(wiz.Checked(IDC_STEP3_DESTCUSTOM));
    wiz.Next();
    EXPECT_EQ(0, SfxSettings.destKind);
    EXPECT_STREQ("Velmor\\Tools", SfxSettings.customDest);  // the notice is not saved

    wiz.GoTo(PAGE4);
    wiz.SetText(IDC_STEP4_LAUNCHFILE, "setup.exe");  // a setup module runs a program
    wiz.GoTo(PAGE5);
    BuildOnPage5();
    SfxArchive archive = ReadOutput();
    EXPECT_EQ(1u, archive.header.moduleType);
    EXPECT_EQ(0, archive.header.destination[0]);
    EXPECT_EQ(0u, archive.header.addProgramFiles);

    // Back to the standard type: the saved custom text comes back.
    while (wiz.PageIndex() > PAGE1)
        wiz.Back();
    wiz.Click(IDC_STEP1_STANDARD);
    wiz.GoTo(PAGE3);
    EXPECT_EQ("Velmor\\Tools", wiz.Text(IDC_STEP3_CUSTOMDIR));
    EXPECT_TRUE(wiz.Enabled(IDC_STEP3_DESTCURRENT));
    wiz.Click(IDC_STEP3_DESTCUSTOM);
    EXPECT_TRUE(wiz.Enabled(IDC_STEP3_CUSTOMDIR));
}

TEST_F(WizardPages, Page3AutomaticExtractionDisablesTheName)
{
    wiz.GoTo(PAGE3);
    EXPECT_EQ("My Application", wiz.Text(IDC_STEP3_APPNAME));
    EXPECT_TRUE(wiz.Checked(IDC_STEP3_DESTCURRENT));
    EXPECT_EQ("My Destination Directory", wiz.Text(IDC_STEP3_CUSTOMDIR));
    EXPECT_FALSE(wiz.Enabled(IDC_STEP3_CUSTOMDIR));
    EXPECT_TRUE(wiz.Enabled(IDC_STEP3_APPNAME));

    wiz.Click(IDC_STEP3_AUTOEXTRACT);
    EXPECT_FALSE(wiz.Enabled(IDC_STEP3_APPNAME));
    wiz.Next();
    EXPECT_EQ(0, SfxSettings.showDialog);

    // Coming back, the saved choice is shown and the name stays disabled.
    wiz.Back();
    EXPECT_TRUE(wiz.Checked(IDC_STEP3_AUTOEXTRACT));
    EXPECT_FALSE(wiz.Enabled(IDC_STEP3_APPNAME));
    wiz.Click(IDC_STEP3_AUTOEXTRACT);
    EXPECT_TRUE(wiz.Enabled(IDC_STEP3_APPNAME));
}

TEST_F(WizardPages, Page3BackStoresNothingAndActivationPutsTheSettingsBack)
{
    wiz.GoTo(PAGE3);
    wiz.SetText(IDC_STEP3_APPNAME, "Unsaved");
    wiz.Click(IDC_STEP3_AUTOEXTRACT);
    wiz.Click(IDC_STEP3_DESTTEMP);
    wiz.Back();
    EXPECT_STREQ("My Application", SfxSettings.appName);
    EXPECT_EQ(1, SfxSettings.showDialog);
    wiz.Next();
    ASSERT_EQ(PAGE3, wiz.PageIndex());
    EXPECT_EQ("My Application", wiz.Text(IDC_STEP3_APPNAME));
    EXPECT_FALSE(wiz.Checked(IDC_STEP3_AUTOEXTRACT));
    EXPECT_TRUE(wiz.Enabled(IDC_STEP3_APPNAME));
    EXPECT_TRUE(wiz.Checked(IDC_STEP3_DESTCURRENT));
    EXPECT_FALSE(wiz.Checked(IDC_STEP3_DESTTEMP));
}

TEST_F(WizardPages, EverySettingReachesTheArchiveHeader)
{
    wiz.GoTo(PAGE2);
    AddFiles({scratch.MakeFile("setup.exe", 100)});
    wiz.GoTo(PAGE3);
    wiz.SetText(IDC_STEP3_APPNAME, "Velmor Tools 2");
    wiz.Click(IDC_STEP3_DESTCUSTOM);
    wiz.SetText(IDC_STEP3_CUSTOMDIR, "Velmor\\Tools");
    wiz.Click(IDC_STEP3_PROGRAMFILES);
    wiz.Next();
    EXPECT_EQ("", wiz.Text(IDC_STEP4_LAUNCHFILE));
    wiz.SetText(IDC_STEP4_LAUNCHFILE, "setup.exe");
    wiz.SetText(IDC_STEP4_COMMANDLINE, "/quiet /log");
    wiz.Next();
    EXPECT_EQ("MySFX.EXE", wiz.Text(IDC_STEP5_OUTPUTFILE));
    EXPECT_TRUE(wiz.Checked(IDC_STEP5_TESTRUN));
    EXPECT_TRUE(wiz.Checked(IDC_STEP5_CONFIRM));
    EXPECT_TRUE(wiz.Enabled(IDC_STEP5_BROWSE));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wiz.Page(), IDC_STEP5_EXPLORER)));
    wiz.Click(IDC_STEP5_OVERWRITENONE);
    BuildOnPage5();
    ASSERT_EQ(PAGE6, wiz.PageIndex());
    EXPECT_EQ(0, SfxSettings.testRun);
    EXPECT_EQ(2, SfxSettings.overwriteMode);

    SfxHeader h = ReadOutput().header;
    EXPECT_STREQ("Velmor Tools 2", h.appName);
    EXPECT_EQ(1u, h.showDialog);
    EXPECT_STREQ("Velmor\\Tools", h.destination);
    EXPECT_EQ(1u, h.addProgramFiles);
    EXPECT_STREQ("setup.exe", h.launchFile);
    EXPECT_STREQ("/quiet /log", h.commandLine);
    EXPECT_EQ(0u, h.moduleType);
    EXPECT_EQ(2u, h.overwriteMode);
}

TEST_F(WizardPages, Page5FailedBuildStaysAndNextRetries)
{
    wiz.GoTo(PAGE5);
    boxes.Clear();  // the empty file list's warning
    // An output in a folder that does not exist: the build can't succeed.
    wiz.SetText(IDC_STEP5_OUTPUTFILE, "missing\\MySFX.EXE");
    BuildOnPage5();
    EXPECT_EQ(PAGE5, wiz.PageIndex());
    EXPECT_EQ(std::vector<std::string>{kBuildFailed}, boxes.Texts());

    // A name the settings can't hold can't be typed in the first place.
    EXPECT_EQ(79, (int)SendDlgItemMessageA(wiz.Page(), IDC_STEP5_OUTPUTFILE, EM_GETLIMITTEXT, 0, 0));

    wiz.SetText(IDC_STEP5_OUTPUTFILE, "MySFX.EXE");
    boxes.Clear();
    wiz.Next();
    EXPECT_EQ(PAGE6, wiz.PageIndex());
    EXPECT_TRUE(boxes.Texts().empty());
    ReadOutput();
}

// An output named like a listed file would replace it with the archive of itself.
TEST_F(WizardPages, Page5RefusesAnOutputThatIsAListedFile)
{
    wiz.GoTo(PAGE2);
    std::string doc = scratch.MakeFile("keep.txt", 4, 'k');
    AddFiles({doc});
    wiz.GoTo(PAGE5);
    boxes.Clear();
    wiz.SetText(IDC_STEP5_OUTPUTFILE, "KEEP.TXT");
    BuildOnPage5();
    EXPECT_EQ(PAGE5, wiz.PageIndex());
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_NE(std::string::npos, boxes.Texts()[0].find("is a file this build reads or runs")) << boxes.Texts()[0];
    EXPECT_EQ("kkkk", ReadWholeFile(doc.c_str()));
}

TEST_F(WizardPages, BackFromPage6AndNextBuildAgain)
{
    wiz.GoTo(PAGE2);
    AddFiles({scratch.MakeFile("one.txt", 4, '1')});
    wiz.GoTo(PAGE5);
    BuildOnPage5();
    ASSERT_EQ(PAGE6, wiz.PageIndex());
    std::string output = scratch.File("MySFX.EXE");
    ASSERT_TRUE(WriteTextFile(output.c_str(), "stale"));

    wiz.Back();
    ASSERT_EQ(PAGE5, wiz.PageIndex());
    wiz.Next();
    EXPECT_EQ(PAGE6, wiz.PageIndex());
    EXPECT_EQ(std::vector<std::string>{"one.txt"}, Names(ReadOutput()));
}

TEST(HelpTopic, PathIsBesideTheProgramWhateverTheCurrentDirectory)
{
    ScratchDirectory elsewhere;  // becomes the current directory
    char path[MAX_PATH + 32];
    ASSERT_TRUE(MakeHelpTopicPath("Step3.htm", path, sizeof(path)));
    EXPECT_EQ(ProgramDirectory() + "\\Brolt.chm::/Step3.htm", path);
    EXPECT_FALSE(MakeHelpTopicPath("Step3.htm", path, 10));
}

TEST(SelfCheck, AcceptsTheStampedProgramAndRefusesDamagedCopies)
{
    std::string program = ProgramDirectory() + "\\Brolt.exe";
    ASSERT_TRUE(VerifyExecutableFile(program.c_str()));

    ScratchDirectory scratch;
    std::string image = ReadWholeFile(program.c_str());
    ASSERT_GT(image.size(), 4096u);

    std::string flipped = image;
    flipped[flipped.size() / 2] ^= 0x20;
    WriteTextFile(scratch.File("flipped.exe").c_str(), flipped);
    EXPECT_FALSE(VerifyExecutableFile(scratch.File("flipped.exe").c_str()));

    std::string truncated = image.substr(0, image.size() - 1);
    WriteTextFile(scratch.File("truncated.exe").c_str(), truncated);
    EXPECT_FALSE(VerifyExecutableFile(scratch.File("truncated.exe").c_str()));

    uint32_t pe = (uint8_t)image[0x3C] | (uint8_t)image[0x3D] << 8;
    std::string unstamped = image;
    memset(&unstamped[pe + 24 + 64], 0, 4);
    WriteTextFile(scratch.File("unstamped.exe").c_str(), unstamped);
    EXPECT_FALSE(VerifyExecutableFile(scratch.File("unstamped.exe").c_str()));

    // A header offset that points past the end must not be followed.
    std::string wild = image.substr(0, 128);
    wild[0x3C] = (char)0xF0;
    wild[0x3F] = 0x7F;
    WriteTextFile(scratch.File("wild.exe").c_str(), wild);
    EXPECT_FALSE(VerifyExecutableFile(scratch.File("wild.exe").c_str()));
    EXPECT_FALSE(VerifyExecutableFile(scratch.File("missing.exe").c_str()));
}

}  // namespace
