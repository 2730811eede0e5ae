// ApplicationTest.cpp -- the uninstaller's arguments and options, and its choice
// of the install log.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "CommandLineCases.h"
#include "UninstallRun.h"

// Reads the line as WinMain would and keeps what came of it; the arguments are freed again.
struct ReadLine {
    std::vector<char> storage;
    std::vector<std::string> arguments;
    int hasYes = -1;
    std::string log;
    int logFound = -1;

    explicit ReadLine(const char *line) : storage(line, line + strlen(line) + 1)
    {
        EXPECT_EQ(ReadArguments(storage.data()), 1);
        EXPECT_EQ(Arguments.CommandLine, storage.data()) << "the raw line is kept, not copied";
        for (DWORD i = 0; i < Arguments.Count; i++)
            arguments.push_back(Arguments.Items[i]);
        hasYes = HasOption("yes");
        char szLog[MAX_PATH];
        logFound = ChooseInstallLog(szLog, sizeof(szLog));
        log = szLog;
        FreeArguments();
        EXPECT_EQ(Arguments.Items, nullptr);
        EXPECT_EQ(Arguments.Count, 0u);
    }
};

TEST(Arguments, EveryListedLineIsSplitAndFreedAgain)
{
    for (const CommandLineCase &c : CommandLineCases())
        EXPECT_EQ(ReadLine(c.line).arguments, c.arguments) << "line [" << c.line << "]";
}

TEST(Arguments, HasOptionFindsYesAnywhereInAnyCase)
{
    const struct { const char *line; int expected; } cases[] = {
        {"\"C:\\Program Files\\App\\uninst.log\" /YES", 1},
        {"/yes C:\\App\\uninst.log", 1},
        {"C:\\App\\uninst.log -Yes", 1},
        {"C:\\App\\uninst.log yes --yes /yess", 0},
        {"", 0},
    };
    for (auto &c : cases)
        EXPECT_EQ(ReadLine(c.line).hasYes, c.expected) << c.line;
}

TEST(InstallLogChoice, TheLineWithoutSwitchesThenTheFirstArgumentMustNameAFile)
{
    CreateDirectoryA("kolvu entry", NULL);
    HANDLE h = CreateFileA("kolvu entry\\uninst.log", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    h = CreateFileA("kolvu_entry_plain.log", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);

    const struct { const char *line; const char *chosen; } cases[] = {
        {"kolvu_entry_plain.log /yes", "kolvu_entry_plain.log"},
        {"\"kolvu entry\\uninst.log\" /yes", "kolvu entry\\uninst.log"},
        {"kolvu entry\\uninst.log", "kolvu entry\\uninst.log"},
        {"kolvu_entry_plain.log missing.log", "kolvu_entry_plain.log"},
        {"\"kolvu entry\"", ""},   // a directory is never the log
        {"/yes kolvu_entry_plain.log", ""},
        {"", ""},
    };
    for (auto &c : cases) {
        ReadLine read(c.line);
        EXPECT_EQ(read.log, c.chosen) << c.line;
        EXPECT_EQ(read.logFound, c.chosen[0] != '\0') << c.line;
    }
    DeleteFileA("kolvu entry\\uninst.log");
    DeleteFileA("kolvu_entry_plain.log");
    RemoveDirectoryA("kolvu entry");
}
