// WinMain.cpp -- Brolt's entry: checks its own file, sets the defaults and runs the wizard.
#include <windows.h>
#include <commctrl.h>

#include "ImageChecksum.h"
#include "SfxSettings.h"
#include "Wizard.h"

static int IsOwnImageIntact(void)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    return n != 0 && n < sizeof(path) && VerifyExecutableFile(path);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd)
{
    (void)hPrevInstance;
    (void)lpCmdLine;
    (void)nShowCmd;

    BroltInstance = hInstance;
    if (!IsOwnImageIntact()) {
        MessageBoxA(NULL, "The program file Brolt.exe is corrupt and can't be run.\nPlease install it again.",
                    BROLT_CAPTION, MB_OK | MB_ICONSTOP);
        return -1;
    }

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    SetDefaultSfxSettings(&SfxSettings);
    RunWizard();
    return 0;
}
