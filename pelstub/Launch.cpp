// Launch.cpp -- starting the archive's program in the destination and, for a Setup module, waiting for it.
//
// A setup program often hands its work to a child and exits at once; so where
// the system offers job objects, the wait lasts until every process started
// from the launched one has ended too, before the files are taken away.
#include "Stub.h"

#include <shellapi.h>

#include "StubPaths.h"

namespace {

typedef HANDLE(WINAPI *CreateJobObjectFn)(LPSECURITY_ATTRIBUTES, LPCSTR);
typedef BOOL(WINAPI *AssignProcessFn)(HANDLE, HANDLE);
typedef BOOL(WINAPI *QueryJobFn)(HANDLE, JOBOBJECTINFOCLASS, LPVOID, DWORD, LPDWORD);

struct JobCalls {
    CreateJobObjectFn create;
    AssignProcessFn assign;
    QueryJobFn query;
};

int LoadJobCalls(JobCalls *calls)
{
    // Looked up, not imported: the 95 family has no job objects.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    calls->create = (CreateJobObjectFn)(void *)GetProcAddress(kernel, "CreateJobObjectA");
    calls->assign = (AssignProcessFn)(void *)GetProcAddress(kernel, "AssignProcessToJobObject");
    calls->query = (QueryJobFn)(void *)GetProcAddress(kernel, "QueryInformationJobObject");
    return calls->create && calls->assign && calls->query;
}

int EndsWith(const char *text, const char *suffix)
{
    size_t a = strlen(text);
    size_t b = strlen(suffix);
    return a >= b && lstrcmpiA(text + a - b, suffix) == 0;
}

int IsProgram(const char *path)
{
    return EndsWith(path, ".exe") || EndsWith(path, ".com") || EndsWith(path, ".bat") || EndsWith(path, ".cmd");
}

// Documents and the like are opened through the shell; it gives no way to
// start them inside a job, so only the opening process is waited for.
HANDLE OpenThroughShell(const char *path)
{
    HMODULE shell = LoadSystemLibrary("shell32.dll");
    typedef BOOL(WINAPI * ShellExecuteExFn)(SHELLEXECUTEINFOA *);
    ShellExecuteExFn execute = shell ? (ShellExecuteExFn)(void *)GetProcAddress(shell, "ShellExecuteExA") : NULL;
    if (!execute)
        return NULL;
    SHELLEXECUTEINFOA info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = path;
    info.lpParameters = Stub.commandLine[0] ? Stub.commandLine : NULL;
    info.lpDirectory = Stub.destination;
    info.nShow = SW_SHOWNORMAL;
    if (!execute(&info))
        return NULL;
    // Success without a process (an already running viewer took the file) counts as ended.
    return info.hProcess ? info.hProcess : INVALID_HANDLE_VALUE;
}

void WaitForJob(const JobCalls *calls, HANDLE job)
{
    for (;;) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info;
        if (!calls->query(job, JobObjectBasicAccountingInformation, &info, sizeof(info), NULL) ||
            info.ActiveProcesses == 0)
            return;
        Sleep(200);
    }
}

// Starts the program, inside a job of its own when the run waits for all it
// starts; NULL when the system could not start it.
HANDLE StartProgram(const char *path, int waitForAll, JobCalls *calls, HANDLE *job)
{
    char command[MAX_PATH + SFX_SHORT_FIELD + 4];
    wsprintfA(command, Stub.commandLine[0] ? "\"%s\" %s" : "\"%s\"", path, Stub.commandLine);
    if (waitForAll && LoadJobCalls(calls))
        *job = calls->create(NULL, NULL);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info;
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, *job ? CREATE_SUSPENDED : 0, NULL, Stub.destination,
                        &startup, &info))
        return NULL;
    // Already inside a job that allows no other (older Windows): wait for the one process.
    if (*job && !calls->assign(*job, info.hProcess)) {
        CloseHandle(*job);
        *job = NULL;
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    return info.hProcess;
}

}  // namespace

int CheckLaunchFile(void)
{
    const char *refusal = NULL;
    // A Setup module that runs nothing would extract, delete and report success.
    if (Stub.header.moduleType == SFX_MODULE_SETUP && !Stub.launchFile[0])
        refusal = "This setup archive names no program to run.";
    else if (!SfxIsLaunchFileInside(Stub.launchFile))
        refusal = "The program to start has a name that is not allowed:\n\"%s\"";
    if (!refusal)
        return 1;
    char text[200];
    lstrcpyA(text, refusal);
    lstrcatA(text, "\n\nNothing was extracted.");
    ShowStubMessage(text, Stub.launchFile);
    return 0;
}

int LaunchProgram(int waitForAll, DWORD *exitCode)
{
    *exitCode = 0;
    char path[MAX_PATH];
    const char *file = Stub.launchFile;
    int absolute = (file[0] && file[1] == ':') || file[0] == '\\' || file[0] == '/';
    if (absolute)
        lstrcpynA(path, file, sizeof(path));
    else if (!StubJoinPath(path, sizeof(path), Stub.destination, file)) {
        ShowStubMessage("The program to start has too long a name:\n%s", file);
        return 0;
    }

    // In the run's own folder the program is held, unchangeable, from the
    // check that the folder is still the one made until the system has it.
    HANDLE held = NULL;
    if (Stub.folder && !absolute) {
        held = OpenInOwnFolder(file);
        if (held && !FolderIsStillOurs()) {
            CloseHandle(held);
            ShowStubMessage("The working folder was replaced by another program; nothing was started:\n%s",
                            Stub.destination);
            return 0;
        }
    }

    HANDLE process = NULL;
    HANDLE job = NULL;
    JobCalls calls;
    if (Stub.folder && !absolute && !held) {
        // Not there, or open for writing by someone else: not started either way.
    } else if (IsProgram(path)) {
        process = StartProgram(path, waitForAll, &calls, &job);
    } else {
        process = OpenThroughShell(path);
    }
    if (held)
        CloseHandle(held);
    if (!process) {
        if (job)
            CloseHandle(job);
        ShowStubMessage("The program could not be started:\n%s", path);
        return 0;
    }
    if (process == INVALID_HANDLE_VALUE)
        return 1;
    if (waitForAll) {
        WaitForSingleObject(process, INFINITE);
        GetExitCodeProcess(process, exitCode);
        if (job)
            WaitForJob(&calls, job);
    }
    if (job)
        CloseHandle(job);
    CloseHandle(process);
    return 1;
}
