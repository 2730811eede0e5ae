// KolvuProcessTest.cpp -- the real Kolvu.exe as a user meets it: exit codes, the
// alert of a damaged copy, and the argument trace seen by a debugger.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "InstallLogWriter.h"

static const char kCorruptText[] =
    "The uninstaller's program file is corrupt and cannot be used.\n"
    "Please obtain a new copy of the application's setup.";

struct ProcessRun {
    bool started = false;
    bool finished = false;
    DWORD exitCode = 0;
    std::vector<std::string> boxTexts;   // every "Uninstall" message box, in order
    std::string debugOutput;             // everything sent to the debugger
};

struct BoxSearch {
    DWORD pid;
    HWND found;
};

static BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM lParam)
{
    BoxSearch *search = (BoxSearch *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char className[32] = "", caption[64] = "";
    GetClassNameA(hwnd, className, sizeof(className));
    GetWindowTextA(hwnd, caption, sizeof(caption));
    // A message box is the only dialog with the static text item 0xFFFF.
    if (pid == search->pid && IsWindowVisible(hwnd) && !strcmp(className, "#32770") &&
        !strcmp(caption, "Uninstall") && GetDlgItem(hwnd, 0xFFFF) != NULL) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Reads an open message box of the process and closes it with OK, or No when
// it has no OK, so that nothing restarts the system.
static void DismissBoxes(DWORD pid, ProcessRun &run)
{
    BoxSearch search = {pid, NULL};
    EnumWindows(FindMessageBox, (LPARAM)&search);
    if (search.found == NULL)
        return;
    char text[1024] = "";
    GetDlgItemTextA(search.found, 0xFFFF, text, sizeof(text));
    run.boxTexts.push_back(text);
    HWND button = GetDlgItem(search.found, IDOK);
    if (button == NULL)
        button = GetDlgItem(search.found, IDNO);
    if (button != NULL)
        PostMessageA(button, BM_CLICK, 0, 0);
    Sleep(200);
}

static void CollectDebugString(const PROCESS_INFORMATION &pi, const DEBUG_EVENT &event,
                               ProcessRun &run)
{
    const OUTPUT_DEBUG_STRING_INFO &info = event.u.DebugString;
    if (info.fUnicode || info.nDebugStringLength == 0 || info.nDebugStringLength > 4096)
        return;
    std::vector<char> text(info.nDebugStringLength);
    SIZE_T got = 0;
    if (ReadProcessMemory(pi.hProcess, info.lpDebugStringData, text.data(), text.size(), &got))
        run.debugOutput.append(text.data(), strnlen(text.data(), got));
}

// Starts the exact command line, presses every box it shows, and waits up to
// `seconds` for its end. With `debug` the test is the program's debugger.
static ProcessRun RunKolvu(const std::string &commandLine, bool debug, int seconds = 30)
{
    ProcessRun run;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, debug ? DEBUG_ONLY_THIS_PROCESS : 0,
                        NULL, NULL, &si, &pi))
        return run;
    run.started = true;
    DWORD deadline = GetTickCount() + (DWORD)seconds * 1000;
    while (!run.finished && (int)(deadline - GetTickCount()) > 0) {
        if (debug) {
            DEBUG_EVENT event;
            while (WaitForDebugEvent(&event, 50)) {
                if (event.dwDebugEventCode == OUTPUT_DEBUG_STRING_EVENT)
                    CollectDebugString(pi, event, run);
                if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT)
                    CloseHandle(event.u.CreateProcessInfo.hFile);
                if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT)
                    CloseHandle(event.u.LoadDll.hFile);
                bool exited = event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT;
                ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
                if (exited)
                    break;
            }
        }
        if (WaitForSingleObject(pi.hProcess, debug ? 0 : 100) == WAIT_OBJECT_0)
            run.finished = true;
        else
            DismissBoxes(pi.dwProcessId, run);
    }
    if (run.finished)
        GetExitCodeProcess(pi.hProcess, &run.exitCode);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}

static std::string FullPath(const char *name)
{
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(name, sizeof(full), full, NULL);
    return n > 0 && n < sizeof(full) ? std::string(full) : std::string(name);
}

// A copy of Kolvu.exe with one byte changed at `offset` (from the end when negative).
static std::string DamagedCopy(const char *name, long offset, uint8_t mask)
{
    Bytes image = ReadFileBytes("Kolvu.exe");
    EXPECT_GT(image.size(), 4096u);
    size_t at = offset >= 0 ? (size_t)offset : image.size() - (size_t)(-offset);
    image[at] ^= mask;
    EXPECT_TRUE(WriteFileBytes(name, image));
    return FullPath(name);
}

static uint32_t PeHeaderOffset()
{
    Bytes image = ReadFileBytes("Kolvu.exe");
    return image.size() > 0x40 ? image[0x3C] | (image[0x3D] << 8) : 0;
}

// A log with no records in a folder of its own, which a full run may remove.
static std::string EmptyLogPath(const char *folder)
{
    CreateDirectoryA(folder, NULL);
    std::string path = FullPath(folder) + "\\uninst.log";
    InstallLogWriter log;
    EXPECT_TRUE(log.Save(path));
    return path;
}

TEST(KolvuProcess, DamagedCopiesShowTheAlertAndExitWithMinusOne)
{
    uint32_t pe = PeHeaderOffset();
    ASSERT_GT(pe, 0u);
    const struct { const char *name; long offset; uint8_t mask; } copies[] = {
        {"KolvuDamagedEnd.exe", -1, 0x01},          // last byte of the file
        {"KolvuDamagedStamp.exe", (long)pe + 8, 0x40},   // link time stamp in the header
        {"KolvuUnstamped.exe", (long)pe + 88, 0xFF},    // the stored checksum itself
    };
    for (auto &c : copies) {
        std::string path = DamagedCopy(c.name, c.offset, c.mask);
        ProcessRun run = RunKolvu("\"" + path + "\" C:\\nowhere\\uninst.log /yes", false);
        ASSERT_TRUE(run.started) << c.name;
        ASSERT_TRUE(run.finished) << c.name;
        EXPECT_EQ(run.exitCode, (DWORD)-1) << c.name;
        ASSERT_EQ(run.boxTexts.size(), 1u) << c.name;
        EXPECT_EQ(run.boxTexts[0], kCorruptText);
        DeleteFileA(path.c_str());
    }
}

TEST(KolvuProcess, IntactProgramPassesItsSelfCheckAndExitsWithZero)
{
    std::string log = EmptyLogPath("kolvu_entry_run");
    ProcessRun run = RunKolvu("\"" + FullPath("Kolvu.exe") + "\" \"" + log + "\" /yes", false);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    for (const std::string &text : run.boxTexts)
        EXPECT_EQ(text.find("corrupt"), std::string::npos) << text;
    DeleteFileA(log.c_str());
    RemoveDirectoryA("kolvu_entry_run");
}

TEST(KolvuProcess, TracesEachArgumentToTheDebugger)
{
    std::string log = EmptyLogPath("kolvu_entry_trace");
    ProcessRun run =
        RunKolvu("\"" + FullPath("Kolvu.exe") + "\" \"" + log + "\" /yes  \"a\"\"b\"", true);
    ASSERT_TRUE(run.finished);
    std::string expected = "Parameter: " + log +
                           "\nParameter: /yes\nParameter: a\"b\n";
    EXPECT_NE(run.debugOutput.find(expected), std::string::npos) << run.debugOutput;
    DeleteFileA(log.c_str());
    RemoveDirectoryA("kolvu_entry_trace");
}

TEST(KolvuProcess, StartUpFailureExitsWithMinusOne)
{
    const std::string kolvu = "\"" + FullPath("Kolvu.exe") + "\"";
    for (const std::string &arguments : {std::string(""), std::string(" C:\\nowhere\\uninst.log /yes"),
                                         std::string(" /yes")}) {
        ProcessRun run = RunKolvu(kolvu + arguments, false);
        ASSERT_TRUE(run.finished) << arguments;
        EXPECT_EQ(run.exitCode, (DWORD)-1) << arguments;
        EXPECT_EQ(run.boxTexts.size(), 1u) << "the failure is reported once: " << arguments;
    }
}
