// resource.h -- resource names and control ids of the uninstaller.
#pragma once

// Each dialog's ids sit beside its procedure; this file gathers them.
#if __has_include("ProgressDialogIds.h")
#include "ProgressDialogIds.h"
#endif
#if __has_include("RestartDialogIds.h")
#include "RestartDialogIds.h"
#endif
#if __has_include("VersionIds.h")
#include "VersionIds.h"
#endif
