// StubOwnFolder.cpp -- building the working folder's access list, and the rule for what cleanup deletes.
#include "StubOwnFolder.h"

#include <string.h>

namespace {

// S-1-5-32-544 and S-1-5-18.
const uint8_t kAdministrators[] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};
const uint8_t kSystem[] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};

const uint32_t kFullControl = 0x001F01FF;         // FILE_ALL_ACCESS
const uint8_t kInherited = 0x01 | 0x02;           // object and container inherit
const uint16_t kControl = 0x8000 | 0x1000 | 0x0004;  // self-relative, DACL protected, DACL present
const uint16_t kSaclPresent = 0x0010;
const uint8_t kLabelAce = 0x11;                   // SYSTEM_MANDATORY_LABEL_ACE_TYPE
const uint32_t kNoWriteUp = 0x1;
const uint32_t kMediumLevel = 0x2000;

const uint32_t kReadOnly = 0x01;
const uint32_t kDirectory = 0x10;
const uint32_t kReparsePoint = 0x400;

void Put16(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}

void Put32(uint8_t *p, uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

// The length a SID's own count of parts gives, when it is well formed and all there.
size_t SidLength(const uint8_t *sid, size_t available)
{
    if (!sid || available < 8 || sid[0] != 1 || sid[1] > 15)
        return 0;
    size_t length = 8 + 4 * (size_t)sid[1];
    return length <= available ? length : 0;
}

}  // namespace

uint32_t StubLabelLevel(const uint8_t *sid, size_t available)
{
    // S-1-16-<level>: one part under the mandatory label authority.
    const uint8_t head[8] = {1, 1, 0, 0, 0, 0, 0, 16};
    if (!sid || available < 12 || memcmp(sid, head, sizeof(head)) != 0)
        return 0;
    uint32_t level = sid[8] | (uint32_t)sid[9] << 8 | (uint32_t)sid[10] << 16 | (uint32_t)sid[11] << 24;
    return level > kMediumLevel ? level : 0;
}

size_t StubFolderSecurity(uint8_t *out, size_t size, const uint8_t *sid, size_t available, uint32_t level)
{
    size_t userLength = SidLength(sid, available);
    if (!userLength)
        return 0;
    const uint8_t *sids[3] = {sid, kAdministrators, kSystem};
    size_t lengths[3] = {userLength, sizeof(kAdministrators), sizeof(kSystem)};
    size_t aclSize = 8 + 3 * 8 + userLength + sizeof(kAdministrators) + sizeof(kSystem);
    size_t total = 20 + aclSize + (level ? STUB_LABEL_SIZE : 0);
    if (!out || size < total)
        return 0;
    memset(out, 0, total);
    out[0] = 1;
    Put16(out + 2, kControl | (level ? kSaclPresent : 0));
    Put32(out + 16, 20);
    uint8_t *acl = out + 20;
    acl[0] = 2;
    Put16(acl + 2, (uint32_t)aclSize);
    Put16(acl + 4, 3);
    uint8_t *ace = acl + 8;
    for (int i = 0; i < 3; i++) {
        ace[0] = 0;  // allow
        ace[1] = kInherited;
        Put16(ace + 2, (uint32_t)(8 + lengths[i]));
        Put32(ace + 4, kFullControl);
        memcpy(ace + 8, sids[i], lengths[i]);
        ace += 8 + lengths[i];
    }
    if (level) {
        // A lower level may then neither change the folder nor add to it, nor
        // change the files written there: they take the same label.
        Put32(out + 12, (uint32_t)(ace - out));
        ace[0] = 2;
        Put16(ace + 2, STUB_LABEL_SIZE);
        Put16(ace + 4, 1);
        ace[8] = kLabelAce;
        ace[9] = kInherited;
        Put16(ace + 10, 8 + 12);
        Put32(ace + 12, kNoWriteUp);
        const uint8_t label[8] = {1, 1, 0, 0, 0, 0, 0, 16};
        memcpy(ace + 16, label, sizeof(label));
        Put32(ace + 24, level);
    }
    return total;
}

int StubCleanupAction(const StubFoundFile *found, uint32_t folderVolume)
{
    // A link put in place of a file is left, and so is what it points to; a
    // file with a second name elsewhere was never one this run made alone.
    if (found->attributes & (kDirectory | kReparsePoint))
        return STUB_LEAVE;
    if (found->links != 1 || found->volume != folderVolume)
        return STUB_LEAVE;
    return (found->attributes & kReadOnly) ? STUB_CLEAR_THEN_DELETE : STUB_DELETE;
}
