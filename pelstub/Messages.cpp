// Messages.cpp -- the stub's message boxes, suppressed in a silent run.
#include "Stub.h"

const char *StubCaption(void)
{
    return Stub.appName[0] ? Stub.appName : "Zendrix Self-Extractor";
}

void ShowStubMessage(const char *format, const char *argument)
{
    if (Stub.switches.silent)
        return;
    // wsprintfA writes at most 1024 bytes; arguments are paths of MAX_PATH at most.
    char text[1024];
    wsprintfA(text, format, argument ? argument : "");
    MessageBoxA(NULL, text, StubCaption(), MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}
