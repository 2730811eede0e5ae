// InstallLog.h -- layout of the install log and the one walk over its records.
//
// The setup program writes the log; the uninstaller only reads it. All integers
// are little-endian; every text is NUL-terminated inside a fixed-size field.
//
//   offset 0     LogHeader, 116 bytes
//   offset 116   language DLL image, LanguageData bytes; present only when
//                LOGF_LANGUAGE_FILES is clear and LanguageData is not 0
//   then         records up to the end of the file, each a RecordHead (8 bytes)
//                followed by BodyLength body bytes
//
// Usage (every reader goes through RecordWalk):
//
//   LogHeader header;
//   if (!ReadLogHeader(fd, &header)) -> "Invalid installation log."
//   ... language image, then FirstRecordOffset = current position ...
//   RecordWalk(fd, firstRecordOffset, RecordMask(REC_FILE) | RecordMask(REC_REG_ENTRY),
//              [&](const RecordHead &head, const RecordBody *body) {
//                  // called for every record; body is NULL unless the record's
//                  // code is one asked for and its body is sound
//                  return 1;   // 0 stops the walk
//              });
#pragma once
#include <stddef.h>
#include <stdint.h>

enum : uint32_t {
    LOG_HEADER_SIZE = 116,
    LOG_VERSION = 384,
    RECORD_HEAD_SIZE = 8,
};

// LogHeader.Flags
enum : uint32_t {
    LOGF_KEEP_REGISTRATION = 1,   // set: no COM unregistration
    LOGF_UNREGISTER = 2,          // clear: no COM unregistration
    LOGF_LANGUAGE_FILES = 4,      // texts come from LEXA1.LDB/LEXA2.LDB, no image follows
};

// LogHeader.LanguageData when LOGF_LANGUAGE_FILES is set
enum : uint32_t {
    LANGF_FIRST_FILE = 1,         // LEXA1.LDB, required
    LANGF_SECOND_FILE = 2,        // LEXA2.LDB
};

// Low byte of RecordHead.Type. Every other code is stepped over by every reader.
enum : uint8_t {
    REC_APP = 2,
    REC_FILE = 3,
    REC_SYSTEM_FILE = 4,
    REC_DIRECTORY = 5,
    REC_REG_ENTRY = 7,
    REC_INI_ENTRY = 8,
    REC_CUSTOM_UNINSTALL = 9,
};

// RegEntryRecord.RootCode: 0 HKEY_CLASSES_ROOT, 1 HKEY_CURRENT_USER,
// 2 HKEY_LOCAL_MACHINE, 3 HKEY_USERS.  IniEntryRecord.Location: 0 SEL_DESTPATH,
// 1 WINDIR, 2 WINSYSDIR (each followed by FileName), 3 FileName alone.
enum : uint32_t {
    REG_ROOT_LAST = 3,
    INI_LOCATION_DESTPATH = 0,
    INI_LOCATION_WINDIR = 1,
    INI_LOCATION_WINSYSDIR = 2,
    INI_LOCATION_FULL_PATH = 3,
};

struct LogHeader {
    uint8_t Unused1[84];          // the setup program's own bytes
    uint32_t Version;             // must be LOG_VERSION
    uint32_t Flags;               // LOGF_*
    uint8_t Unused2[20];
    uint32_t LanguageData;        // LANGF_* bits, or the byte size of the DLL image
};
static_assert(sizeof(LogHeader) == 116, "LogHeader is 116 bytes on disk");
static_assert(offsetof(LogHeader, Version) == 84, "Version at 84");
static_assert(offsetof(LogHeader, Flags) == 88, "Flags at 88");
static_assert(offsetof(LogHeader, LanguageData) == 112, "LanguageData at 112");

struct RecordHead {
    uint32_t Type;                // only the low byte means anything
    uint32_t BodyLength;
};
static_assert(sizeof(RecordHead) == 8, "RecordHead is 8 bytes on disk");

struct AppRecord {
    char Name[80];                // becomes the uninstall key name
    char DestinationDir[268];     // becomes SEL_DESTPATH, as written
};
static_assert(sizeof(AppRecord) == 348, "AppRecord body is 348 bytes");
static_assert(offsetof(AppRecord, DestinationDir) == 80, "DestinationDir at 80");

// FileRecord, SystemFileRecord and DirectoryRecord share one layout.
struct PathRecord {
    char Path[260];
};
typedef PathRecord FileRecord;
typedef PathRecord SystemFileRecord;
typedef PathRecord DirectoryRecord;
static_assert(sizeof(PathRecord) == 260, "path record body is 260 bytes");

struct RegEntryRecord {
    uint8_t RootCode;             // 0..3, see REG_ROOT_LAST
    char SubKey[267];
    char ValueName[776];          // empty: the key's default value
};
static_assert(sizeof(RegEntryRecord) == 1044, "RegEntryRecord body is 1044 bytes");
static_assert(offsetof(RegEntryRecord, SubKey) == 1, "SubKey at 1");
static_assert(offsetof(RegEntryRecord, ValueName) == 268, "ValueName at 268");

struct IniEntryRecord {
    uint32_t Location;            // INI_LOCATION_*
    char FileName[260];           // appended to the location's directory, no separator added
    char Section[260];
    char Key[524];
};
static_assert(sizeof(IniEntryRecord) == 1048, "IniEntryRecord body is 1048 bytes");
static_assert(offsetof(IniEntryRecord, FileName) == 4, "FileName at 4");
static_assert(offsetof(IniEntryRecord, Section) == 264, "Section at 264");
static_assert(offsetof(IniEntryRecord, Key) == 524, "Key at 524");

struct CustomUninstallRecord {
    char Program[260];
    char Parameters[260];         // empty for none
};
static_assert(sizeof(CustomUninstallRecord) == 520, "CustomUninstallRecord body is 520 bytes");

// The decoded body handed to a walk's visitor; which member is valid follows
// from RecordCode(head).
union RecordBody {
    AppRecord App;
    PathRecord File;              // REC_FILE, REC_SYSTEM_FILE and REC_DIRECTORY
    RegEntryRecord RegEntry;
    IniEntryRecord IniEntry;
    CustomUninstallRecord CustomUninstall;
};

inline uint8_t RecordCode(const RecordHead &head) { return (uint8_t)(head.Type & 0xFF); }

// Bit for one code in the handled-codes mask of RecordWalk.
inline uint32_t RecordMask(uint8_t code) { return code < 32 ? (uint32_t)1 << code : 0; }

// Body size of a known code, 0 for a code with no meaning.
uint32_t RecordBodySize(uint8_t code);

inline int IsValidRootCode(uint32_t rootCode) { return rootCode <= REG_ROOT_LAST; }
inline int IsValidIniLocation(uint32_t location) { return location <= INI_LOCATION_FULL_PATH; }

// Reads from the descriptor until n bytes came or the file ended; the count read
// (short only at the end of the file or on an error).
size_t ReadFully(int fd, void *buffer, size_t n);

// Decodes 116 header bytes; returns 1 when Version is LOG_VERSION.
int DecodeLogHeader(const uint8_t *bytes, LogHeader *header);

// One read of 116 bytes from the descriptor's current position (offset 0 for a
// freshly opened log). Returns 1 for a whole header with the right Version.
int ReadLogHeader(int fd, LogHeader *header);

// COM unregistration happens only with LOGF_UNREGISTER set and
// LOGF_KEEP_REGISTRATION clear.
inline int SkipUnregisterFromFlags(uint32_t flags)
{
    return (flags & LOGF_KEEP_REGISTRATION) || !(flags & LOGF_UNREGISTER);
}

// Size of the language DLL image that follows the header (0 for none).
inline uint32_t LanguageImageSize(const LogHeader &header)
{
    return (header.Flags & LOGF_LANGUAGE_FILES) ? 0 : header.LanguageData;
}

// 116, or 116 + the image size.
inline uint64_t FirstRecordOffsetOf(const LogHeader &header)
{
    return (uint64_t)LOG_HEADER_SIZE + LanguageImageSize(header);
}

// Decodes one body of a known code from its on-disk bytes (RecordBodySize(code)
// of them). Returns 1 when the body is sound: every text ends inside its field,
// and a registry root or INI location code is one of 0..3. An unsound body must
// not be acted on.
int DecodeRecordBody(uint8_t code, const uint8_t *bytes, RecordBody *body);

// Returns nonzero to go on with the next record, 0 to stop the walk.
typedef int (*RecordVisitor)(void *context, const RecordHead &head, const RecordBody *body);

// Visits the records from firstRecordOffset to the end of the file, in file
// order. The visitor is called once for every record head read whole; body is
// the decoded body when the record's code is set in handledCodes (see
// RecordMask) and the record is sound, otherwise NULL.
// A record is not sound when its BodyLength differs from its code's body size or
// when DecodeRecordBody rejects it; such a record is stepped over by BodyLength,
// so every reader keeps to the same record boundaries.
// The walk ends at the end of the file, at a head cut short, and at a record
// whose BodyLength is 2^31 or more or reaches past the end of the file (that
// record is visited without a body, as the last one). It only ever moves forward.
// Returns 1 when it reached the end, 0 when the visitor stopped it, -1 when the
// descriptor could not be positioned.
int RecordWalk(int fd, int64_t firstRecordOffset, uint32_t handledCodes,
               RecordVisitor visitor, void *context);

// Capacity of the path variable an application record's destination goes into.
enum : uint32_t { APP_DESTINATION_MAX = 261 };

// Walks the record area once and tells whether it is sound from its first head to
// the very end of the file: 1 sound; 0 damaged (a head or body cut short, a length
// past the end, a known record of the wrong length or with an unsound body, a
// destination longer than APP_DESTINATION_MAX); -1 when the descriptor could not be
// positioned. A damaged log must not be acted on at all: what its damage hides
// (a custom program that has to run first, say) is unknown.
int CheckRecordArea(int fd, int64_t firstRecordOffset);

// The same with any callable taking (const RecordHead &, const RecordBody *).
template <class Visit>
int RecordWalk(int fd, int64_t firstRecordOffset, uint32_t handledCodes, Visit visit)
{
    return RecordWalk(
        fd, firstRecordOffset, handledCodes,
        [](void *context, const RecordHead &head, const RecordBody *body) -> int {
            return (*static_cast<Visit *>(context))(head, body) ? 1 : 0;
        },
        &visit);
}
