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

    // arguments[0] or the whole commandLine, whichever opened the log; not owned. The finishing steps cut
    // it at its last backslash in place.
    char *installLogPath;

protected:
    // Opens the log under the first argument, else under the whole command line
    // (never a folder), and makes installLogPath the name that opened it.
    int OpenInstallLog();

    // First step of Run: the first argument when such a file exists, otherwise
    // the whole command line. OpenInstallLog has the last word.
    void ChooseInstallLogPath();
};
