// StubOwnFolder.h -- the access list of the run's own working folder, and which files in it cleanup may delete.
//
// Security descriptor, self-relative, as the system takes it on creation:
//   0   revision 1, 0, control (self-relative, DACL present, DACL protected;
//       SACL present with a label)
//   4   owner 0, group 0 (the system fills in the creator's defaults)
//   12  offset of the SACL (after the DACL), 0 without a label
//   16  offset of the DACL (20)
//   20  ACL: revision 2, 0, size, 3 entries, 0
//   28  three allow entries, full control, inherited by files and folders made
//       inside: the creating user, Administrators, SYSTEM
//   then, with a label, the SACL: revision 2, 0, size 28, 1 entry, 0; one
//       mandatory label entry, inherited likewise, no write up, S-1-16-<level>
#pragma once

#include <stddef.h>
#include <stdint.h>

enum {
    STUB_SID_MAX = 8 + 4 * 15,
    STUB_LABEL_SIZE = 8 + 8 + 12,
    STUB_FOLDER_SECURITY_MAX = 20 + 8 + 3 * (8 + STUB_SID_MAX) + STUB_LABEL_SIZE,
};

// The level to label the folder with, given the token's integrity SID (the
// bytes the system handed over): its level when above medium (an elevated
// run), else 0, as for a SID that is not a whole integrity SID.
uint32_t StubLabelLevel(const uint8_t *sid, size_t available);

// Writes the descriptor for the user's SID (sid, the bytes the system handed
// over) and, when level is not 0, the label at that level into out; its
// length, or 0 when the SID is malformed or out too small.
size_t StubFolderSecurity(uint8_t *out, size_t size, const uint8_t *sid, size_t available, uint32_t level);

// What an open that did not follow links found under a name this run wrote.
struct StubFoundFile {
    uint32_t attributes;  // FILE_ATTRIBUTE_* bits
    uint32_t links;       // names the file has
    uint32_t volume;      // serial number of its volume
};

enum {
    STUB_LEAVE = 0,          // not the run's own: a folder, a link, a second name of some other file
    STUB_DELETE,
    STUB_CLEAR_THEN_DELETE,  // read-only: the attribute goes first, or the delete is refused
};
int StubCleanupAction(const StubFoundFile *found, uint32_t folderVolume);
