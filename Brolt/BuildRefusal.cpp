// BuildRefusal.cpp -- the wizard's build of its settings through the shared build library, and its refusals as messages.
#include "BuildRefusal.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "SfxBuild.h"
#include "SfxSettings.h"
#include "Wizard.h"
#include "resource.h"

namespace {

// The wizard's own words where BroltBuild's speak of settings-file keys and lines.
const struct {
    int problem;
    UINT text;
    int afterPath;  // the text follows the file's path in quotes
} kWizardTexts[] = {
    {BUILD_SETUP_NEEDS_LAUNCH, IDS_SETUP_NEEDS_PROGRAM, 0},
    {BUILD_NAME_TWICE, IDS_NAME_TWICE, 1},
};

void ShowRefusal(HWND owner, const BuildError *error)
{
    char what[600] = "";
    for (const auto &own : kWizardTexts) {
        char text[300];
        if (own.problem != error->problem || !LoadStringA(BroltInstance, own.text, text, sizeof(text)))
            continue;
        if (own.afterPath)
            snprintf(what, sizeof(what), "\"%s\" %s", error->text, text);
        else
            lstrcpynA(what, text, sizeof(what));
    }
    if (!what[0])
        FormatBuildProblem(error, what, sizeof(what));
    char head[100] = "", tail[100] = "", message[900];
    LoadStringA(BroltInstance, IDS_BUILD_REFUSED, head, sizeof(head));
    LoadStringA(BroltInstance, IDS_BUILD_CHECK, tail, sizeof(tail));
    snprintf(message, sizeof(message), "%s\n%s.\n\n%s", head, what, tail);
    // Owned by the page, as the file list's warnings are: the wizard waits for the answer.
    MessageBoxA(owner, message, BROLT_CAPTION, MB_OK | MB_ICONWARNING);
}

}  // namespace

int BuildWizardSettings(HWND owner)
{
    // The stub beside this program, whatever folder is current; the compressor
    // where starting it by name would find it, first beside this program.
    char stub[MAX_PATH], compressor[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(NULL, stub, sizeof(stub));
    char *slash = n && n < sizeof(stub) ? strrchr(stub, '\\') : NULL;
    if (!slash || (size_t)(slash - stub) + sizeof("\\pelstub.bin") > sizeof(stub))
        return -1;
    strcpy(slash, "\\pelstub.bin");
    n = SearchPathA(NULL, "KANTOR.EXE", NULL, sizeof(compressor), compressor, NULL);
    if (n == 0 || n >= sizeof(compressor))
        compressor[0] = '\0';  // the build then fails as it does when the compressor can't start

    BuildError error;
    if (BuildSfx(&SfxSettings, stub, compressor, &error))
        return 1;
    if (error.problem == BUILD_OK)
        return -1;
    ShowRefusal(owner, &error);
    return 0;
}
