// WinMain.cpp -- the uninstaller's entry point: self-check, then the application object.
#include "Application.h"
#include "SelfCheck.h"
#include "UninstallApplication.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd)
{
    (void)hPrevInstance;
    AppInstance = hInstance;
    if (!SelfCheck())
        return -1;
    UninstallApplication application;
    return application.Start(hInstance, lpCmdLine, nShowCmd);
}
