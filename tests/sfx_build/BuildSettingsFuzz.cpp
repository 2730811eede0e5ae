// BuildSettingsFuzz.cpp -- arbitrary bytes as BroltBuild's settings text, the message of whatever it refuses, and each file line as broltbuild reads its names.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "BuildNames.h"
#include "BuildSettings.h"

namespace {

int CheckLine(void *context, unsigned line, const char *path, BuildError *error)
{
    (void)context;
    (void)error;
    if (line == 0 || strlen(path) >= BUILD_PATH_TEXT)
        __builtin_trap();
    // A pattern takes itself (a * or ? stands for itself too), and a name
    // converted to Windows-1252 is never longer and equals itself without case.
    if (!BuildWildcardMatch(path, path))
        __builtin_trap();
    char name[BUILD_PATH_TEXT];
    if (BuildUtf8To1252(path, name, sizeof(name)) && (strlen(name) > strlen(path) || BuildCompareNames(name, name)))
        __builtin_trap();
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    BuildSettings s;
    BuildError e;
    if (ParseBuildSettings((const char *)data, size, &s, CheckLine, NULL, &e)) {
        if (strlen(s.appName) >= BUILD_SHORT_TEXT || strlen(s.output) == 0 || strlen(s.customFolder) >= BUILD_PATH_TEXT)
            __builtin_trap();
    } else {
        char message[512];
        FormatBuildError(&e, "fuzz.ini", message, sizeof(message));
    }
    return 0;
}
