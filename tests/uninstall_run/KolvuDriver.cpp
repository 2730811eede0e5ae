// KolvuDriver.cpp -- starting Kolvu.exe, answering its boxes and looking at what it left.
#include "KolvuDriver.h"

#include <commctrl.h>
#include <ctype.h>
#include <stdio.h>

#include "UiTest.h"

std::string BinDir()
{
    char szPath[MAX_PATH];
    GetModuleFileNameA(NULL, szPath, MAX_PATH);
    char *pszSlash = strrchr(szPath, '\\');
    if (pszSlash)
        *pszSlash = '\0';
    return szPath;
}

void DeleteTree(const std::string &path)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(hFind, &fd));
        FindClose(hFind);
    }
    RemoveDirectoryA(path.c_str());
}

std::string FreshCaseDir(const std::string &name)
{
    CreateDirectoryA("C:\\ZxRun", NULL);
    std::string dir = "C:\\ZxRun\\" + name;
    DeleteTree(dir);
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

bool WriteTextFile(const std::string &path, const std::string &text)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
    return fclose(f) == 0 && ok;
}

bool PathExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadTextFile(const std::string &path)
{
    std::string text;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        text.append(buf, n);
    fclose(f);
    return text;
}

bool RegValueExists(HKEY hRoot, const char *pszSubKey, const char *pszValue)
{
    HKEY hKey;
    if (RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    bool found = RegQueryValueExA(hKey, pszValue, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(hKey);
    return found;
}

bool RegKeyExists(HKEY hRoot, const char *pszSubKey)
{
    HKEY hKey;
    if (RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

void RegSetString(HKEY hRoot, const char *pszSubKey, const char *pszValue, const char *pszData)
{
    HKEY hKey;
    if (RegCreateKeyExA(hRoot, pszSubKey, 0, NULL, 0, KEY_WRITE, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(hKey, pszValue, 0, REG_SZ, (const BYTE *)pszData, (DWORD)strlen(pszData) + 1);
    RegCloseKey(hKey);
}

void RegSetDword(HKEY hRoot, const char *pszSubKey, const char *pszValue, DWORD dwData)
{
    HKEY hKey;
    if (RegCreateKeyExA(hRoot, pszSubKey, 0, NULL, 0, KEY_WRITE, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(hKey, pszValue, 0, REG_DWORD, (const BYTE *)&dwData, sizeof(dwData));
    RegCloseKey(hKey);
}

DWORD RegGetDword(HKEY hRoot, const char *pszSubKey, const char *pszValue)
{
    HKEY hKey;
    DWORD dwData = 0, cb = sizeof(dwData);
    if (RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return 0;
    RegQueryValueExA(hKey, pszValue, NULL, NULL, (BYTE *)&dwData, &cb);
    RegCloseKey(hKey);
    return dwData;
}

void DeleteRegTree(HKEY hRoot, const char *pszSubKey)
{
    HKEY hKey;
    if (RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return;
    std::vector<std::string> children;
    char szChild[256];
    for (DWORD i = 0; RegEnumKeyA(hKey, i, szChild, sizeof(szChild)) == ERROR_SUCCESS; ++i)
        children.push_back(szChild);
    RegCloseKey(hKey);
    for (const std::string &child : children)
        DeleteRegTree(hRoot, (std::string(pszSubKey) + "\\" + child).c_str());
    RegDeleteKeyA(hRoot, pszSubKey);
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

KolvuRun::KolvuRun() : pi_(), running_(false)
{
}

KolvuRun::~KolvuRun()
{
    if (running_)
        Exit(1000);
}

// Without a window manager on the virtual display, Wine waits up to 2 s for
// every hidden top-level window to be "withdrawn" by a manager that never comes.
// Windows that Wine frames itself hide at once, and screenshots show their captions.
static void LetWineDrawFrames()
{
    RegSetString(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Managed", "N");
}

bool KolvuRun::Start(const std::string &arguments, const char *pszExe, const char *pszDirectory)
{
    LetWineDrawFrames();
    std::string cmd = "\"" + BinDir() + "\\" + pszExe + "\"";
    if (!arguments.empty())
        cmd += " " + arguments;
    running_ = UiStartProcess(cmd.c_str(), &pi_, pszDirectory ? pszDirectory : BinDir().c_str());
    return running_;
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
    return UiWaitExit(&pi_, dwTimeoutMs);
}

bool KolvuRun::NoBoxFor(DWORD dwMs)
{
    DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < dwMs) {
        // the progress dialog may show; anything else is a box
        for (HWND h : UiProcessWindows(pi_.dwProcessId, UI_DIALOG_CLASS))
            if (GetDlgItem(h, 131) == NULL)
                return false;
        Sleep(50);
    }
    return true;
}

FileLock::FileLock() : pi_(), hHeld_(NULL), hRelease_(NULL)
{
}

FileLock::~FileLock()
{
    Release();
}

bool FileLock::Hold(const std::string &tag, const std::vector<std::string> &paths)
{
    hHeld_ = CreateEventA(NULL, TRUE, FALSE, ("ZendrixLocker." + tag + ".held").c_str());
    hRelease_ = CreateEventA(NULL, TRUE, FALSE, ("ZendrixLocker." + tag + ".release").c_str());
    ResetEvent(hHeld_);
    ResetEvent(hRelease_);
    std::string cmd = "\"" + BinDir() + "\\FileLocker.exe\" " + tag;
    for (const std::string &path : paths)
        cmd += " \"" + path + "\"";
    if (!UiStartProcess(cmd.c_str(), &pi_))
        return false;
    HANDLE waits[2] = {hHeld_, pi_.hProcess};
    return WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0;
}

void FileLock::Release()
{
    if (hRelease_)
        SetEvent(hRelease_);
    if (pi_.hProcess)
        UiWaitExit(&pi_, 10000);
    if (hHeld_)
        CloseHandle(hHeld_);
    if (hRelease_)
        CloseHandle(hRelease_);
    hHeld_ = hRelease_ = NULL;
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
