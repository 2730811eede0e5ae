// LanguageTable.cpp -- parsing a language file into a table, and the lookup of texts by key.
#include "LanguageTable.h"

#include <stdlib.h>
#include <string.h>

#include "ByteReader.h"
#include "LanguageFileFormat.h"
#include "Text.h"

namespace {

char* CopyAnsiBlock(const uint8_t* pBlock, size_t cbBlock) {
    size_t cch = 0;
    while (cch < cbBlock && pBlock[cch] != 0)
        cch++;
    char* psz = (char*)malloc(cch + 1);
    if (!psz)
        return NULL;
    memcpy(psz, pBlock, cch);
    psz[cch] = '\0';
    return psz;
}

LANGCHAR* CopyWideUnits(const uint8_t* pUnits, size_t cUnits, int stopAtZero) {
    if (!pUnits)
        return NULL;
    size_t cch = 0;
    while (cch < cUnits) {
        if (stopAtZero && pUnits[2 * cch] == 0 && pUnits[2 * cch + 1] == 0)
            break;
        cch++;
    }
    LANGCHAR* pwsz = (LANGCHAR*)malloc((cch + 1) * sizeof(LANGCHAR));
    if (!pwsz)
        return NULL;
    for (size_t i = 0; i < cch; i++)
        pwsz[i] = (LANGCHAR)(pUnits[2 * i] | (pUnits[2 * i + 1] << 8));
    pwsz[cch] = 0;
    return pwsz;
}

// One entry; 0 when the file ends inside it or memory runs out. What was made
// stays in the entry for FreeLanguageTable.
int ReadEntry(ByteReader& reader, LanguageEntry* pEntry) {
    uint32_t cbKey = reader.Le32();
    const uint8_t* pKey = reader.Take(cbKey);
    if (!pKey)
        return 0;
    pEntry->pszKey = (char*)malloc((size_t)cbKey + 1);
    if (!pEntry->pszKey)
        return 0;
    memcpy(pEntry->pszKey, pKey, cbKey);
    pEntry->pszKey[cbKey] = '\0';

    uint32_t cchValue = reader.Le32();
    // Compare units with half the remaining bytes: 2 * V could wrap.
    if (!reader.ok || cchValue > reader.Remaining() / 2)
        return 0;
    pEntry->pwszValue = CopyWideUnits(reader.Take((size_t)cchValue * 2), cchValue, 0);
    return pEntry->pwszValue != NULL;
}

LanguageTable* g_pPrimaryTable;
LanguageTable* g_pSecondaryTable;

}  // namespace

int ParseLanguageFile(const uint8_t* pData, size_t cbData, LanguageTable** ppTable) {
    if (!ppTable || !pData)
        return 0;
    ByteReader reader(pData, cbData);
    const uint8_t* pHeader = reader.Take(LANGFILE_HEADER_SIZE);
    if (!pHeader)
        return 0;
    const LanguageFileHeader* pFileHeader = (const LanguageFileHeader*)pHeader;
    uint32_t cEntries = ReadLe32(pFileHeader->EntryCount);

    // Every entry takes at least its two length words, so a count the rest of
    // the file cannot hold is refused before it sizes any allocation.
    if (cEntries > reader.Remaining() / LANGFILE_MIN_ENTRY_SIZE)
        return 0;
    size_t cbTable = offsetof(LanguageTable, Entries) + ((size_t)cEntries + 1) * sizeof(LanguageEntry);
    LanguageTable* pTable = (LanguageTable*)calloc(1, cbTable);
    if (!pTable)
        return 0;
    pTable->dwReserved = 0;
    pTable->dwHeaderWord = ReadLe32(pFileHeader->HeaderWord);
    pTable->pszHeaderText1 = CopyAnsiBlock(pFileHeader->AnsiText1, LANGFILE_ANSI_TEXT_SIZE);
    pTable->pszHeaderText2 = CopyAnsiBlock(pFileHeader->AnsiText2, LANGFILE_ANSI_TEXT_SIZE);
    pTable->pwszHeaderText1 = CopyWideUnits(pFileHeader->WideText1, LANGFILE_WIDE_TEXT_UNITS, 1);
    pTable->pwszHeaderText2 = CopyWideUnits(pFileHeader->WideText2, LANGFILE_WIDE_TEXT_UNITS, 1);
    int ok = pTable->pszHeaderText1 && pTable->pszHeaderText2 && pTable->pwszHeaderText1 &&
             pTable->pwszHeaderText2;

    // Entries filled so far stay reachable through the array (calloc left the
    // rest NULL), so one FreeLanguageTable cleans up after any failure.
    uint32_t cComplete = 0;
    while (ok && cComplete < cEntries && ReadEntry(reader, &pTable->Entries[cComplete]))
        cComplete++;
    if (!ok || cComplete != cEntries) {
        FreeLanguageTable(pTable);
        return 0;
    }
    *ppTable = pTable;
    return 1;
}

void FreeLanguageTable(LanguageTable* pTable) {
    if (!pTable)
        return;
    for (LanguageEntry* pEntry = pTable->Entries; pEntry->pszKey || pEntry->pwszValue; pEntry++) {
        free(pEntry->pszKey);
        free(pEntry->pwszValue);
    }
    free(pTable->pszHeaderText1);
    free(pTable->pszHeaderText2);
    free(pTable->pwszHeaderText1);
    free(pTable->pwszHeaderText2);
    free(pTable);
}

int TextKeysMatch(const char* pszKey1, const char* pszKey2) {
    return TextEqualNoCase(pszKey1, pszKey2);
}

const LANGCHAR* FindTextInTable(const LanguageTable* pTable, const char* pszKey) {
    if (!pTable || !pszKey)
        return NULL;
    for (const LanguageEntry* pEntry = pTable->Entries; pEntry->pszKey; pEntry++) {
        if (TextKeysMatch(pEntry->pszKey, pszKey))
            return pEntry->pwszValue;
    }
    return NULL;
}

int SetPrimaryLanguageTable(LanguageTable* pTable) {
    g_pPrimaryTable = pTable;
    return 1;
}

int SetSecondaryLanguageTable(LanguageTable* pTable) {
    g_pSecondaryTable = pTable;
    return 1;
}

const LANGCHAR* GetLanguageText(const char* pszKey) {
    if (!pszKey)
        return NULL;
    const LANGCHAR* pwszText = FindTextInTable(g_pPrimaryTable, pszKey);
    if (pwszText)
        return pwszText;
    return FindTextInTable(g_pSecondaryTable, pszKey);
}

char* DuplicateString(const char* psz) {
    if (!psz)
        return NULL;
    size_t cb = strlen(psz) + 1;
    char* pszCopy = (char*)malloc(cb);
    if (pszCopy)
        memcpy(pszCopy, psz, cb);
    return pszCopy;
}

size_t WideTextLength(const LANGCHAR* pwsz) {
    size_t cch = 0;
    while (pwsz[cch])
        cch++;
    return cch;
}

LANGCHAR* DuplicateWideString(const LANGCHAR* pwsz) {
    if (!pwsz)
        return NULL;
    size_t cb = (WideTextLength(pwsz) + 1) * sizeof(LANGCHAR);
    LANGCHAR* pwszCopy = (LANGCHAR*)malloc(cb);
    if (pwszCopy)
        memcpy(pwszCopy, pwsz, cb);
    return pwszCopy;
}
