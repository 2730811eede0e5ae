// UninstallApplication.h -- the uninstaller's application object: Run is the uninstall run.
#pragma once
#include "Application.h"

class UninstallApplication : public Application {
public:
    UninstallApplication();

    int Run() override;
    // First half of the run (UninstallStartup.cpp): 1 when the worker thread runs,
    // 0 after a failure that was already reported.
    int StartUninstall();

    // The log's name (logLine, arguments[0] or commandLine); not owned. The
    // finishing steps cut it at its last backslash in place.
    char *installLogPath;
    // The command line without the switches that end it and without outer quotes.
    char logLine[MAX_PATH];

protected:
    // Opens the log under installLogPath, the one name chosen (never a folder).
    int OpenInstallLog();

    // First step of Run: the command line without its switches when it names a
    // file, else the first argument when it names one, else the whole command line.
    void ChooseInstallLogPath();

    // The value of "/<option>:<value>" among the arguments, NULL when absent.
    const char *OptionValueOf(const char *pszOption) const;
};
