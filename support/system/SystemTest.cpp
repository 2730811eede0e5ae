// SystemTest.cpp -- files, folders and registry values for the Windows-side tests.
#include "SystemTest.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "Owners.h"

static bool IsBelowDriveC(const std::string &path)
{
    return path.size() > 3 && (path[0] == 'C' || path[0] == 'c') && path.compare(1, 2, ":\\") == 0 &&
           path.find("..") == std::string::npos;
}

static void DeleteTreeBelow(const std::string &path)
{
    WIN32_FIND_DATAA fd;
    FindHandle hFind(FindFirstFileA((path + "\\*").c_str(), &fd));
    if (hFind.IsValid()) {
        do {
            if (strcmp(fd.cFileName, ".") == 0 || strcmp(fd.cFileName, "..") == 0)
                continue;
            std::string child = path + "\\" + fd.cFileName;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            // A linked folder goes as a link; what it points to is not ours.
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                DeleteTreeBelow(child);
            else if (!DeleteFileA(child.c_str()))
                RemoveDirectoryA(child.c_str());
        } while (FindNextFileA(hFind, &fd));
    }
    RemoveDirectoryA(path.c_str());
}

void DeleteTree(const std::string &path)
{
    if (IsBelowDriveC(path))
        DeleteTreeBelow(path);
}

std::string ReadWholeFile(const std::string &path)
{
    std::string bytes;
    FileHandle hFile(CreateFileA(path.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                 OPEN_EXISTING, 0, NULL));
    if (!hFile.IsValid())
        return bytes;
    DWORD cbFile = GetFileSize(hFile, NULL);
    if (cbFile == INVALID_FILE_SIZE)
        return bytes;
    bytes.resize(cbFile);
    DWORD cbRead = 0;
    if (cbFile != 0 && (!ReadFile(hFile, &bytes[0], cbFile, &cbRead, NULL) || cbRead != cbFile))
        bytes.clear();
    return bytes;
}

std::vector<std::string> ReadTextLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::string text = ReadWholeFile(path), line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

bool WriteTextFile(const std::string &path, const std::string &text)
{
    FileHandle hFile(CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, NULL));
    DWORD cbWritten = 0;
    return hFile.IsValid() && WriteFile(hFile, text.data(), (DWORD)text.size(), &cbWritten, NULL) &&
           cbWritten == text.size();
}

bool PathExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD TestWaitMs(DWORD dwMs)
{
    static DWORD s_dwScale = 0;
    if (s_dwScale == 0) {
        char szScale[16];
        DWORD cch = GetEnvironmentVariableA("ZX_TIME_SCALE", szScale, sizeof(szScale));
        unsigned long scale = cch > 0 && cch < sizeof(szScale) ? strtoul(szScale, NULL, 10) : 1;
        s_dwScale = scale >= 1 && scale <= 1000 ? (DWORD)scale : 1;
    }
    // Saturates, so a long wait never wraps into a short one.
    if (dwMs == INFINITE || dwMs >= (INFINITE - 1) / s_dwScale)
        return dwMs == INFINITE ? INFINITE : INFINITE - 1;
    return dwMs * s_dwScale;
}

std::string BinDir()
{
    char szPath[MAX_PATH];
    DWORD cch = GetModuleFileNameA(NULL, szPath, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH)
        return ".";
    char *pszSlash = strrchr(szPath, '\\');
    if (pszSlash)
        *pszSlash = '\0';
    return szPath;
}

bool RegKeyExists(HKEY hRoot, const char *pszSubKey)
{
    RegKey hKey;
    return RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, hKey.Receive()) == ERROR_SUCCESS;
}

bool RegValueExists(HKEY hRoot, const char *pszSubKey, const char *pszValue)
{
    RegKey hKey;
    return RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, hKey.Receive()) == ERROR_SUCCESS &&
           RegQueryValueExA(hKey, pszValue, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
}

static bool SetValue(HKEY hRoot, const char *pszSubKey, const char *pszValue, DWORD dwType,
                     const void *pData, DWORD cbData)
{
    RegKey hKey;
    return RegCreateKeyA(hRoot, pszSubKey, hKey.Receive()) == ERROR_SUCCESS &&
           RegSetValueExA(hKey, pszValue, 0, dwType, (const BYTE *)pData, cbData) == ERROR_SUCCESS;
}

bool RegSetString(HKEY hRoot, const char *pszSubKey, const char *pszValue, const char *pszData)
{
    return SetValue(hRoot, pszSubKey, pszValue, REG_SZ, pszData, (DWORD)strlen(pszData) + 1);
}

bool RegSetDword(HKEY hRoot, const char *pszSubKey, const char *pszValue, DWORD dwData)
{
    return SetValue(hRoot, pszSubKey, pszValue, REG_DWORD, &dwData, sizeof(dwData));
}

DWORD RegGetDword(HKEY hRoot, const char *pszSubKey, const char *pszValue, DWORD dwMissing)
{
    RegKey hKey;
    DWORD dwType = 0, dwData = 0, cb = sizeof(dwData);
    if (RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, hKey.Receive()) != ERROR_SUCCESS ||
        RegQueryValueExA(hKey, pszValue, NULL, &dwType, (BYTE *)&dwData, &cb) != ERROR_SUCCESS ||
        dwType != REG_DWORD)
        return dwMissing;
    return dwData;
}

void DeleteRegTree(HKEY hRoot, const char *pszSubKey)
{
    RegKey hKey;
    if (RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ | KEY_WRITE, hKey.Receive()) == ERROR_SUCCESS) {
        char szChild[256];
        // Always the first child: each pass deletes it.
        while (RegEnumKeyA(hKey, 0, szChild, sizeof(szChild)) == ERROR_SUCCESS) {
            std::string child = std::string(pszSubKey) + "\\" + szChild;
            DeleteRegTree(hRoot, child.c_str());
            if (RegKeyExists(hRoot, child.c_str()))
                break; // refused: stop rather than loop
        }
    }
    hKey.Reset();
    RegDeleteKeyA(hRoot, pszSubKey);
}

void LetWineDrawFrames()
{
    RegSetString(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Managed", "N");
}

bool FileLock::Hold(const std::vector<std::string> &paths)
{
    // The events carry a tag of their own, so that lockers of other tests never answer.
    static int s_counter;
    char szTag[64], szEvent[128];
    snprintf(szTag, sizeof(szTag), "lock-%lu-%d", (unsigned long)GetCurrentProcessId(), ++s_counter);
    snprintf(szEvent, sizeof(szEvent), "ZendrixLocker.%s.held", szTag);
    hHeld_ = CreateEventA(NULL, TRUE, FALSE, szEvent);
    snprintf(szEvent, sizeof(szEvent), "ZendrixLocker.%s.release", szTag);
    hRelease_ = CreateEventA(NULL, TRUE, FALSE, szEvent);

    std::string cmd = "\"" + BinDir() + "\\FileLocker.exe\" " + szTag;
    for (const std::string &path : paths)
        cmd += " \"" + path + "\"";
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    hProcess_ = pi.hProcess;
    // A locker that ends first could not open a file.
    HANDLE waits[2] = {hHeld_, hProcess_};
    return WaitForMultipleObjects(2, waits, FALSE, TestWaitMs(30000)) == WAIT_OBJECT_0;
}

DWORD FileLock::Release()
{
    DWORD dwExit = 0;
    if (hRelease_)
        SetEvent(hRelease_);
    if (hProcess_) {
        if (WaitForSingleObject(hProcess_, TestWaitMs(30000)) == WAIT_OBJECT_0)
            GetExitCodeProcess(hProcess_, &dwExit);
        else
            TerminateProcess(hProcess_, dwExit = 1);
        CloseHandle(hProcess_);
    }
    if (hHeld_)
        CloseHandle(hHeld_);
    if (hRelease_)
        CloseHandle(hRelease_);
    hProcess_ = hHeld_ = hRelease_ = NULL;
    return dwExit;
}
