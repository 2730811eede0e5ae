// SfxFormat.h -- byte layout of a self-extracting archive, shared by Brolt and the loader stub.
//
// A built file is three pieces laid end to end, nothing after them:
//
//   offset 0        S bytes    the loader stub pelstub.bin, byte for byte
//   offset S        716 bytes  SfxHeader (below)
//   offset S+716    P bytes    packed block, exactly what KANTOR.EXE wrote
//
// Nothing records S: the header starts at the first byte after the stub's own
// image, so the stub finds it from its PE section table (end of the last
// section's raw data), which keeps an appended signature harmless. There is no
// magic word; "2.00" in the first four header bytes is the only mark.
//
// Every integer is an unsigned 32-bit little-endian value. Texts are ANSI, in
// fixed fields: characters, a zero byte, zero padding. Exceptions: version has
// no terminator, and an appName of exactly 80 characters fills its field.
//
// SfxHeader, 716 bytes:
//     0   4  version          "2.00", no terminator
//     4   4  packedFlag       1 in every file Brolt writes
//     8   4  packedSize       P
//    12   4  packedCrc        SfxChecksum over the P packed bytes (see SfxChecksum.h)
//    16   4  showDialog       1 opening dialog with appName, 0 extract without it
//    20   4  addProgramFiles  1 put the Program Files folder in front of a custom
//                             destination; always 0 with any other kind
//    24 260  destination      0x00.. temporary dir, 0xFF.. current dir, 0xFE.. fourth
//                             kind, anything else: the custom directory text
//   284   4  reserved         0
//   288 260  launchFile       program to start after extraction, empty for none
//   548  80  commandLine      its command line, may be empty
//   628  80  appName          shown in the opening dialog
//   708   4  moduleType       0 standard (keep files), 1 setup (temp dir, run, remove)
//   712   4  overwriteMode    1 overwrite all, 2 overwrite none, 3 ask per file
//
// Packed block: one zlib stream (RFC 1950: 2-byte header, deflate data, Adler-32
// trailer; PackedFrame.h), as zlib's compress2()/deflate() write it; inflate()
// expands it. The expanded length is not recorded anywhere: inflate until
// Z_STREAM_END.
//
// Expanded, it is the work stream: file records back to back, no count, no
// padding, no end marker; an empty stream means no files. The wizard lists at
// most 100 files, BroltBuild.exe any number up to SFX_MAX_ENTRIES.
//   SfxFileEntry head, 268 bytes (WorkStream.h reads them as they are expanded):
//     0 260  name      stored name, no directory part, at most 259 characters
//   260   4  size      content length
//   264   4  reserved  0
//   268 size contents  the file's bytes, uncompressed
#pragma once

#include <stddef.h>
#include <stdint.h>

enum {
    SFX_HEADER_SIZE = 716,
    SFX_ENTRY_HEAD_SIZE = 268,
    // Far past any payload that goes into one flat folder, yet it keeps a small
    // archive of empty records from filling a folder with millions of names.
    SFX_MAX_ENTRIES = 100000,
    SFX_PATH_FIELD = 260,
    SFX_SHORT_FIELD = 80,
};

// Destination kinds as the writer is told them (and as a reader reports them).
enum {
    SFX_DEST_TEMP = 0,
    SFX_DEST_CURRENT = 1,
    SFX_DEST_CUSTOM = 2,
    SFX_DEST_FOURTH = 3,  // never chosen by the wizard; the stub decides what it means
};

// First byte of the destination field for the two marker kinds. They are single
// bytes, not text; a custom text starting with either byte reads as the marker.
enum {
    SFX_MARK_CURRENT = 0xFF,
    SFX_MARK_FOURTH = 0xFE,
};

enum {
    SFX_MODULE_STANDARD = 0,
    SFX_MODULE_SETUP = 1,
};

enum {
    SFX_OVERWRITE_ALL = 1,
    SFX_OVERWRITE_NONE = 2,
    SFX_OVERWRITE_ASK = 3,
};

// Host-order image of the header; the layout matches the file exactly, but go
// through SfxEncodeHeader/SfxDecodeHeader for the bytes, never memcpy.
struct SfxHeader {
    char version[4];
    uint32_t packedFlag;
    uint32_t packedSize;
    uint32_t packedCrc;
    uint32_t showDialog;
    uint32_t addProgramFiles;
    char destination[SFX_PATH_FIELD];
    uint32_t reserved;
    char launchFile[SFX_PATH_FIELD];
    char commandLine[SFX_SHORT_FIELD];
    char appName[SFX_SHORT_FIELD];
    uint32_t moduleType;
    uint32_t overwriteMode;
};

struct SfxFileEntry {
    char name[SFX_PATH_FIELD];
    uint32_t size;
    uint32_t reserved;
};

static_assert(sizeof(SfxHeader) == SFX_HEADER_SIZE, "header is 716 bytes on disk");
static_assert(offsetof(SfxHeader, packedFlag) == 4, "version has no terminator");
static_assert(offsetof(SfxHeader, packedCrc) == 12, "header layout");
static_assert(offsetof(SfxHeader, addProgramFiles) == 20, "header layout");
static_assert(offsetof(SfxHeader, destination) == 24, "header layout");
static_assert(offsetof(SfxHeader, reserved) == 284, "header layout");
static_assert(offsetof(SfxHeader, launchFile) == 288, "header layout");
static_assert(offsetof(SfxHeader, commandLine) == 548, "header layout");
static_assert(offsetof(SfxHeader, appName) == 628, "header layout");
static_assert(offsetof(SfxHeader, moduleType) == 708, "header layout");
static_assert(offsetof(SfxHeader, overwriteMode) == 712, "header layout");
static_assert(sizeof(SfxFileEntry) == SFX_ENTRY_HEAD_SIZE, "entry head is 268 bytes on disk");
static_assert(offsetof(SfxFileEntry, size) == 260, "entry layout");

// Header as a fresh build starts it: "2.00", overwriteMode 3, every other byte 0.
void SfxInitHeader(SfxHeader *header);

void SfxEncodeHeader(const SfxHeader *header, uint8_t out[SFX_HEADER_SIZE]);

// Reads a header from untrusted bytes. Fails (0) when fewer than 716 bytes are
// given or the version mark is not "2.00"; field values are not judged here.
int SfxDecodeHeader(const uint8_t *data, size_t length, SfxHeader *header);

// Kind of the destination field, from its first byte.
int SfxDestinationKind(const SfxHeader *header);

// Copies a fixed field that may lack its terminator into a zero-terminated
// buffer; cuts the text to fit. dstSize must be at least 1.
void SfxCopyField(char *dst, size_t dstSize, const char *field, size_t fieldSize);

void SfxEncodeEntryHead(const SfxFileEntry *entry, uint8_t out[SFX_ENTRY_HEAD_SIZE]);

// Reads one entry head from untrusted bytes. Fails (0) when fewer than 268 bytes
// are given or the name has no terminator within its 260 bytes.
int SfxDecodeEntryHead(const uint8_t *data, size_t length, SfxFileEntry *entry);

// The one rule for stored names, kept by the writer and the stub alike: a name
// is stored and extracted only when it names a plain file inside the
// destination: 1 to 259 bytes, no '\', '/', ':', <>"|?* or control byte, no
// trailing dot or blank (which also rules out "." and ".."), and no device
// name (TextIsDeviceName: "con", "COM0.txt", "lpt\xB9"). Inner dots are
// allowed: "release..notes.txt".
int SfxIsSafeStoredName(const char *name);

// A relative launchFile is started inside the destination, so its components
// must never climb above it ("..\x.exe", "a\..\..\x.exe"). Empty and absolute
// names ("C:\x", "\\server\x", "\x") pass: those are the author's choice.
int SfxIsLaunchFileInside(const char *launchFile);
