// UninstallApplication.cpp -- choosing the install log and the uninstall run.
#include "UninstallApplication.h"
#include "UninstallRun.h"

UninstallApplication::UninstallApplication() : installLogPath(NULL)
{
}

void UninstallApplication::ChooseInstallLogPath()
{
    static char szEmpty[1] = "";
    installLogPath = argumentCount > 0 ? arguments[0] : szEmpty;
    // An unquoted path with blanks is split into several arguments; the whole
    // command line then still names the log. A first word that names a folder
    // ("C:\Apps\App" of "C:\Apps\App dir\uninst.log") is never the log.
    DWORD dwAttributes = GetFileAttributesA(installLogPath);
    if ((dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) &&
        commandLine != NULL)
        installLogPath = commandLine;
}

int UninstallApplication::Run()
{
    ChooseInstallLogPath();
    // -1 only for a run that never started; past start-up the exit code is 0 whatever
    // happened (declined, a custom program failed): the boxes told the user.
    if (!StartUninstall())
        return -1;
    // The worker does the removal; this thread only pumps messages until it is done.
    int nQuitCode = RunMessageLoop();
    return FinishUninstall(installLogPath, nQuitCode);
}
