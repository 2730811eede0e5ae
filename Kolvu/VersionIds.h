// VersionIds.h -- the uninstaller's version numbers and the name of its icon.
#pragma once

// The icon is the named resource "MAINICON": LoadIcon(UninstallState.Instance, KOLVU_ICON_NAME).
#define KOLVU_ICON_NAME "MAINICON"

#define KOLVU_VERSION_BINARY 1, 9, 3, 1403
#define KOLVU_FILE_VERSION_TEXT "1.93x.1403"
#define KOLVU_PRODUCT_VERSION_TEXT "1.93x"
