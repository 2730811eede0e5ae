// resource.h -- resource names and control ids of the uninstaller.
#pragma once

// Each dialog's ids sit beside its procedure; this file gathers them.
#include "ProgressDialogIds.h"
#include "RestartDialogIds.h"
#include "VersionIds.h"
