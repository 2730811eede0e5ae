// KolvuDriver.cpp -- starting Kolvu.exe, answering its boxes and looking at what it left.
#include "KolvuDriver.h"

#include <commctrl.h>
#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "UiTest.h"

std::string FreshCaseDir(const std::string &name)
{
    CreateDirectoryA("C:\\ZxRun", NULL);
    std::string dir = "C:\\ZxRun\\" + name;
    DeleteTree(dir);
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

std::string WindowsPath(const char *pszName)
{
    char szDir[MAX_PATH];
    GetWindowsDirectoryA(szDir, MAX_PATH);
    return std::string(szDir) + "\\" + pszName;
}

std::string LanguageFixture(const char *pszSet, const char *pszFile)
{
    std::string path = std::string("Z:") + ZX_LANGFILES_DIR + "/" + pszSet + "/" + pszFile;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

bool CopyFixture(const char *pszName, const std::string &to)
{
    return CopyFileA((BinDir() + "\\" + pszName).c_str(), to.c_str(), FALSE) != 0;
}

void SaveScreenshot(const std::string &name)
{
    // bin lies in <build>\win\bin
    std::string dir = BinDir() + "\\..\\..\\screenshots";
    CreateDirectoryA(dir.c_str(), NULL);
    UiScreenshot((dir + "\\" + name + ".bmp").c_str());
}

std::string BoxText(HWND hBox)
{
    HWND hStatic = GetDlgItem(hBox, 0xFFFF);
    return hStatic ? UiWindowTextUtf8(hStatic) : std::string();
}

int ProgressPos(HWND hDlg)
{
    DWORD_PTR result = 0;
    HWND hBar = GetDlgItem(hDlg, 131);
    if (!hBar || !SendMessageTimeoutA(hBar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &result))
        return -1;
    return (int)result;
}

KolvuRun::KolvuRun() : pi_(), running_(false), hTracer_(NULL), hStarted_(NULL)
{
}

KolvuRun::~KolvuRun()
{
    if (running_)
        Exit(1000);
    if (hTracer_)
        CloseHandle(hTracer_);
}

bool KolvuRun::StartLog(const std::string &dir, const InstallLogWriter &log, const std::string &switches)
{
    std::string path = dir + "\\uninst.log";
    return log.Save(path) && Start("\"" + path + "\"" + switches);
}

HWND KolvuRun::StartToRestart(const std::string &arguments, const char *pszExe)
{
    return Start(arguments, pszExe) ? WaitDialog("Restart") : NULL;
}

bool KolvuRun::Start(const std::string &arguments, const char *pszExe, const char *pszDirectory)
{
    return Launch(arguments, pszExe, pszDirectory, false);
}

bool KolvuRun::StartTraced(const std::string &arguments)
{
    return Launch(arguments, "Kolvu.exe", NULL, true);
}

bool KolvuRun::Launch(const std::string &arguments, const char *pszExe, const char *pszDirectory, bool bTraced)
{
    LetWineDrawFrames();
    cmd_ = "\"" + BinDir() + "\\" + pszExe + "\"";
    if (!arguments.empty())
        cmd_ += " " + arguments;
    dir_ = pszDirectory ? pszDirectory : BinDir();
    trace_.clear();
    if (!bTraced) {
        running_ = UiStartProcess(cmd_.c_str(), &pi_, dir_.c_str());
        return running_;
    }
    hStarted_ = CreateEventA(NULL, TRUE, FALSE, NULL);
    hTracer_ = CreateThread(NULL, 0, TraceThread, this, 0, NULL);
    if (hTracer_)
        WaitForSingleObject(hStarted_, INFINITE);
    CloseHandle(hStarted_);
    hStarted_ = NULL;
    return running_;
}

// Only the thread that started a process as its debugger receives its debug events,
// and the process stands still at each until they are answered: the tracer starts it
// and answers everything until it ends, while the test answers its windows.
DWORD WINAPI KolvuRun::TraceThread(LPVOID pRun)
{
    KolvuRun *run = (KolvuRun *)pRun;
    bool bStarted = UiStartProcess(run->cmd_.c_str(), &run->pi_, run->dir_.c_str(), DEBUG_ONLY_THIS_PROCESS);
    run->running_ = bStarted;
    SetEvent(run->hStarted_);
    HANDLE hProcess = NULL;   // the debugger's own handle, closed by the system at the end
    DEBUG_EVENT event;
    while (bStarted && WaitForDebugEvent(&event, INFINITE)) {
        DWORD dwStatus = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            hProcess = event.u.CreateProcessInfo.hProcess;
            CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXCEPTION_DEBUG_EVENT:
            // the loader's breakpoint is the debugger's; every other exception is the program's
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                dwStatus = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case OUTPUT_DEBUG_STRING_EVENT: {
            const OUTPUT_DEBUG_STRING_INFO &info = event.u.DebugString;
            char szText[4096];
            SIZE_T cbRead = 0;
            if (!info.fUnicode && info.nDebugStringLength > 0 && info.nDebugStringLength <= sizeof(szText) &&
                ReadProcessMemory(hProcess, info.lpDebugStringData, szText, info.nDebugStringLength, &cbRead))
                run->trace_.append(szText, strnlen(szText, cbRead));
            break;
        }
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, dwStatus);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT)
            break;
    }
    return 0;
}

void KolvuRun::Kill()
{
    if (!running_)
        return;
    TerminateProcess(pi_.hProcess, 1);
    Exit(10000);
}

HWND KolvuRun::WaitBox(DWORD dwTimeoutMs, const char *pszCaption)
{
    return UiWaitWindow(pszCaption, pi_.dwProcessId, dwTimeoutMs, UI_DIALOG_CLASS);
}

std::string KolvuRun::AnswerBox(int nButton, DWORD dwTimeoutMs)
{
    HWND hBox = WaitBox(dwTimeoutMs);
    if (!hBox)
        return "<no box>";
    std::string text = BoxText(hBox);
    UiPressButton(hBox, nButton);
    UiWaitGone(hBox, 10000);
    return text;
}

HWND KolvuRun::WaitDialog(const char *pszCaption, DWORD dwTimeoutMs)
{
    return UiWaitWindow(pszCaption, pi_.dwProcessId, dwTimeoutMs, UI_DIALOG_CLASS);
}

HWND KolvuRun::ProgressDialog()
{
    // the caption is the uninstaller's own string in every language mode but a DLL's
    for (HWND h = FindWindowExA(NULL, NULL, UI_DIALOG_CLASS, NULL); h; h = FindWindowExA(NULL, h, UI_DIALOG_CLASS, NULL)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == pi_.dwProcessId && GetDlgItem(h, 131) != NULL)
            return h;
    }
    return NULL;
}

DWORD KolvuRun::Exit(DWORD dwTimeoutMs)
{
    if (!running_)
        return UI_STILL_RUNNING;
    running_ = false;
    DWORD dwCode = UiWaitExit(&pi_, dwTimeoutMs);
    if (hTracer_) {
        WaitForSingleObject(hTracer_, 10000);
        CloseHandle(hTracer_);
        hTracer_ = NULL;
    }
    return dwCode;
}

bool KolvuRun::NoBoxFor(DWORD dwMs)
{
    dwMs = TestWaitMs(dwMs);
    DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < dwMs) {
        // A box has a message text (a plain static at 0xFFFF). Other dialogs don't
        // count: the progress dialog, whole or half torn down by an exiting Kolvu,
        // which a slow machine shows for a while with only its icon (-1) left.
        for (HWND h : UiProcessWindows(pi_.dwProcessId, UI_DIALOG_CLASS)) {
            HWND hText = GetDlgItem(h, 0xFFFF);
            char cls[16] = "";
            if (hText)
                GetClassNameA(hText, cls, sizeof(cls));
            if (hText && lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(hText, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
                printf("a box: \"%s\"\n", UiMessageBoxText(h).c_str());
                return false;
            }
        }
        Sleep(50);
    }
    return true;
}

DWORD KolvuRun::ExitUnseen(bool *pbShown, DWORD dwTimeoutMs)
{
    *pbShown = false;
    DWORD dwStart = GetTickCount();
    while (running_ && GetTickCount() - dwStart < dwTimeoutMs &&
           WaitForSingleObject(pi_.hProcess, 20) == WAIT_TIMEOUT) {
        if (!UiProcessWindows(pi_.dwProcessId).empty())
            *pbShown = true;
    }
    return Exit(1000);
}

bool HoldRecordedFile(const std::string &path, const std::string &dir, InstallLogWriter &log, FileLock &lock)
{
    WriteTextFile(path);
    log.AddFile(path);
    return log.Save(dir + "\\uninst.log") && lock.Hold({path});
}

std::vector<std::string> RestartListLines(HWND hDlg)
{
    HWND hList = GetDlgItem(hDlg, 1002);
    return hList ? UiListBoxLines(hList) : std::vector<std::string>();
}

std::string PendingRenamesLower()
{
    HKEY hKey;
    std::string text;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      &hKey) != ERROR_SUCCESS)
        return text;
    DWORD cb = 0;
    if (RegQueryValueExA(hKey, "PendingFileRenameOperations", NULL, NULL, NULL, &cb) == ERROR_SUCCESS && cb > 0) {
        std::vector<char> data(cb + 2, '\0');
        RegQueryValueExA(hKey, "PendingFileRenameOperations", NULL, NULL, (BYTE *)data.data(), &cb);
        for (DWORD i = 0; i < cb; ++i)
            text += data[i] ? (char)tolower((unsigned char)data[i]) : '\n';
    }
    RegCloseKey(hKey);
    return text;
}

int CountTempLanguageFiles()
{
    char szTemp[MAX_PATH];
    GetTempPathA(MAX_PATH, szTemp);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((std::string(szTemp) + "ZNX*.tmp").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do
        n++;
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

std::string IncompleteText(unsigned n)
{
    return "Uninstall has been aborted. Only parts of the application could be removed.\n\nItems not removed: " +
           std::to_string(n) + ". The installation log is kept so that the removal can be run again.";
}

static std::string Trimmed(const std::string &text)
{
    size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// Columns: record number in 5, two blanks, type in 15, a blank, fate in 30, a blank.
std::vector<ReportLine> ReportRecords(const std::string &path)
{
    std::vector<ReportLine> records;
    for (const std::string &line : ReadTextLines(path)) {
        if (line.size() < 54 || line[0] != ' ' || !isdigit((unsigned char)line[4]))
            continue;
        records.push_back({(unsigned)atoi(line.substr(0, 5).c_str()), Trimmed(line.substr(7, 15)),
                           Trimmed(line.substr(23, 30)), line.substr(54)});
    }
    return records;
}

std::vector<std::string> ReportTail(const std::string &path)
{
    std::vector<std::string> lines = ReadTextLines(path);
    if (lines.size() < 2)
        return lines;
    return std::vector<std::string>(lines.end() - 2, lines.end());
}

ReportLine ReportFor(const std::vector<ReportLine> &lines, const std::string &subject)
{
    for (const ReportLine &line : lines)
        if (line.subject == subject)
            return line;
    return ReportLine{0, "", "", ""};
}
