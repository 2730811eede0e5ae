// LanguageFileReader.cpp -- reads a language file from disk into a new language table.
#include "MultiLang.h"
#include "Owners.h"

// A language file holds a few dozen short texts; anything near this size is
// not one, and refusing it keeps a stray huge file from taking the heap.
#define MAX_LANGUAGE_FILE_SIZE (64u * 1024u * 1024u)

int ReadLanguageFile(LanguageTable** ppTable, const char* pszFileName) {
    if (!ppTable || !pszFileName)
        return 0;
    // Others may keep reading the file (the setup program, a virus scanner),
    // but nobody may be writing it while it is read.
    FileHandle hFile(CreateFileA(pszFileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL));
    if (!hFile.IsValid())
        return 0;
    DWORD dwSizeHigh = 0;
    DWORD cbFile = GetFileSize(hFile, &dwSizeHigh);
    if (cbFile == INVALID_FILE_SIZE || dwSizeHigh != 0 || cbFile > MAX_LANGUAGE_FILE_SIZE)
        return 0;
    // One spare byte so that an empty file still gets a buffer.
    HeapBlock<BYTE> pData(cbFile + 1);
    DWORD cbRead = 0;
    if (!pData || !ReadFile(hFile, pData, cbFile, &cbRead, NULL) || cbRead != cbFile)
        return 0;
    return ParseLanguageFile(pData, cbRead, ppTable);
}
