// RecordWalkFuzz.cpp -- any bytes as an install log: the header read and the
// record walk must stay inside the file and always come to an end; the path
// tests and the WININIT.INI section search read only what they are given.
#include <stddef.h>
#include <stdint.h>
#include <sys/mman.h>
#include <unistd.h>

#include "InstallLog.h"
#include "RecordPath.h"
#include "WininitSection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int fd = memfd_create("log", 0);
    if (fd < 0)
        return 0;
    if (size > 0 && write(fd, data, size) != (ssize_t)size) {
        close(fd);
        return 0;
    }
    lseek(fd, 0, SEEK_SET);
    LogHeader header;
    int64_t first = LOG_HEADER_SIZE;
    if (ReadLogHeader(fd, &header))
        first = (int64_t)FirstRecordOffsetOf(header);

    // Every visited record must lie inside the file, and each visit must move on.
    size_t visits = 0;
    RecordWalk(fd, first, 0xFFFFFFFFu, [&](const RecordHead &head, const RecordBody *body) {
        if (++visits > size / RECORD_HEAD_SIZE + 1)
            __builtin_trap();
        if (body && RecordCode(head) == REC_REG_ENTRY && !IsValidRootCode(body->RegEntry.RootCode))
            __builtin_trap();
        if (body && RecordCode(head) == REC_INI_ENTRY && !IsValidIniLocation(body->IniEntry.Location))
            __builtin_trap();
        if (body && (RecordCode(head) == REC_FILE || RecordCode(head) == REC_DIRECTORY))
            IsRemovablePath(body->File.Path), IsModulePath(body->File.Path);
        return 1;
    });
    // The start-up's whole-log check walks the same bytes once more.
    if (CheckRecordArea(fd, first) > 1)
        __builtin_trap();
    close(fd);
    // The same bytes as a WININIT.INI: the insertion point lies inside the text.
    int found = 0;
    if (RenameSectionEnd((const char *)data, size, &found) > size)
        __builtin_trap();
    return 0;
}
