// RemovalTestSupport.cpp -- helpers shared by the removal tests.
#include "RemovalTestSupport.h"

#include <stdio.h>
#include <string.h>

#include "UninstallState.h"
#include "LockedFiles.h"
#include "RestartDialogIds.h"

static const char kChildVariable[] = "ZX_REMOVAL_WIN98_CHILD";
static const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";

std::string BinPath(const char *pszName)
{
    return BinDir() + "\\" + pszName;
}

ScratchDir::ScratchDir()
{
    static int s_counter;
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    char szName[MAX_PATH];
    // Long names with blanks, so that every object has a short form of its own.
    snprintf(szName, sizeof(szName), "%sZendrix Removal Test %lu-%d", szTemp,
             (unsigned long)GetCurrentProcessId(), ++s_counter);
    m_path = szName;
    DeleteTree(m_path);
    CreateDirectoryA(m_path.c_str(), NULL);
}

ScratchDir::~ScratchDir() { DeleteTree(m_path); }

std::string ScratchDir::operator/(const std::string &name) const { return m_path + "\\" + name; }

std::string ShortPath(const std::string &path)
{
    char szShort[MAX_PATH];
    DWORD cch = GetShortPathNameA(path.c_str(), szShort, sizeof(szShort));
    return (cch == 0 || cch >= sizeof(szShort)) ? std::string() : std::string(szShort);
}

static std::vector<std::string> ReadPendingPairs()
{
    std::vector<std::string> items;
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return items;
    DWORD cb = 0;
    if (RegQueryValueExA(hKey, "PendingFileRenameOperations", NULL, NULL, NULL, &cb) ==
            ERROR_SUCCESS &&
        cb > 0) {
        std::vector<char> data(cb + 2, '\0');
        if (RegQueryValueExA(hKey, "PendingFileRenameOperations", NULL, NULL,
                             (BYTE *)data.data(), &cb) == ERROR_SUCCESS) {
            // Pairs of source and destination; an empty destination means "delete",
            // so the list is walked by position, not up to the first empty string.
            size_t pos = 0;
            while (pos < cb) {
                std::string s(data.data() + pos);
                items.push_back(s);
                pos += s.size() + 1;
            }
        }
    }
    RegCloseKey(hKey);
    if (items.size() % 2 != 0)
        items.pop_back(); // the list's own closing terminator
    return items;
}

std::vector<std::string> PendingDeletions()
{
    std::vector<std::string> items = ReadPendingPairs();
    std::vector<std::string> sources;
    for (size_t i = 0; i + 1 < items.size(); i += 2)
        if (items[i + 1].empty())
            sources.push_back(items[i]);
    return sources;
}

void ForgetPendingDeletions(const std::string &containing)
{
    std::vector<std::string> items = ReadPendingPairs();
    std::string kept;
    bool bChanged = false;
    for (size_t i = 0; i + 1 < items.size(); i += 2) {
        if (items[i].find(containing) != std::string::npos) {
            bChanged = true;
            continue;
        }
        kept += items[i];
        kept.push_back('\0');
        kept += items[i + 1];
        kept.push_back('\0');
    }
    if (!bChanged)
        return;
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &hKey) !=
        ERROR_SUCCESS)
        return;
    if (kept.empty()) {
        RegDeleteValueA(hKey, "PendingFileRenameOperations");
    } else {
        kept.push_back('\0');
        RegSetValueExA(hKey, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                       (const BYTE *)kept.data(), (DWORD)kept.size());
    }
    RegCloseKey(hKey);
}

static INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

RestartDialogScope::RestartDialogScope()
{
    for (const char *p = NextLockedFile(NULL); p != NULL; p = NextLockedFile(p))
        m_nEarlier++;
    m_hDlg = CreateDialogParamA(GetModuleHandleA(NULL), "RESTARTDLG", NULL, QuietDialogProc, 0);
    UninstallState.RestartDialog = m_hDlg;
    UninstallState.RestartNeeded = FALSE;
    UninstallState.DirectoryNotEmpty = FALSE;
}

RestartDialogScope::~RestartDialogScope()
{
    UninstallState.RestartDialog = NULL;
    if (m_hDlg != NULL)
        DestroyWindow(m_hDlg);
}

std::vector<std::string> RestartDialogScope::LockedList() const
{
    // What the restart dialog would list: the files reported since the scope began,
    // in the template's sorted list box.
    SendDlgItemMessageA(m_hDlg, IDC_LOCKED_FILES, LB_RESETCONTENT, 0, 0);
    size_t nSeen = 0;
    for (const char *p = NextLockedFile(NULL); p != NULL; p = NextLockedFile(p))
        if (nSeen++ >= m_nEarlier)
            SendDlgItemMessageA(m_hDlg, IDC_LOCKED_FILES, LB_ADDSTRING, 0, (LPARAM)p);
    std::vector<std::string> items;
    LRESULT n = SendDlgItemMessageA(m_hDlg, IDC_LOCKED_FILES, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char szItem[1024] = "";
        LRESULT cch = SendDlgItemMessageA(m_hDlg, IDC_LOCKED_FILES, LB_GETTEXTLEN, i, 0);
        if (cch >= 0 && cch < (LRESULT)sizeof(szItem))
            SendDlgItemMessageA(m_hDlg, IDC_LOCKED_FILES, LB_GETTEXT, i, (LPARAM)szItem);
        items.push_back(szItem);
    }
    return items;
}

bool IsWin98Child()
{
    char szValue[8];
    return GetEnvironmentVariableA(kChildVariable, szValue, sizeof(szValue)) > 0;
}

DWORD RunAsWin98Child(const char *pszGtestFilter)
{
    const char kChildName[] = "removal_tests_win98.exe";
    char szSelf[MAX_PATH];
    GetModuleFileNameA(NULL, szSelf, sizeof(szSelf));
    std::string child = BinPath(kChildName);
    if (!CopyFileA(szSelf, child.c_str(), FALSE))
        return 1000;
    std::string appDefaults = std::string("Software\\Wine\\AppDefaults\\") + kChildName;
    RegSetString(HKEY_CURRENT_USER, appDefaults.c_str(), "Version", "win98");

    std::string commandLine = "\"" + child + "\" --gtest_filter=" + pszGtestFilter;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    SetEnvironmentVariableA(kChildVariable, "1");
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    BOOL bStarted =
        CreateProcessA(NULL, buffer.data(), NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi);
    SetEnvironmentVariableA(kChildVariable, NULL);
    DWORD dwExit = 1001;
    if (bStarted) {
        if (WaitForSingleObject(pi.hProcess, 300000) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &dwExit);
        else
            TerminateProcess(pi.hProcess, 1002);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    DeleteFileA(child.c_str());
    return dwExit;
}
