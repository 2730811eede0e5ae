// WinMain.cpp -- the uninstaller's entry point and the order of its steps.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "InstallLog.h"
#include "RemovalReport.h"
#include "SelfCheck.h"

// Everything before the main loop: 1 when the worker runs, 0 after a failure
// that was already shown (only a progress dialog that cannot be made shows nothing).
static int StartUninstall()
{
    LogHeader header;
    if (!CreateProgressDialog() || !OpenInstallLog(&header) || !PrepareLanguage(header) || !ScanRecords())
        return 0;
    CreateRestartDialog();
    UninstallState.ConfirmRemoval = !HasOption("yes") && !UninstallState.Quiet;
    return StartWorker();
}

static int RunUninstall()
{
    // Nothing else happens while the report may still be refused: not even a window.
    UninstallState.Quiet = HasOption("quiet");
    if (!ChooseReportTarget()) {
        RefuseReport();
        return EXIT_REPORT_REFUSED;
    }
    int nExitCode;
    if (StartUninstall()) {
        // The worker does the removal; this thread only pumps messages until it is done.
        int nQuitCode = RunMessageLoop();
        nExitCode = FinishUninstall(UninstallState.LogPath, nQuitCode);
    } else if (UninstallState.ReportRefused) {
        return EXIT_REPORT_REFUSED;
    } else if (UninstallState.LogDamaged) {
        DisposeTempLanguageDll();
        nExitCode = EXIT_DAMAGED_LOG;
    } else {
        // Nothing is undone: what the start made is left for the process end.
        nExitCode = EXIT_STARTUP_FAILED;
    }
    FinishRemovalReport(nExitCode);
    return nExitCode;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd)
{
    (void)hPrevInstance;
    (void)nShowCmd;
    UninstallState.Instance = hInstance;
    if (!SelfCheck())
        return -1;
    // Out of memory: the strings already made are left for the process end.
    if (!ReadArguments(lpCmdLine))
        return EXIT_STARTUP_FAILED;
    int nExitCode = RunUninstall();
    FreeArguments();
    return nExitCode;
}
