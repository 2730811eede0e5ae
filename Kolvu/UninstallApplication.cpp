// UninstallApplication.cpp -- choosing the install log and the uninstall run.
#include "UninstallApplication.h"
#include "UninstallRun.h"
#include "UninstallState.h"
#include "CommandLine.h"
#include "RemovalReport.h"
#include <string.h>

UninstallApplication::UninstallApplication() : installLogPath(NULL)
{
    logLine[0] = '\0';
}

const char *UninstallApplication::OptionValueOf(const char *pszOption) const
{
    for (DWORD i = 0; i < argumentCount; i++) {
        const char *pszValue = OptionValue(arguments[i], pszOption);
        if (pszValue != NULL)
            return pszValue;
    }
    return NULL;
}

static int IsExistingFile(const char *pszPath)
{
    DWORD dwAttributes = GetFileAttributesA(pszPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void UninstallApplication::ChooseInstallLogPath()
{
    static char szEmpty[1] = "";
    // An unquoted path with blanks is split into several arguments, so the line
    // without its switches is asked first: when it names a file, that is the file
    // the user named. A first word that happens to exist ("C:\Program" planted
    // beside "C:\Program Files") must never win over it. A folder is never the log.
    if (commandLine != NULL && LineWithoutTrailingSwitches(commandLine, logLine, sizeof(logLine)) &&
        logLine[0] != '\0' && IsExistingFile(logLine))
        installLogPath = strcmp(logLine, commandLine) == 0 ? commandLine : logLine;
    else if (argumentCount > 0 && IsExistingFile(arguments[0]))
        installLogPath = arguments[0];
    else
        installLogPath = commandLine != NULL ? commandLine : szEmpty;
}

int UninstallApplication::Run()
{
    // The value may come quoted inside the switch: /log:"C:\a b\report.txt".
    char szReport[MAX_PATH];
    const char *pszReport = OptionValueOf("log");
    szReport[0] = '\0';
    if (pszReport != NULL && lstrlenA(pszReport) < MAX_PATH) {
        lstrcpyA(szReport, pszReport);
        StripOuterQuotes(szReport);
    }
    OpenRemovalReport(szReport);

    ChooseInstallLogPath();
    int nExitCode;
    if (!StartUninstall()) {
        if (UninstallState.LogDamaged) {
            DisposeTempLanguageDll();
            nExitCode = EXIT_DAMAGED_LOG;
        } else {
            nExitCode = EXIT_STARTUP_FAILED;
        }
    } else {
        // The worker does the removal; this thread only pumps messages until it is done.
        int nQuitCode = RunMessageLoop();
        nExitCode = FinishUninstall(installLogPath, nQuitCode);
    }
    FinishRemovalReport(nExitCode);
    return nExitCode;
}
