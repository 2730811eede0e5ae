// BuildHeader.cpp -- the settings into the archive header's fields.
#include "BuildHeader.h"

#include <string.h>

namespace {

void CopyText(char *field, size_t size, const char *text, size_t textSize)
{
    memset(field, 0, size);
    size_t n = strnlen(text, (textSize < size ? textSize : size) - 1);
    memcpy(field, text, n);
}

#define COPY_TEXT(field, text) CopyText(field, sizeof(field), text, sizeof(text))

}  // namespace

void FillSfxHeader(const BuildSettings *s, SfxHeader *header)
{
    SfxInitHeader(header);
    header->showDialog = (uint32_t)s->showDialog;
    COPY_TEXT(header->appName, s->appName);
    header->moduleType = (uint32_t)s->moduleType;
    header->overwriteMode = (uint32_t)s->overwriteMode;
    COPY_TEXT(header->launchFile, s->launchFile);
    COPY_TEXT(header->commandLine, s->commandLine);
    // The field holds a destination mark or the custom folder's text; a custom
    // kind without a text is refused by the checks, never built.
    if (s->destKind == SFX_DEST_CURRENT) {
        header->destination[0] = (char)SFX_MARK_CURRENT;
    } else if (s->destKind == SFX_DEST_FOURTH) {
        header->destination[0] = (char)SFX_MARK_FOURTH;
    } else if (s->destKind == SFX_DEST_CUSTOM && s->customFolder[0]) {
        COPY_TEXT(header->destination, s->customFolder);
        header->addProgramFiles = (uint32_t)s->addProgramFiles;
    }
}
