// StubOwnFolder.h -- the access list of the run's own working folder, and which files in it cleanup may delete.
//
// Security descriptor, self-relative, as the system takes it on creation:
//   0   revision 1, 0, control (self-relative, DACL present, DACL protected)
//   4   owner 0, group 0, SACL 0 (the system fills in the creator's defaults)
//   16  offset of the DACL (20)
//   20  ACL: revision 2, 0, size, 3 entries, 0
//   28  three allow entries, full control, inherited by files and folders made
//       inside: the creating user, Administrators, SYSTEM
#pragma once

#include <stddef.h>
#include <stdint.h>

enum {
    STUB_SID_MAX = 8 + 4 * 15,
    STUB_FOLDER_SECURITY_MAX = 20 + 8 + 3 * (8 + STUB_SID_MAX),
};

// Writes the descriptor for the user's SID (sid, the bytes the system handed
// over) into out; its length, or 0 when the SID is malformed or out too small.
size_t StubFolderSecurity(uint8_t *out, size_t size, const uint8_t *sid, size_t available);

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
