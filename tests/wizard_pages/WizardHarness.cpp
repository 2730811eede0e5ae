// WizardHarness.cpp -- modeless wizard, message-box answering thread and scratch folders for page tests.
#include "WizardHarness.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shellapi.h>
#include <stdio.h>

#include "SfxSettings.h"
#include "SystemTest.h"
#include "UiTest.h"
#include "Wizard.h"

MessageBoxWatcher *MessageBoxWatcher::current_;

MessageBoxWatcher::MessageBoxWatcher()
{
    current_ = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, OnCallWndProcRet, NULL, GetCurrentThreadId());
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
    current_ = NULL;
}

LRESULT CALLBACK MessageBoxWatcher::OnCallWndProcRet(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT *call = (const CWPRETSTRUCT *)lParam;
    if (code == HC_ACTION && current_ && call->message == WM_INITDIALOG) {
        char caption[64] = "", cls[16] = "";
        GetClassNameA(call->hwnd, cls, sizeof(cls));
        GetWindowTextA(call->hwnd, caption, sizeof(caption));
        HWND text = GetDlgItem(call->hwnd, 0xFFFF);
        if (strcmp(cls, UI_DIALOG_CLASS) == 0 && strcmp(caption, BROLT_CAPTION) == 0 && text) {
            char message[1024] = "";
            GetWindowTextA(text, message, sizeof(message));
            current_->texts_.push_back(message);
            // Taken up by the box's own modal loop, as a press of OK would be.
            PostMessageA(call->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

WizardUnderTest::WizardUnderTest()
{
    BroltInstance = GetModuleHandleA(NULL);
    SetDefaultSfxSettings(&SfxSettings);
    PROPSHEETHEADERA header;
    PROPSHEETPAGEA pages[WIZARD_PAGE_COUNT];
    FillWizardSheet(&header, pages);
    header.dwFlags |= PSH_MODELESS;
    sheet_ = (HWND)PropertySheetA(&header);
    Pump();
}

WizardUnderTest::~WizardUnderTest()
{
    if (sheet_)
        DestroyWindow(sheet_);
    Pump();
}

void WizardUnderTest::Pump() const
{
    // Posted button states and paint requests settle within a few rounds.
    for (int round = 0; round < 5; round++) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (!sheet_ || !PropSheet_IsDialogMessage(sheet_, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(5);
    }
}

HWND WizardUnderTest::Page() const { return PropSheet_GetCurrentPageHwnd(sheet_); }

int WizardUnderTest::PageIndex() const { return (int)PropSheet_HwndToIndex(sheet_, Page()); }

void WizardUnderTest::Next()
{
    PropSheet_PressButton(sheet_, PSBTN_NEXT);
    Pump();
}

void WizardUnderTest::Back()
{
    PropSheet_PressButton(sheet_, PSBTN_BACK);
    Pump();
}

bool WizardUnderTest::GoTo(int index)
{
    while (PageIndex() < index) {
        int before = PageIndex();
        Next();
        if (PageIndex() == before)
            return false;
    }
    return PageIndex() == index;
}

void WizardUnderTest::Click(int id)
{
    SendMessageA(GetDlgItem(Page(), id), BM_CLICK, 0, 0);
    Pump();
}

bool WizardUnderTest::Checked(int id) const { return IsDlgButtonChecked(Page(), id) == BST_CHECKED; }

bool WizardUnderTest::Enabled(int id) const { return IsWindowEnabled(GetDlgItem(Page(), id)) != FALSE; }

std::string WizardUnderTest::Text(int id) const
{
    char text[1024] = "";
    GetDlgItemTextA(Page(), id, text, sizeof(text));
    return text;
}

void WizardUnderTest::SetText(int id, const std::string &text) { SetDlgItemTextA(Page(), id, text.c_str()); }

bool WizardUnderTest::WizardButtonEnabled(int id) const
{
    HWND button = GetDlgItem(sheet_, id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

static std::vector<std::string> ListColumn(HWND list, int column)
{
    std::vector<std::string> lines;
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        char text[300] = "";
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(list, LVM_GETITEMTEXTA, (WPARAM)i, (LPARAM)&item);
        lines.push_back(text);
    }
    return lines;
}

std::vector<std::string> WizardUnderTest::ListNames() const { return ListColumn(GetDlgItem(Page(), 116), 0); }

std::vector<std::string> WizardUnderTest::ListSizes() const { return ListColumn(GetDlgItem(Page(), 116), 1); }

ScratchDirectory::ScratchDirectory()
{
    static int serial;
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    char name[MAX_PATH + 40];
    snprintf(name, sizeof(name), "%szxwiz%lu_%d", temp, GetCurrentProcessId(), ++serial);
    path_ = name;
    DeleteTree(path_);
    CreateDirectoryA(path_.c_str(), NULL);
    GetCurrentDirectoryA(sizeof(previous_), previous_);
    SetCurrentDirectoryA(path_.c_str());
}

ScratchDirectory::~ScratchDirectory()
{
    SetCurrentDirectoryA(previous_);
    DeleteTree(path_);
}

std::string ScratchDirectory::MakeFile(const std::string &name, size_t size, char fill) const
{
    std::string path = File(name);
    WriteTextFile(path, std::string(size, fill));
    return path;
}

std::string ProgramDirectory()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    char *slash = strrchr(path, '\\');
    if (slash)
        *slash = '\0';
    return path;
}

void DropFiles(HWND target, const std::vector<std::string> &paths)
{
    size_t chars = 1;
    for (const std::string &p : paths)
        chars += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char *at = (char *)(drop + 1);
    for (const std::string &p : paths) {
        memcpy(at, p.c_str(), p.size() + 1);
        at += p.size() + 1;
    }
    *at = '\0';
    GlobalUnlock(memory);
    // The page releases the drop, as it does with Explorer's.
    SendMessageA(target, WM_DROPFILES, (WPARAM)memory, 0);
}
