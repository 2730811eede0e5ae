// RemovalTestSupport.h -- scratch directories, registry probes and a
// restart dialog for the removal tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "SystemTest.h"

// Full path of a file beside the test program (the fixtures land there).
std::string BinPath(const char *pszName);

// A fresh directory under the temporary directory, removed with its contents at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string &Path() const { return m_path; }
    // m_path + "\\" + name
    std::string operator/(const std::string &name) const;
private:
    std::string m_path;
};

std::string ShortPath(const std::string &path);

// Sources of the NT family's pending deletions, as the system stored them.
std::vector<std::string> PendingDeletions();
// Takes every pending operation whose source contains the text out of the store again,
// so that no later restart of the prefix acts on a test's leftovers.
void ForgetPendingDeletions(const std::string &containing);

// The restart dialog from the program's template, with a do-nothing procedure, and the
// run record's flags reset, as the start-up leaves them.
class RestartDialogScope {
public:
    RestartDialogScope();
    ~RestartDialogScope();
    HWND Dialog() const { return m_hDlg; }
    // The files reported locked within the scope, as the dialog's list shows them.
    std::vector<std::string> LockedList() const;
private:
    HWND m_hDlg;
    size_t m_nEarlier = 0;   // reported before the scope began
};

// Starts a copy of this test program, named so that Wine reports the 95 family to it,
// with the filter given; returns its exit code (or a large value on failure to start).
DWORD RunAsWin98Child(const char *pszGtestFilter);
// True inside such a child.
bool IsWin98Child();
