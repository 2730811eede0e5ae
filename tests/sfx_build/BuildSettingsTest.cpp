// BuildSettingsTest.cpp -- BroltBuild's settings text: every key, the defaults, and one table of bad inputs with their messages.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "BuildHeader.h"
#include "BuildSettings.h"
#include "SfxFormat.h"

namespace {

typedef std::vector<std::pair<unsigned, std::string>> Lines;

int Keep(void *context, unsigned line, const char *path, BuildError *)
{
    ((Lines *)context)->push_back({line, path});
    return 1;
}

// The message for a text, or "" when it is good.
std::string Parse(const std::string &text, BuildSettings *s, Lines *lines = NULL)
{
    BuildError e;
    if (ParseBuildSettings(text.data(), text.size(), s, lines ? Keep : NULL, lines, &e))
        return "";
    char message[1024];
    FormatBuildError(&e, "b.ini", message, sizeof(message));
    return message;
}

}  // namespace

TEST(BuildSettings, EveryKeyInAnyCaseWithCommentsQuotesAndFileLinesInOrder)
{
    std::string text =
        "\xEF\xBB\xBF; release build\r\n"
        "[sfx]\r\n"
        "  module = Setup\r\n"
        "APPNAME=Zendrix Tools 2.0\r\n"
        "OpeningDialog = NO\r\n"
        "destination = temp\r\n"
        "Launch = \"setup.exe\"\r\n"
        "CommandLine = /q \"C:\\a b\"\r\n"
        "Output = \"..\\out\\Tools.exe\"\r\n"
        "Overwrite = none\r\n"
        "# the payload\n"
        "[ Files ]\n"
        "setup.exe\n"
        "\n"
        "  \"docs\\*.txt\"  \n"
        "C:\\abs\\file?.bin\n" +
        std::string(259, 'p');
    BuildSettings s;
    Lines lines;
    ASSERT_EQ("", Parse(text, &s, &lines));
    EXPECT_EQ(SFX_MODULE_SETUP, s.moduleType);
    EXPECT_STREQ("Zendrix Tools 2.0", s.appName);
    EXPECT_EQ(0, s.showDialog);
    EXPECT_EQ(SFX_DEST_TEMP, s.destKind);
    EXPECT_STREQ("setup.exe", s.launchFile);
    EXPECT_STREQ("/q \"C:\\a b\"", s.commandLine) << "quotes inside a command line stay";
    EXPECT_STREQ("..\\out\\Tools.exe", s.output);
    EXPECT_EQ(SFX_OVERWRITE_NONE, s.overwriteMode);
    EXPECT_EQ(9u, s.keyLine[BUILD_KEY_OUTPUT]);
    EXPECT_EQ(12u, s.filesLine);
    EXPECT_EQ((Lines{{13, "setup.exe"}, {15, "docs\\*.txt"}, {16, "C:\\abs\\file?.bin"}, {17, std::string(259, 'p')}}),
              lines);

    // The wizard's defaults; the longest texts that fit; a custom folder with Program Files.
    ASSERT_EQ("", Parse("", &s));
    EXPECT_EQ(SFX_MODULE_STANDARD, s.moduleType);
    EXPECT_STREQ("My Application", s.appName);
    EXPECT_EQ(1, s.showDialog);
    EXPECT_EQ(SFX_DEST_CURRENT, s.destKind);
    EXPECT_STREQ("MySFX.EXE", s.output);
    EXPECT_EQ(SFX_OVERWRITE_ASK, s.overwriteMode);
    ASSERT_EQ("", Parse("[Sfx]\nAppName=" + std::string(79, 'a') + "\nDestination=custom\nCustomFolder=" +
                            std::string(259, 'c') + "\nAddProgramFiles=yes\nCommandLine=" + std::string(79, 'x') +
                            "\nLaunch=a.exe\n",
                        &s));
    EXPECT_EQ(79u, strlen(s.appName));
    EXPECT_EQ(259u, strlen(s.customFolder));
    EXPECT_EQ(SFX_DEST_CUSTOM, s.destKind);
    EXPECT_EQ(1, s.addProgramFiles);
}

TEST(BuildSettings, BadInputsNameTheLineAndKey)
{
    struct Case {
        std::string text;
        std::string message;
    } cases[] = {
        {std::string("\xFF\xFE[\0S\0", 6), "b.ini: the file is not ANSI text (it is UTF-16 or holds a zero byte); save it as ANSI"},
        {std::string("[Sfx]\nAppName=a\0b\n", 18), "b.ini: the file is not ANSI text (it is UTF-16 or holds a zero byte); save it as ANSI"},
        {"AppName=x\n", "b.ini, line 1: this line stands before any section; settings go under [Sfx], files under [Files]"},
        {"[Sfx]\n[Setup]\n", "b.ini, line 2: unknown section \"[Setup]\"; the sections are [Sfx] and [Files]"},
        {"[Sfx\n", "b.ini, line 1: unknown section \"[Sfx\"; the sections are [Sfx] and [Files]"},
        {"[Sfx]\nModule standard\n", "b.ini, line 2, [Sfx]: \"Module standard\" is not a setting; write Key = value"},
        {"[Sfx]\n\nOutDir = x\n", "b.ini, line 3, OutDir: unknown key; the keys are Module, AppName, OpeningDialog, "
                                  "Destination, CustomFolder, AddProgramFiles, Launch, CommandLine, Output, Overwrite"},
        {"[Sfx]\nOutput=a.exe\n[Files]\n[sfx]\noutput=b.exe\n", "b.ini, line 5, Output: given a second time (first on line 2)"},
        {"[Sfx]\nOverwrite = sometimes\n", "b.ini, line 2, Overwrite: \"sometimes\" is not one of: all, none, ask"},
        {"[Sfx]\nModule=\n", "b.ini, line 2, Module: \"\" is not one of: standard, setup"},
        {"[Sfx]\nOpeningDialog=1\n", "b.ini, line 2, OpeningDialog: \"1\" is not one of: yes, no"},
        {"[Sfx]\nAppName=" + std::string(80, 'a') + "\n",
         "b.ini, line 2, AppName: \"" + std::string(80, 'a') + "\" has 80 characters; at most 79 fit"},
        {"[Sfx]\nCommandLine=" + std::string(80, 'c') + "\nLaunch=x\n",
         "b.ini, line 2, CommandLine: \"" + std::string(80, 'c') + "\" has 80 characters; at most 79 fit"},
        {"[Files]\n" + std::string(260, 'f') + "\n",
         "b.ini, line 2, [Files]: \"" + std::string(119, 'f') + "\" has 260 characters; at most 259 fit"},
        {"[Sfx]\nOutput = \"\"\n", "b.ini, line 2, Output: needs a value"},
        {"[Sfx]\nOutput=out*.exe\n", "b.ini, line 2, Output: \"out*.exe\" is not a usable path (a quote, <, >, | or a wildcard)"},
        {"[Files]\na<b.txt\n", "b.ini, line 2, [Files]: \"a<b.txt\" is not a usable path (a quote, <, >, | or a wildcard)"},
        {"[Files]\ndocs*\\a.txt\n", "b.ini, line 2, [Files]: \"docs*\\a.txt\": * and ? may stand only in the last part of a path"},
        {"[Sfx]\nModule=setup\nDestination=current\nLaunch=a.exe\n",
         "b.ini, line 3, Destination: a setup module always extracts into a temporary folder; write Destination = temp or leave it out"},
        {"[Sfx]\nModule=setup\n", "b.ini, line 2, Module: a setup module needs Launch, the program it runs after extracting"},
        {"[Sfx]\nDestination=custom\n", "b.ini, line 2, Destination: Destination = custom needs CustomFolder"},
        {"[Sfx]\nAddProgramFiles=yes\n", "b.ini, line 2, AddProgramFiles: AddProgramFiles = yes needs Destination = custom"},
        {"[Sfx]\nCommandLine=/q\n", "b.ini, line 2, CommandLine: CommandLine needs Launch"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        BuildSettings s;
        EXPECT_EQ(c.message, Parse(c.text, &s));
    }
}

TEST(BuildSettings, MessagesOfTheChecksOnDisk)
{
    struct Case {
        int problem;
        const char *where;
        const char *text;
        unsigned long number, limit;
        const char *message;
    } cases[] = {
        {BUILD_NO_MATCH, "[Files]", "docs\\*.pdf", 0, 0, "b.ini, line 4, [Files]: \"docs\\*.pdf\" matches no file"},
        {BUILD_NAME_TWICE, "[Files]", "C:\\b\\a.txt", 2, 0,
         "b.ini, line 4, [Files]: \"C:\\b\\a.txt\" would be stored a second time (first from line 2); both would "
         "extract to one name"},
        {BUILD_TOO_MANY_FILES, "[Files]", NULL, 100001, SFX_MAX_ENTRIES,
         "b.ini, line 4, [Files]: the lines name 100001 files; a self-extractor holds at most 100000"},
        {BUILD_PACKED_TOO_BIG, NULL, NULL, 4100, 4096,
         "b.ini, line 4: the packed block is 4100 MB; a self-extractor holds less than 4 GB (4096 MB)"},
    };
    for (const Case &c : cases) {
        BuildError e;
        SetBuildError(&e, c.problem, 4, c.where, c.text);
        e.number = c.number;
        e.limit = c.limit;
        char message[1024];
        FormatBuildError(&e, "b.ini", message, sizeof(message));
        EXPECT_STREQ(c.message, message);
    }
}

// What every builder writes into the header: each text by its length into a
// zeroed field, the destination's mark or text, Program Files only with a folder.
TEST(BuildHeader, TheSettingsFillEveryFieldButThePackedBlocks)
{
    BuildSettings s;
    ASSERT_EQ("", Parse("[Sfx]\nModule = setup\nAppName = Tools\nLaunch = run.exe\nCommandLine = /q\n"
                        "Overwrite = none\nOpeningDialog = no\n", &s));
    memset(s.appName + 6, 'x', sizeof(s.appName) - 7);  // what lies after a text never reaches the file
    SfxHeader h;
    FillSfxHeader(&s, &h);
    EXPECT_EQ(0, memcmp(h.version, "2.00", 4));
    EXPECT_EQ(std::string("Tools\0", 6) + std::string(74, '\0'), std::string(h.appName, sizeof(h.appName)));
    EXPECT_STREQ("run.exe", h.launchFile);
    EXPECT_STREQ("/q", h.commandLine);
    EXPECT_EQ(0u, h.showDialog);
    EXPECT_EQ((uint32_t)SFX_MODULE_SETUP, h.moduleType);
    EXPECT_EQ((uint32_t)SFX_OVERWRITE_NONE, h.overwriteMode);
    EXPECT_EQ(0, h.destination[0]) << "a setup module's temporary folder";
    EXPECT_EQ(0u, h.packedFlag + h.packedSize + h.packedCrc + h.reserved);

    const struct {
        int kind, addProgramFiles;
        const char *folder;
        const char *destination;
        uint32_t add;
    } kinds[] = {
        {SFX_DEST_CURRENT, 0, "", "\xFF", 0},
        {SFX_DEST_FOURTH, 0, "", "\xFE", 0},
        {SFX_DEST_CUSTOM, 1, "C:\\Velmor", "C:\\Velmor", 1},
        {SFX_DEST_TEMP, 1, "C:\\Velmor", "", 0},
    };
    for (const auto &k : kinds) {
        s.destKind = k.kind;
        s.addProgramFiles = k.addProgramFiles;
        strcpy(s.customFolder, k.folder);
        FillSfxHeader(&s, &h);
        EXPECT_STREQ(k.destination, h.destination) << k.kind;
        EXPECT_EQ(k.add, h.addProgramFiles) << k.kind;
    }
}
