// ApplicationTest.cpp -- the application object's start, dispatch and options,
// and the uninstaller's choice of the install log.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Application.h"
#include "CommandLineCases.h"
#include "UninstallApplication.h"

// Records what the base class calls and what Run saw.
class Recorder : public Application {
public:
    std::vector<std::string> seen;
    int initializeResult = 1, runResult = 7;
    int installs = 0, uninstalls = 0, initializes = 0, runs = 0, finishes = 0;
    int hasYes = -1;

    void OnInstall() override { installs++; }
    void OnUninstall() override { uninstalls++; }
    int Initialize() override { initializes++; return initializeResult; }
    void Finish() override { finishes++; }
    int Run() override
    {
        runs++;
        for (DWORD i = 0; i < argumentCount; i++)
            seen.push_back(arguments[i]);
        hasYes = HasOption("yes");
        return runResult;
    }
};

static int StartWith(Application &app, const char *line, int show = SW_SHOWNORMAL)
{
    static std::vector<char> storage;
    storage.assign(line, line + strlen(line) + 1);
    return app.Start(GetModuleHandleA(NULL), storage.data(), show);
}

TEST(Application, StartSplitsEveryListedLineAndFreesTheArguments)
{
    for (const CommandLineCase &c : CommandLineCases()) {
        Recorder app;
        EXPECT_EQ(StartWith(app, c.line), 7);
        EXPECT_EQ(app.seen, c.arguments) << "line [" << c.line << "]";
        EXPECT_EQ(app.arguments, nullptr);
        EXPECT_EQ(app.argumentCount, 0u);
    }
}

TEST(Application, StartKeepsTheRawLineAndTheShowCommand)
{
    Recorder app;
    app.runResult = -1;
    EXPECT_EQ(StartWith(app, "\"a b\" c", SW_SHOWMINIMIZED), -1);
    EXPECT_STREQ(app.commandLine, "\"a b\" c");
    EXPECT_EQ(app.showCommand, SW_SHOWMINIMIZED);
    EXPECT_EQ(app.exitCode, -1);
    EXPECT_EQ(app.instance, GetModuleHandleA(NULL));
    EXPECT_EQ((app.initializes << 8) | (app.runs << 4) | app.finishes, 0x111);
}

TEST(Application, HasOptionFindsYesAnywhereInAnyCase)
{
    const struct { const char *line; int expected; } cases[] = {
        {"\"C:\\Program Files\\App\\uninst.log\" /YES", 1},
        {"/yes C:\\App\\uninst.log", 1},
        {"C:\\App\\uninst.log -Yes", 1},
        {"C:\\App\\uninst.log yes --yes /yess", 0},
        {"", 0},
    };
    for (auto &c : cases) {
        Recorder app;
        StartWith(app, c.line);
        EXPECT_EQ(app.hasYes, c.expected) << c.line;
    }
}

TEST(Application, SwitchesAreIgnoredUnlessEnabled)
{
    Recorder plain;
    EXPECT_EQ(StartWith(plain, "/UNINSTALL /install"), 7);
    EXPECT_EQ(plain.installs + plain.uninstalls, 0);
    EXPECT_EQ(plain.runs, 1);
    EXPECT_EQ(plain.finishes, 1);

    Recorder uninstall;
    uninstall.switchesEnabled = TRUE;
    EXPECT_EQ(StartWith(uninstall, "x -Uninstall"), 0);
    EXPECT_EQ(uninstall.uninstalls, 1);
    EXPECT_EQ(uninstall.initializes + uninstall.runs + uninstall.finishes, 0);

    Recorder both;
    both.switchesEnabled = TRUE;
    EXPECT_EQ(StartWith(both, "/uninstall /INSTALL"), 0);
    EXPECT_EQ(both.installs, 1) << "INSTALL is asked for first";
    EXPECT_EQ(both.uninstalls, 0);
}

TEST(Application, FailedInitializeEndsWithMinusOneWithoutRun)
{
    Recorder app;
    app.initializeResult = 0;
    EXPECT_EQ(StartWith(app, "x"), -1);
    EXPECT_EQ(app.runs, 0);
    EXPECT_EQ(app.finishes, 0);
}

// Takes only the first step of the uninstall run and keeps the chosen path,
// which points into storage freed after Start.
class PathProbe : public UninstallApplication {
public:
    std::string chosen;
    bool fromCommandLine = false;
    int Run() override
    {
        ChooseInstallLogPath();
        chosen = installLogPath ? installLogPath : "(null)";
        fromCommandLine = installLogPath == commandLine;
        return 0;
    }
};

TEST(UninstallApplication, ChoosesTheFirstArgumentWhenItExistsElseTheWholeLine)
{
    CreateDirectoryA("kolvu entry", NULL);
    HANDLE h = CreateFileA("kolvu entry\\uninst.log", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    h = CreateFileA("kolvu_entry_plain.log", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);

    const struct { const char *line; const char *chosen; bool whole; } cases[] = {
        {"kolvu_entry_plain.log /yes", "kolvu_entry_plain.log", false},
        {"\"kolvu entry\\uninst.log\" /yes", "kolvu entry\\uninst.log", false},
        {"kolvu entry\\uninst.log", "kolvu entry\\uninst.log", true},
        {"\"kolvu entry\"", "\"kolvu entry\"", true},   // a directory is never the log
        {"/yes kolvu_entry_plain.log", "/yes kolvu_entry_plain.log", true},
        {"", "", true},
    };
    for (auto &c : cases) {
        PathProbe app;
        EXPECT_EQ(StartWith(app, c.line), 0) << c.line;
        EXPECT_EQ(app.chosen, c.chosen) << c.line;
        EXPECT_EQ(app.fromCommandLine, c.whole) << c.line;
    }
    DeleteFileA("kolvu entry\\uninst.log");
    DeleteFileA("kolvu_entry_plain.log");
    RemoveDirectoryA("kolvu entry");
}
