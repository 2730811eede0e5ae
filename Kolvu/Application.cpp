// Application.cpp -- the application object's command line, trace and dispatch.
#include "Application.h"

#include "CommandLine.h"

HINSTANCE AppInstance = NULL;

Application::Application()
    : instance(NULL), arguments(NULL), argumentCount(0), commandLine(NULL),
      showCommand(SW_SHOW), exitCode(0), switchesEnabled(FALSE)
{
}

void Application::OnInstall() {}
void Application::OnUninstall() {}
int Application::Initialize() { return 1; }
void Application::Finish() {}

int Application::ParseCommandLine()
{
    HANDLE heap = GetProcessHeap();
    DWORD count = CountArguments(commandLine);
    argumentCount = 0;
    // One slot more than needed, so that an empty line still gets a valid block.
    arguments = (char **)HeapAlloc(heap, HEAP_ZERO_MEMORY, (count + 1) * sizeof(char *));
    if (arguments == NULL)
        return 0;

    const char *pszPos = commandLine;
    for (DWORD i = 0; i < count && pszPos != NULL; i++) {
        uint32_t length = 0;
        NextToken(pszPos, NULL, &length);
        // Ten spare bytes, as the program has always allocated; the scan is bounded by the capacity anyway.
        char *pszArgument = (char *)HeapAlloc(heap, 0, length + 10);
        if (pszArgument == NULL)
            return 0;
        uint32_t capacity = length + 10;
        pszPos = NextToken(pszPos, pszArgument, &capacity);
        StripOuterQuotes(pszArgument);
        arguments[i] = pszArgument;
        argumentCount = i + 1;
    }
    return 1;
}

int Application::HasOption(const char *pszOption) const
{
    for (DWORD i = 0; i < argumentCount; i++) {
        if (IsOptionArgument(arguments[i], pszOption))
            return 1;
    }
    return 0;
}

int Application::Dispatch(HINSTANCE hInstance)
{
    instance = hInstance;
    if (switchesEnabled) {
        if (HasOption("INSTALL")) {
            OnInstall();
            return 0;
        }
        if (HasOption("UNINSTALL")) {
            OnUninstall();
            return 0;
        }
    }
    if (!Initialize())
        return -1;
    exitCode = Run();
    Finish();
    return exitCode;
}

void Application::FreeArguments()
{
    HANDLE heap = GetProcessHeap();
    for (DWORD i = 0; i < argumentCount; i++)
        HeapFree(heap, 0, arguments[i]);
    HeapFree(heap, 0, arguments);
    arguments = NULL;
    argumentCount = 0;
}

int Application::Start(HINSTANCE hInstance, char *pszCommandLine, int nShowCommand)
{
    commandLine = pszCommandLine;
    // On failure the strings already made are left for the process end.
    if (!ParseCommandLine())
        return -1;
    for (DWORD i = 0; i < argumentCount; i++) {
        OutputDebugStringA("Parameter: ");
        OutputDebugStringA(arguments[i]);
        OutputDebugStringA("\n");
    }
    showCommand = nShowCommand;
    int result = Dispatch(hInstance);
    FreeArguments();
    return result;
}
