// WizardHarness.h -- runs Brolt's real wizard modeless inside a test process and
// answers its message boxes from a second thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Presses OK on every message box with the program's caption that this thread
// shows, and keeps their texts in order. A hook on the thread sees each box as
// its dialog is set up, so no second thread has to find it on the screen.
class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    std::vector<std::string> Texts() const { return texts_; }
    void Clear() { texts_.clear(); }

private:
    static LRESULT CALLBACK OnCallWndProcRet(int code, WPARAM wParam, LPARAM lParam);
    static MessageBoxWatcher *current_;
    HHOOK hook_ = NULL;
    std::vector<std::string> texts_;
};

// The six-page wizard, as the program builds it, but modeless.
class WizardUnderTest {
public:
    WizardUnderTest();
    ~WizardUnderTest();
    HWND Sheet() const { return sheet_; }
    HWND Page() const;
    int PageIndex() const;  // 0 for page 1
    void Next();
    void Back();
    // Moves forward with Next until page index `index` shows (false if stuck).
    bool GoTo(int index);
    // A real click: the check state of auto buttons changes, WM_COMMAND follows.
    void Click(int id);
    bool Checked(int id) const;
    bool Enabled(int id) const;
    std::string Text(int id) const;
    void SetText(int id, const std::string &text);
    bool WizardButtonEnabled(int id) const;
    // Page 2's list view, column 0 and column 1 of each item from the top.
    std::vector<std::string> ListNames() const;
    std::vector<std::string> ListSizes() const;
    void Pump() const;

private:
    HWND sheet_ = NULL;
};

// A fresh directory under the temporary directory, made current; removed with
// everything in it when the object goes.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    const std::string &Path() const { return path_; }
    std::string File(const std::string &name) const { return path_ + "\\" + name; }
    std::string MakeFile(const std::string &name, size_t size, char fill = 'x') const;

private:
    std::string path_;
    char previous_[MAX_PATH];
};

// Directory of the test program (where KANTOR.EXE and Brolt.chm are).
std::string ProgramDirectory();
// Drops the paths on the window as Explorer would, in this order.
void DropFiles(HWND target, const std::vector<std::string> &paths);
