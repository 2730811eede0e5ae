// LanguageFileFormat.h -- on-disk layout of the language files LEXA1.LDB and LEXA2.LDB.
//
// All integers are 32-bit unsigned little-endian; ANSI text is bytes in the
// system code page, wide text is UTF-16LE code units.
//
//   offset  size  content
//        0   128  identification text ("Velmor Language File Format 1.0," + web
//                 address, NUL padded); readers skip it unexamined
//      128   128  ANSI header text 1, NUL terminated when shorter, NUL padded
//      256   128  ANSI header text 2, same form
//      384   256  wide header text 1, up to 128 units, zero padded
//      640   256  wide header text 2, same form
//      896     4  entry count N
//      900     4  header word
//      904        N entries back to back, nothing after the last:
//                   4  key length K in bytes, no terminator
//                   K  key, ANSI
//                   4  value length V in UTF-16 code units, no terminator
//                 2*V  value, UTF-16LE
#pragma once
#include <stddef.h>
#include <stdint.h>

struct LanguageFileHeader {
    uint8_t Identification[128];
    uint8_t AnsiText1[128];
    uint8_t AnsiText2[128];
    uint8_t WideText1[256];
    uint8_t WideText2[256];
    uint8_t EntryCount[4];
    uint8_t HeaderWord[4];
};
static_assert(sizeof(LanguageFileHeader) == 904, "language file header is 904 bytes");
static_assert(offsetof(LanguageFileHeader, AnsiText1) == 128, "layout");
static_assert(offsetof(LanguageFileHeader, WideText1) == 384, "layout");
static_assert(offsetof(LanguageFileHeader, WideText2) == 640, "layout");
static_assert(offsetof(LanguageFileHeader, EntryCount) == 896, "layout");
static_assert(offsetof(LanguageFileHeader, HeaderWord) == 900, "layout");

#define LANGFILE_HEADER_SIZE 904u
#define LANGFILE_ANSI_TEXT_SIZE 128u   // bytes
#define LANGFILE_WIDE_TEXT_UNITS 128u  // UTF-16 code units
// The smallest entry: two length words around an empty key and value.
#define LANGFILE_MIN_ENTRY_SIZE 8u
#define LANGFILE_IDENTIFICATION "Velmor Language File Format 1.0,http://www.velmor.example/"
