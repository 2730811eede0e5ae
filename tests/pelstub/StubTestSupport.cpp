// StubTestSupport.cpp -- scratch folders and process runs for the stub's tests.
#include "StubTestSupport.h"

#include <sddl.h>
#include <string.h>

#include <algorithm>

#include "UiTest.h"

std::string TempFolder()
{
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof(temp), temp);
    std::string path(temp, length);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

ScratchFolder::ScratchFolder(const char *tag)
{
    static int counter;
    char name[64];
    wsprintfA(name, "\\zxstub-%s-%lu-%d", tag, GetCurrentProcessId(), ++counter);
    path = TempFolder() + name;
    DeleteTree(path);
    CreateDirectoryA(path.c_str(), NULL);
}

ScratchFolder::~ScratchFolder()
{
    DeleteTree(path);
}

bool FileExists(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> FolderNames(const std::string &folder, const char *pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

namespace {

struct WindowWatch {
    DWORD process;
    std::vector<HWND> seen;
};

BOOL CALLBACK NoteWindow(HWND window, LPARAM context)
{
    WindowWatch *watch = (WindowWatch *)context;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == watch->process && std::find(watch->seen.begin(), watch->seen.end(), window) == watch->seen.end())
        watch->seen.push_back(window);
    return TRUE;
}

}  // namespace

DWORD RunSfxCountingWindows(const std::string &sfx, const std::string &arguments, int *windows)
{
    std::string line = "\"" + sfx + "\"" + (arguments.empty() ? "" : " " + arguments);
    PROCESS_INFORMATION pi;
    *windows = 0;
    if (!UiStartProcess(line.c_str(), &pi))
        return 0xDEADu;
    WindowWatch watch = {pi.dwProcessId, {}};
    // A window made and gone between two looks would be missed, so look often;
    // a message box waits for an answer and can't be missed.
    for (int i = 0; i < 10000 && WaitForSingleObject(pi.hProcess, 2) == WAIT_TIMEOUT; i++)
        EnumWindows(NoteWindow, (LPARAM)&watch);
    *windows = (int)watch.seen.size();
    return UiWaitExit(&pi, 1000);
}

DWORD RunSfx(const std::string &sfx, const std::string &arguments, const std::string &directory)
{
    std::string line = "\"" + sfx + "\"" + (arguments.empty() ? "" : " " + arguments);
    PROCESS_INFORMATION pi;
    if (!UiStartProcess(line.c_str(), &pi, directory.empty() ? NULL : directory.c_str()))
        return 0xDEADu;
    return UiWaitExit(&pi, 30000);
}

DWORD RunConsole(const std::string &commandLine, const std::string &directory, std::string *out, std::string *err)
{
    // Files, not pipes: Wine's background processes may inherit a pipe and hold it open.
    static int serial;
    std::string tag = std::to_string(++serial) + ".txt";
    std::string paths[2] = {directory + "\\console-out-" + tag, directory + "\\console-err-" + tag};
    SECURITY_ATTRIBUTES sa = {sizeof(sa), NULL, TRUE};
    HANDLE files[2];
    for (int i = 0; i < 2; i++)
        files[i] = CreateFileA(paths[i].c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, &sa,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = NULL;
    si.hStdOutput = files[0];
    si.hStdError = files[1];
    PROCESS_INFORMATION pi;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    DWORD code = 0xDEADu;
    // Without a console: Wine would start a console host that inherits the
    // files and holds them open past the program's end.
    if (CreateProcessA(NULL, line.data(), NULL, NULL, TRUE, DETACHED_PROCESS, NULL, directory.c_str(), &si, &pi))
        code = UiWaitExit(&pi, 60000);
    for (int i = 0; i < 2; i++)
        CloseHandle(files[i]);
    *out = ReadWholeFile(paths[0]);
    *err = ReadWholeFile(paths[1]);
    for (int i = 0; i < 2; i++)
        DeleteFileA(paths[i].c_str());
    return code;
}

std::string CurrentUserSid()
{
    HANDLE token;
    std::string text;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return text;
    union {
        TOKEN_USER user;
        char bytes[256];
    } info;
    DWORD length = 0;
    char *sid = NULL;
    if (GetTokenInformation(token, TokenUser, &info, sizeof(info), &length) &&
        ConvertSidToStringSidA(info.user.User.Sid, &sid)) {
        text = sid;
        LocalFree(sid);
    }
    CloseHandle(token);
    return text;
}

HWND WaitMessageBox(DWORD process, const std::string &start)
{
    for (DWORD waited = 0; waited < TestWaitMs(10000); waited += 100, Sleep(100)) {
        for (HWND w : UiProcessWindows(process, UI_DIALOG_CLASS)) {
            if (UiMessageBoxText(w).compare(0, start.size(), start) == 0)
                return w;
        }
    }
    return NULL;
}

namespace {

// In place of the system's generator: the 32-bit counter at the code's end
// goes into the caller's buffer and counts on, and the call succeeds.
#ifdef _WIN64
const uint8_t kCounterCode[] = {0x8B, 0x05, 11, 0, 0, 0,   // mov eax, [counter]
                                0x89, 0x01,                // mov [rcx], eax
                                0xFF, 0x05, 3, 0, 0, 0,    // inc dword [counter]
                                0xB0, 0x01, 0xC3};         // mov al, 1; ret
#else
const uint8_t kCounterCode[] = {0x8B, 0x44, 0x24, 0x04,        // mov eax, [esp+4]
                                0x8B, 0x0D, 0, 0, 0, 0,        // mov ecx, [counter]
                                0x89, 0x08,                    // mov [eax], ecx
                                0xFF, 0x05, 0, 0, 0, 0,        // inc dword [counter]
                                0xB0, 0x01, 0xC2, 0x08, 0x00};  // mov al, 1; ret 8
#endif

// Replaces the child's generator once its advapi32 is where ours is (system
// DLLs share one address in every process); false until then.
bool PatchGenerator(HANDLE process, uint8_t *target, uint32_t first)
{
    uint8_t code[sizeof(kCounterCode) + 4];
    uint8_t theirs[sizeof(code)];
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, target, theirs, sizeof(theirs), &got) || memcmp(theirs, target, sizeof(theirs)))
        return false;
    memcpy(code, kCounterCode, sizeof(kCounterCode));
    memcpy(code + sizeof(kCounterCode), &first, 4);
#ifndef _WIN64
    uint32_t counter = (uint32_t)(uintptr_t)(target + sizeof(kCounterCode));
    memcpy(code + 6, &counter, 4);
    memcpy(code + 14, &counter, 4);
#endif
    DWORD old = 0;
    return VirtualProtectEx(process, target, sizeof(code), PAGE_EXECUTE_READWRITE, &old) &&
           WriteProcessMemory(process, target, code, sizeof(code), &got) && got == sizeof(code) &&
           FlushInstructionCache(process, target, sizeof(code));
}

}  // namespace

DWORD RunSfxDrawingFrom(const std::string &sfx, const std::string &arguments, uint32_t first)
{
    uint8_t *target = (uint8_t *)(void *)GetProcAddress(GetModuleHandleA("advapi32.dll"), "SystemFunction036");
    std::string line = "\"" + sfx + "\"" + (arguments.empty() ? "" : " " + arguments);
    PROCESS_INFORMATION pi;
    if (!target || !UiStartProcess(line.c_str(), &pi, NULL, DEBUG_ONLY_THIS_PROCESS))
        return STUB_NOT_PATCHED;
    bool patched = false, ended = false;
    DEBUG_EVENT event;
    while (!patched && !ended && WaitForDebugEvent(&event, 30000)) {
        DWORD status = DBG_CONTINUE;
        if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT)
            CloseHandle(event.u.CreateProcessInfo.hFile);
        else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT)
            CloseHandle(event.u.LoadDll.hFile);
        else if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT)
            ended = true;
        else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                 event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
            status = DBG_EXCEPTION_NOT_HANDLED;
        patched = !ended && PatchGenerator(pi.hProcess, target, first);
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    DebugSetProcessKillOnExit(FALSE);
    DebugActiveProcessStop(pi.dwProcessId);
    if (!patched) {
        TerminateProcess(pi.hProcess, 1);
        UiWaitExit(&pi, 5000);
        return STUB_NOT_PATCHED;
    }
    return UiWaitExit(&pi, 30000);
}
