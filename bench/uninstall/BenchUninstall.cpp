// BenchUninstall.cpp -- times Kolvu.exe removing 10,000 files in 100 directories against bench_lowerbound.exe.
//
//   bench_uninstall.exe [root] [directories] [files per directory] [rounds]
//
// Each round builds the tree of 1 KB files, writes the install log (one record
// per file, then one per directory), and times "Kolvu.exe <log> /yes" from its
// start to its final message plus from the answer to its end (the time the
// message box waits for its answer is not Kolvu's). Then it builds the tree again
// and times the lower-bound program from start to end, watched the same way.
// Before each timed run the host writes the new tree to disk. Prints both and their
// ratio for each round (the two runs of a round see the same machine load) and
// the median of those ratios. A first warm-up round (cold caches, Wine's first
// start of each program) is printed but not counted.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "InstallLogWriter.h"
#include "SystemTest.h"
#include "UiTest.h"

static std::string DirPath(const std::string &root, int d)
{
    char sz[16];
    snprintf(sz, sizeof(sz), "\\d%02d", d);
    return root + sz;
}

static std::string FilePath(const std::string &root, int d, int n)
{
    char sz[32];
    snprintf(sz, sizeof(sz), "\\f%04d.dat", n);
    return DirPath(root, d) + sz;
}

static bool BuildTree(const std::string &root, int nDirs, int nFiles)
{
    static const std::vector<char> content(1024, 'k');
    CreateDirectoryA(root.c_str(), NULL);
    for (int d = 0; d < nDirs; ++d) {
        CreateDirectoryA(DirPath(root, d).c_str(), NULL);
        for (int f = 0; f < nFiles; ++f) {
            HANDLE h = CreateFileA(FilePath(root, d, d * nFiles + f).c_str(), GENERIC_WRITE, 0, NULL,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
            if (h == INVALID_HANDLE_VALUE)
                return false;
            DWORD cb;
            WriteFile(h, content.data(), (DWORD)content.size(), &cb, NULL);
            CloseHandle(h);
        }
    }
    return true;
}

static int CountLeft(const std::string &root, int nDirs)
{
    int n = 0;
    for (int d = 0; d < nDirs; ++d)
        n += GetFileAttributesA(DirPath(root, d).c_str()) != INVALID_FILE_ATTRIBUTES;
    return n;
}

static double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return (double)(to.QuadPart - from.QuadPart) / (double)freq.QuadPart;
}

// Under Wine, writes the host's dirty file data to disk and waits until that is
// done: the tree just built would otherwise be written back at some random point
// of a later timed run, which made single rounds swing by a third. The host's own
// "sync" runs through Wine's start of host programs; its end shows as a marker file
// it creates. Elsewhere nothing is done.
typedef char *(CDECL *UnixFileNameProc)(LPCWSTR);

static void SyncHostDisk()
{
    static const wchar_t szMarker[] = L"C:\\zx-bench-synced";
    UnixFileNameProc pfnUnixName =
        (UnixFileNameProc)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (pfnUnixName == NULL)
        return;
    DeleteFileW(szMarker);
    char *pszUnixMarker = pfnUnixName(szMarker);
    if (pszUnixMarker == NULL)
        return;
    std::string cmd = "Z:\\bin\\sh -c \"sync && : > '" + std::string(pszUnixMarker) + "'\"";
    HeapFree(GetProcessHeap(), 0, pszUnixMarker);
    PROCESS_INFORMATION pi;
    if (!UiStartProcess(cmd.c_str(), &pi))
        return;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // Wine gives no handle that ends with a host program: the marker tells.
    for (int i = 0; i < 2000 && GetFileAttributesW(szMarker) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(5);
    DeleteFileW(szMarker);
}

// The outcome box: a shown dialog of the process captioned "Uninstall". Looked up
// by class and caption in one request and read from the system's own records only
// (GetWindowText of another process's window sends it nothing), so the watch costs
// the machine little; a watch that sent messages would keep Kolvu's main thread
// answering the benchmark all through the removal.
static HWND FindOutcomeBox(DWORD dwProcessId)
{
    HWND hWnd = NULL;
    while ((hWnd = FindWindowExA(NULL, hWnd, UI_DIALOG_CLASS, "Uninstall")) != NULL) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hWnd, &pid);
        if (pid == dwProcessId && IsWindowVisible(hWnd))
            return hWnd;
    }
    return NULL;
}

// Runs the command line and watches it the same way for either program, so that
// both pay the same for being watched: every WATCH_INTERVAL_MS until it ends or
// shows the outcome box, for at most dwTimeoutMs. Returns the seconds from the
// start to the box, plus from the answer to the end (the time the box waits for
// its answer is not the program's), or to the end when there is no box; -1 on
// failure or when the box came or stayed away against bBoxExpected.
static const DWORD WATCH_INTERVAL_MS = 10;

static double TimeRun(const std::string &cmd, bool bBoxExpected, DWORD dwTimeoutMs)
{
    PROCESS_INFORMATION pi;
    LARGE_INTEGER t0, tBox, tAnswer, tEnd;
    QueryPerformanceCounter(&t0);
    if (!UiStartProcess(cmd.c_str(), &pi))
        return -1;
    HWND hBox = NULL;
    DWORD dwStarted = GetTickCount();
    while (!hBox && GetTickCount() - dwStarted < dwTimeoutMs &&
           WaitForSingleObject(pi.hProcess, WATCH_INTERVAL_MS) == WAIT_TIMEOUT)
        hBox = FindOutcomeBox(pi.dwProcessId);
    QueryPerformanceCounter(&tBox);
    QueryPerformanceCounter(&tAnswer);
    if (hBox)
        UiPressButton(hBox, IDOK);
    DWORD code = UiWaitExit(&pi, dwTimeoutMs);
    QueryPerformanceCounter(&tEnd);
    if (code != 0 || (hBox != NULL) != bBoxExpected)
        return -1;
    return Seconds(t0, tBox) + Seconds(tAnswer, tEnd);
}

static double TimeKolvu(const std::string &logPath)
{
    return TimeRun("\"" + BinDir() + "\\Kolvu.exe\" \"" + logPath + "\" /yes", true, 60000);
}

static double TimeLowerBound(const std::string &root, int nDirs, int nFiles)
{
    char szArgs[64];
    snprintf(szArgs, sizeof(szArgs), " %d %d", nDirs, nFiles);
    return TimeRun("\"" + BinDir() + "\\bench_lowerbound.exe\" \"" + root + "\"" + szArgs, false, 120000);
}

int main(int argc, char **argv)
{
    std::string root = argc > 1 ? argv[1] : "C:\\ZxBench";
    int nDirs = argc > 2 ? atoi(argv[2]) : 100;
    int nFiles = argc > 3 ? atoi(argv[3]) : 100;
    int nRounds = argc > 4 ? atoi(argv[4]) : 5;
    if (nDirs < 1 || nDirs > 100 || nFiles < 1 || nDirs * nFiles > 10000 || nRounds < 1)
        return 2;

    LetWineDrawFrames();

    std::string logDir = root + "-log";
    std::string logPath = logDir + "\\uninst.log";
    InstallLogWriter log;
    log.AddApp("ZxBench", root + "\\");
    for (int d = 0; d < nDirs; ++d)
        for (int f = 0; f < nFiles; ++f)
            log.AddFile(FilePath(root, d, d * nFiles + f));
    for (int d = 0; d < nDirs; ++d)
        log.AddDirectory(DirPath(root, d));
    log.AddDirectory(root);

    printf("%d files of 1 KB in %d directories, %d rounds after a warm-up\n", nDirs * nFiles, nDirs, nRounds);
    std::vector<double> ratios;
    for (int r = 0; r <= nRounds; ++r) {
        if (!BuildTree(root, nDirs, nFiles))
            return 1;
        CreateDirectoryA(logDir.c_str(), NULL);
        if (!log.Save(logPath))
            return 1;
        SyncHostDisk();
        double k = TimeKolvu(logPath);
        int leftK = CountLeft(root, nDirs);
        if (!BuildTree(root, nDirs, nFiles))
            return 1;
        SyncHostDisk();
        double l = TimeLowerBound(root, nDirs, nFiles);
        int leftL = CountLeft(root, nDirs);
        RemoveDirectoryA(root.c_str());
        char szRound[16] = "warm-up";
        if (r)
            snprintf(szRound, sizeof(szRound), "round %d", r);
        printf("%s: Kolvu.exe %.3f s (%d directories left), lower bound %.3f s (%d left), ratio %.2f\n", szRound, k,
               leftK, l, leftL, k / l);
        if (k < 0 || l < 0 || leftK || leftL)
            return 1;
        if (r)
            ratios.push_back(k / l);
    }
    std::sort(ratios.begin(), ratios.end());
    size_t mid = ratios.size() / 2;
    double median = ratios.size() % 2 ? ratios[mid] : (ratios[mid - 1] + ratios[mid]) / 2;
    printf("median ratio %.2f of %d rounds (best %.2f, worst %.2f)\n", median, nRounds, ratios.front(), ratios.back());
    printf("goal Kolvu.exe / lower bound: %.2f, at most 1.2: %s\n", median, median <= 1.2 ? "met" : "NOT met");
    return 0;
}
