// BenchUninstall.cpp -- times Kolvu.exe removing 10,000 files in 100 directories against bench_lowerbound.exe.
//
//   bench_uninstall.exe [root] [directories] [files per directory] [rounds]
//
// Each round builds the tree of 1 KB files, writes the install log (one record
// per file, then one per directory), and times "Kolvu.exe <log> /yes" from its
// start to its final message plus from the answer to its end (the time the
// message box waits for its answer is not Kolvu's). Then it builds the tree again
// and times the lower-bound program from start to end. Prints both and their
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

static std::string BinDir()
{
    char szPath[MAX_PATH];
    GetModuleFileNameA(NULL, szPath, MAX_PATH);
    *strrchr(szPath, '\\') = '\0';
    return szPath;
}

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

// The outcome box: a shown dialog of the process captioned "Uninstall". Read from
// the system's own records only (GetWindowText of another process's window sends
// it nothing): a poll every 5 ms that sent messages would keep Kolvu's main thread
// answering the benchmark all through the removal, which the lower bound never does.
struct BoxSearch {
    DWORD dwProcessId;
    HWND hFound;
};

static BOOL CALLBACK MatchBox(HWND hWnd, LPARAM lParam)
{
    BoxSearch *search = (BoxSearch *)lParam;
    DWORD pid = 0;
    char sz[64];
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid != search->dwProcessId || !IsWindowVisible(hWnd) || !GetClassNameA(hWnd, sz, sizeof(sz)) ||
        strcmp(sz, UI_DIALOG_CLASS) != 0 || !GetWindowTextA(hWnd, sz, sizeof(sz)) || strcmp(sz, "Uninstall") != 0)
        return TRUE;
    search->hFound = hWnd;
    return FALSE;
}

static HWND FindOutcomeBox(DWORD dwProcessId)
{
    BoxSearch search = {dwProcessId, NULL};
    EnumWindows(MatchBox, (LPARAM)&search);
    return search.hFound;
}

// Kolvu's own time: start to the final message, plus answer to exit.
static double TimeKolvu(const std::string &logPath)
{
    std::string cmd = "\"" + BinDir() + "\\Kolvu.exe\" \"" + logPath + "\" /yes";
    PROCESS_INFORMATION pi;
    LARGE_INTEGER t0, tBox, tAnswer, tEnd;
    QueryPerformanceCounter(&t0);
    if (!UiStartProcess(cmd.c_str(), &pi))
        return -1;
    HWND hBox = NULL;
    while (!hBox && WaitForSingleObject(pi.hProcess, 5) == WAIT_TIMEOUT)
        hBox = FindOutcomeBox(pi.dwProcessId);
    QueryPerformanceCounter(&tBox);
    if (!hBox) {
        UiWaitExit(&pi, 1000);
        return -1;
    }
    QueryPerformanceCounter(&tAnswer);
    UiPressButton(hBox, IDOK);
    DWORD code = UiWaitExit(&pi, 60000);
    QueryPerformanceCounter(&tEnd);
    if (code != 0)
        return -1;
    return Seconds(t0, tBox) + Seconds(tAnswer, tEnd);
}

static double TimeLowerBound(const std::string &root, int nDirs, int nFiles)
{
    char szArgs[64];
    snprintf(szArgs, sizeof(szArgs), " %d %d", nDirs, nFiles);
    std::string cmd = "\"" + BinDir() + "\\bench_lowerbound.exe\" \"" + root + "\"" + szArgs;
    PROCESS_INFORMATION pi;
    LARGE_INTEGER t0, tEnd;
    QueryPerformanceCounter(&t0);
    if (!UiStartProcess(cmd.c_str(), &pi))
        return -1;
    DWORD code = UiWaitExit(&pi, 120000);
    QueryPerformanceCounter(&tEnd);
    return code == 0 ? Seconds(t0, tEnd) : -1;
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
        double k = TimeKolvu(logPath);
        int leftK = CountLeft(root, nDirs);
        if (!BuildTree(root, nDirs, nFiles))
            return 1;
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
