// Application.h -- the application object: command-line arguments, option
// queries and the fixed sequence Initialize, Run, Finish.
#pragma once
#include <windows.h>

// The program's instance handle, stored by WinMain before anything else runs;
// every dialog of the uninstaller is created with it.
extern HINSTANCE AppInstance;

class Application {
public:
    Application();
    // No destructor: the entry point's object simply goes out of scope.

    // Splits the command line, traces the arguments, calls Dispatch and frees
    // the arguments. -1 when splitting ran out of memory, else Dispatch's result.
    int Start(HINSTANCE hInstance, char *pszCommandLine, int nShowCommand);
    // 0 after a switch operation, -1 when Initialize fails, else exitCode.
    int Dispatch(HINSTANCE hInstance);
    // Fills arguments and argumentCount from commandLine; 0 when an allocation failed.
    int ParseCommandLine();
    // Nonzero when some argument is "/" or "-" and the option name, in any case.
    int HasOption(const char *pszOption) const;

    virtual void OnInstall();
    virtual void OnUninstall();
    virtual int Initialize();
    virtual int Run() = 0;
    virtual void Finish();

    HINSTANCE instance;
    char **arguments;
    DWORD argumentCount;
    char *commandLine;          // not owned, never modified here
    int showCommand;
    int exitCode;
    BOOL switchesEnabled;       // honour /INSTALL and /UNINSTALL; the uninstaller leaves it 0

private:
    void FreeArguments();
};
