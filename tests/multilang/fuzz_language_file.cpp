// fuzz_language_file.cpp -- libFuzzer target: any bytes given to the language-file parser.
#include <stddef.h>
#include <stdint.h>

#include "LanguageTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LanguageTable* pTable = nullptr;
    if (!ParseLanguageFile(data, size, &pTable))
        return 0;
    // Walk everything the parser built, as a lookup would.
    size_t cchTotal = 0;
    for (const LanguageEntry* pEntry = pTable->Entries; pEntry->pszKey; pEntry++)
        cchTotal += WideTextLength(pEntry->pwszValue) + (FindTextInTable(pTable, pEntry->pszKey) ? 1 : 0);
    cchTotal += WideTextLength(pTable->pwszHeaderText1) + WideTextLength(pTable->pwszHeaderText2);
    FindTextInTable(pTable, "Uninstall|Success");
    FreeLanguageTable(pTable);
    return cchTotal == (size_t)-1;
}
