// LanguageTable.h -- in-memory language tables, text lookup by key and the two table slots.
#pragma once
#include <stddef.h>
#include <stdint.h>

// A UTF-16 code unit; on Windows the same type as WCHAR so that texts go
// straight to the wide window functions.
#ifdef _WIN32
typedef wchar_t LANGCHAR;
#else
typedef char16_t LANGCHAR;
#endif
static_assert(sizeof(LANGCHAR) == 2, "language texts are UTF-16");

struct LanguageEntry {
    char* pszKey;          // NUL-terminated ANSI text key
    LANGCHAR* pwszValue;   // zero-terminated wide text
};

// One heap block: the fixed fields followed by N + 1 entries, the last with
// both pointers NULL. Every text is a heap block of its own owned by the table.
struct LanguageTable {
    char* pszHeaderText1;
    char* pszHeaderText2;
    LANGCHAR* pwszHeaderText1;
    LANGCHAR* pwszHeaderText2;
    uint32_t dwHeaderWord;
    uint32_t dwReserved;   // always zero; not stored in the file
    LanguageEntry Entries[1];
};

// Builds a table from a whole language file held in memory. Returns 1 and
// sets *ppTable to the new table, or 0 leaving *ppTable as it was when
// ppTable is NULL, the bytes are not a complete language file, or memory ran out.
int ParseLanguageFile(const uint8_t* pData, size_t cbData, LanguageTable** ppTable);

// Releases a table and all its texts. The uninstaller keeps its tables for
// the life of the process; tests and tools free theirs.
void FreeLanguageTable(LanguageTable* pTable);

// Whole-text comparison of two text keys, ASCII letters without regard to
// case, every other byte exactly. Returns 1 when they match.
int TextKeysMatch(const char* pszKey1, const char* pszKey2);

// Value of the first entry whose key matches, or NULL. NULL table or key: NULL.
const LANGCHAR* FindTextInTable(const LanguageTable* pTable, const char* pszKey);

// Slot setters: NULL empties the slot. Both return 1.
int SetPrimaryLanguageTable(LanguageTable* pTable);
int SetSecondaryLanguageTable(LanguageTable* pTable);

// Text for the key from the primary table, else from the secondary one, else NULL.
// The text belongs to the table: callers neither change nor free it.
const LANGCHAR* GetLanguageText(const char* pszKey);

// Heap copies including the terminator (release with free), NULL for NULL or no memory.
char* DuplicateString(const char* psz);
LANGCHAR* DuplicateWideString(const LANGCHAR* pwsz);

// Length in code units of a zero-terminated wide text.
size_t WideTextLength(const LANGCHAR* pwsz);
