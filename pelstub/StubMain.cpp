// StubMain.cpp -- the loader stub's entry point and the order of its steps.
//
// The stub is built without the C runtime (it must stay small and import
// nothing a planted DLL could stand in for), so this is the process entry.
#include "Stub.h"
#include "Text.h"

StubState Stub;

namespace {

void Finish(void)
{
    CloseProgressDialog();
    CloseSelfArchive();
    ReleaseKept();
}

int RunStub(void)
{
    int switchesOk = StubParseSwitches(TextSkipProgramName(GetCommandLineA()), &Stub.switches);
    // A silent run shows no window: it does without the common controls.
    if (!Stub.switches.silent) {
        InitCommonControlsAtRunTime();
        PreloadDialogHelpers();
    }
    if (!switchesOk) {
        ShowStubMessage("The folder given with /d: is empty or too long.", NULL);
        return STUB_EXIT_DAMAGED;
    }
    // Everything is checked before the first byte is written; a stream too
    // large to keep, before the first file is moved to its name.
    if (!OpenSelfArchive() || !CheckArchive() || !CheckLaunchFile())
        return STUB_EXIT_DAMAGED;

    int setup = Stub.header.moduleType == SFX_MODULE_SETUP;
    if (!ChooseDefaultDestination(Stub.destination, sizeof(Stub.destination)))
        return STUB_EXIT_WRITE;
    if (!Stub.switches.silent && Stub.header.showDialog && !ShowOpenDialog())
        return STUB_EXIT_CANCELLED;
    int result = PrepareDestination();
    if (result != STUB_EXIT_OK)
        return result;

    ShowProgressDialog();
    result = ExtractArchive();
    Finish();
    if (result == STUB_EXIT_OK && Stub.launchFile[0]) {
        DWORD exitCode = 0;
        if (!LaunchProgram(setup, &exitCode))
            result = STUB_EXIT_LAUNCH;
        else if (setup)
            result = (int)exitCode;
    } else if (result == STUB_EXIT_OK && !setup && !Stub.switches.silent && Stub.header.showDialog) {
        char text[MAX_PATH + 64];
        wsprintfA(text, "The files were extracted to:\n%s", Stub.destination);
        MessageBoxA(NULL, text, StubCaption(), MB_OK | MB_ICONINFORMATION);
    }
    if (Stub.ownsDestination)
        RemoveWrittenFiles(Stub.destination);
    return result;
}

}  // namespace

extern "C" void __stdcall StubEntry(void)
{
    RestrictDllSearch();
    int result = RunStub();
    Finish();
    ExitProcess((UINT)result);
}
