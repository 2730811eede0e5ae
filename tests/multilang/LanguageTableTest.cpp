// LanguageTableTest.cpp -- parsing language files, refusing damaged ones, and looking texts up by key.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "LanguageFileFormat.h"
#include "LanguageFileWriter.h"
#include "LanguageTable.h"

namespace {

std::u16string Text(const LANGCHAR* pwsz) {
    std::u16string s;
    for (; pwsz && *pwsz; pwsz++)
        s.push_back((char16_t)*pwsz);
    return s;
}

LanguageFileContents TwoEntries() {
    LanguageFileContents c;
    c.entries = {{"Uninstall|Success", u"Done"}, {"Yes", u"&Yes"}};
    return c;
}

// Parses the bytes; the table is freed when the holder goes out of scope.
struct Parsed {
    LanguageTable* pTable = nullptr;
    int result = 0;
    explicit Parsed(const std::vector<uint8_t>& bytes) {
        result = ParseLanguageFile(bytes.data(), bytes.size(), &pTable);
    }
    ~Parsed() { FreeLanguageTable(pTable); }
};

LanguageTable* const kUntouched = reinterpret_cast<LanguageTable*>(0x1234);

// A damaged file must yield 0 and leave the caller's pointer as it was.
void ExpectRefused(const std::vector<uint8_t>& bytes) {
    LanguageTable* pTable = kUntouched;
    EXPECT_EQ(0, ParseLanguageFile(bytes.data(), bytes.size(), &pTable));
    EXPECT_EQ(kUntouched, pTable);
}

TEST(LanguageFileLayout, GoldenBytesOfOneEntryAndOfAnEmptyFile) {
    LanguageFileContents c;
    c.entries = {{"Yes", u"Ja"}};
    std::vector<uint8_t> bytes = BuildLanguageFile(c);
    ASSERT_EQ(919u, bytes.size());
    const uint8_t tail[] = {3, 0, 0, 0, 'Y', 'e', 's', 2, 0, 0, 0, 'J', 0, 'a', 0};
    EXPECT_EQ(0, memcmp(bytes.data() + 904, tail, sizeof(tail)));
    EXPECT_EQ(1, bytes[896]);

    Parsed parsed(bytes);
    ASSERT_EQ(1, parsed.result);
    EXPECT_STREQ("Yes", parsed.pTable->Entries[0].pszKey);
    EXPECT_EQ(u"Ja", Text(parsed.pTable->Entries[0].pwszValue));
    EXPECT_EQ(nullptr, parsed.pTable->Entries[1].pszKey);
    EXPECT_EQ(nullptr, parsed.pTable->Entries[1].pwszValue);

    c.entries.clear();
    bytes = BuildLanguageFile(c);
    ASSERT_EQ(904u, bytes.size());
    Parsed empty(bytes);
    ASSERT_EQ(1, empty.result);
    EXPECT_EQ(nullptr, empty.pTable->Entries[0].pszKey);
    EXPECT_EQ(nullptr, FindTextInTable(empty.pTable, "Yes"));
    EXPECT_EQ(nullptr, FindTextInTable(empty.pTable, ""));
}

TEST(LanguageFileLayout, HeaderTextsAndWordAreKept) {
    LanguageFileContents c = TwoEntries();
    c.ansiHeader1 = "English";
    c.ansiHeader2 = std::string(128, 'A');      // fills the block, no NUL
    c.wideHeader1 = u"Deutsch \u00e4";
    c.wideHeader2 = std::u16string(128, u'\u03a9');
    c.headerWord = 0xCAFE0407;
    std::vector<uint8_t> bytes = BuildLanguageFile(c);
    memset(bytes.data(), 0xFF, 128);  // the identification block is never looked at
    bytes[128 + 20] = 'x';            // after the terminator: not part of the text

    Parsed parsed(bytes);
    ASSERT_EQ(1, parsed.result);
    EXPECT_STREQ("English", parsed.pTable->pszHeaderText1);
    EXPECT_EQ(std::string(128, 'A'), parsed.pTable->pszHeaderText2);
    EXPECT_EQ(u"Deutsch \u00e4", Text(parsed.pTable->pwszHeaderText1));
    EXPECT_EQ(std::u16string(128, u'\u03a9'), Text(parsed.pTable->pwszHeaderText2));
    EXPECT_EQ(0xCAFE0407u, parsed.pTable->dwHeaderWord);
    EXPECT_EQ(0u, parsed.pTable->dwReserved);
}

TEST(LanguageFileLayout, EntriesKeepFileOrderAndExactUnits) {
    LanguageFileContents c;
    // A zero unit inside a value is stored as it stands.
    c.entries = {{"b", u"2"}, {"a", u"1"}, {"c", std::u16string(u"x\0y", 3)}};
    Parsed parsed(BuildLanguageFile(c));
    ASSERT_EQ(1, parsed.result);
    EXPECT_STREQ("b", parsed.pTable->Entries[0].pszKey);
    EXPECT_STREQ("a", parsed.pTable->Entries[1].pszKey);
    EXPECT_EQ('x', parsed.pTable->Entries[2].pwszValue[0]);
    EXPECT_EQ(0, parsed.pTable->Entries[2].pwszValue[1]);
    EXPECT_EQ('y', parsed.pTable->Entries[2].pwszValue[2]);
    EXPECT_EQ(0, parsed.pTable->Entries[2].pwszValue[3]);
    EXPECT_EQ(nullptr, parsed.pTable->Entries[3].pszKey);
}

TEST(DamagedLanguageFile, EveryTruncationIsRefused) {
    std::vector<uint8_t> bytes = BuildLanguageFile(TwoEntries());
    for (size_t size = 0; size < bytes.size(); size++) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + size);
        SCOPED_TRACE(size);
        ExpectRefused(cut);
    }
    LanguageTable* pTable = nullptr;
    EXPECT_EQ(0, ParseLanguageFile(nullptr, 0, &pTable));
    EXPECT_EQ(0, ParseLanguageFile(bytes.data(), bytes.size(), nullptr));
}

TEST(DamagedLanguageFile, CountsAndLengthsBeyondTheFileAreRefused) {
    const std::vector<uint8_t> good = BuildLanguageFile(TwoEntries());
    const size_t keyLen0 = 904;                       // first entry's K
    const size_t valueLen0 = 904 + 4 + 17;            // first entry's V ("Uninstall|Success")
    struct Case {
        const char* what;
        size_t offset;
        uint32_t value;
    } cases[] = {
        {"count one more than present", 896, 3},
        {"count that would overflow N + 1", 896, 0xFFFFFFFF},
        {"count sized for a huge table", 896, 0x10000000},
        {"key length one past the end", keyLen0, (uint32_t)(good.size() - keyLen0 - 4 + 1)},
        {"key length that would overflow K + 1", keyLen0, 0xFFFFFFFF},
        {"value length one past the end", valueLen0, (uint32_t)((good.size() - valueLen0 - 4) / 2 + 1)},
        {"value length whose byte size wraps to 0", valueLen0, 0x80000000},
        {"value length that would overflow V + 1", valueLen0, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = good;
        PutLe32(bytes, c.offset, c.value);
        ExpectRefused(bytes);
    }
}

TEST(DamagedLanguageFile, BytesAfterTheLastEntryAreIgnored) {
    std::vector<uint8_t> bytes = BuildLanguageFile(TwoEntries());
    bytes.push_back(0xAB);
    Parsed parsed(bytes);
    ASSERT_EQ(1, parsed.result);
    EXPECT_EQ(u"&Yes", Text(FindTextInTable(parsed.pTable, "Yes")));
}

TEST(TextLookup, KeysMatchAsWholeTextsIgnoringAsciiCaseOnly) {
    LanguageFileContents c;
    c.entries = {{"Uninstall|Success", u"Done"},
                 {"Yes", u"&Yes"},
                 {"Gr\xc4\xdf", u"upper umlaut"},
                 {"[]_^", u"brackets"}};
    Parsed parsed(BuildLanguageFile(c));
    ASSERT_EQ(1, parsed.result);
    const LanguageTable* t = parsed.pTable;
    EXPECT_EQ(u"Done", Text(FindTextInTable(t, "uninstall|success")));
    EXPECT_EQ(u"Done", Text(FindTextInTable(t, "UNINSTALL|SUCCESS")));
    EXPECT_EQ(u"&Yes", Text(FindTextInTable(t, "yES")));
    // The bar is an ordinary character: neither half is a key.
    EXPECT_EQ(nullptr, FindTextInTable(t, "Success"));
    EXPECT_EQ(nullptr, FindTextInTable(t, "Uninstall"));
    EXPECT_EQ(nullptr, FindTextInTable(t, "Ye"));
    EXPECT_EQ(nullptr, FindTextInTable(t, "Yess"));
    // Bytes above 127 compare exactly, even when they are letters in the code page.
    EXPECT_EQ(u"upper umlaut", Text(FindTextInTable(t, "gR\xc4\xdf")));
    EXPECT_EQ(nullptr, FindTextInTable(t, "Gr\xe4\xdf"));
    // Only A-Z and a-z fold: "[]_^" sit 32 below "{}\x7f~".
    EXPECT_EQ(u"brackets", Text(FindTextInTable(t, "[]_^")));
    EXPECT_EQ(nullptr, FindTextInTable(t, "{}\x7f~"));
    EXPECT_EQ(nullptr, FindTextInTable(t, nullptr));
    EXPECT_EQ(nullptr, FindTextInTable(nullptr, "Yes"));
}

TEST(TextLookup, FirstDuplicateEmptyKeyAndEmptyValue) {
    LanguageFileContents c;
    c.entries = {{"Uninstall|Success", u""},
                 {"uninstall|SUCCESS", u"second"},
                 {"", u"empty key"},
                 {"No", u"&No"}};
    Parsed parsed(BuildLanguageFile(c));
    ASSERT_EQ(1, parsed.result);
    const LANGCHAR* pwszEmpty = FindTextInTable(parsed.pTable, "Uninstall|Success");
    ASSERT_NE(nullptr, pwszEmpty);  // a hit with an empty text, not a miss
    EXPECT_EQ(0, pwszEmpty[0]);
    EXPECT_EQ(u"empty key", Text(FindTextInTable(parsed.pTable, "")));
    EXPECT_EQ(u"&No", Text(FindTextInTable(parsed.pTable, "no")));

    c.entries = {{"No", u"&No"}};
    Parsed noEmptyKey(BuildLanguageFile(c));
    EXPECT_EQ(nullptr, FindTextInTable(noEmptyKey.pTable, ""));
}

TEST(TableSlots, PrimaryOverridesSecondaryKeyByKey) {
    LanguageFileContents primary;
    primary.entries = {{"Yes", u"&Ja"}, {"Uninstall|Success", u"Erfolg"}};
    LanguageFileContents secondary;
    secondary.entries = {{"YES", u"&Yes"}, {"Setup|Only", u"from secondary"}};
    Parsed p(BuildLanguageFile(primary));
    Parsed s(BuildLanguageFile(secondary));

    EXPECT_EQ(nullptr, GetLanguageText("Yes"));  // slots start empty
    EXPECT_EQ(1, SetPrimaryLanguageTable(p.pTable));
    EXPECT_EQ(1, SetSecondaryLanguageTable(s.pTable));
    EXPECT_EQ(u"&Ja", Text(GetLanguageText("yes")));
    EXPECT_EQ(u"from secondary", Text(GetLanguageText("Setup|Only")));
    EXPECT_EQ(nullptr, GetLanguageText("Uninstall|Confirm"));
    EXPECT_EQ(nullptr, GetLanguageText(nullptr));

    EXPECT_EQ(1, SetPrimaryLanguageTable(nullptr));
    EXPECT_EQ(u"&Yes", Text(GetLanguageText("Yes")));
    EXPECT_EQ(nullptr, GetLanguageText("Uninstall|Success"));
    EXPECT_EQ(1, SetSecondaryLanguageTable(nullptr));
    EXPECT_EQ(nullptr, GetLanguageText("Yes"));
}

TEST(Duplicates, CopiesIncludeTheTerminatorAndNullGivesNull) {
    EXPECT_EQ(nullptr, DuplicateString(nullptr));
    EXPECT_EQ(nullptr, DuplicateWideString(nullptr));
    const char* psz = "Uninstall|Success";
    char* pszCopy = DuplicateString(psz);
    ASSERT_NE(nullptr, pszCopy);
    EXPECT_NE(psz, pszCopy);
    EXPECT_STREQ(psz, pszCopy);
    free(pszCopy);
    pszCopy = DuplicateString("");
    ASSERT_NE(nullptr, pszCopy);
    EXPECT_EQ('\0', pszCopy[0]);
    free(pszCopy);

    const LANGCHAR wsz[] = {0x00e4, 0xd83d, 0xde00, 'x', 0};
    LANGCHAR* pwszCopy = DuplicateWideString(wsz);
    ASSERT_NE(nullptr, pwszCopy);
    EXPECT_NE(wsz, pwszCopy);
    EXPECT_EQ(0, memcmp(wsz, pwszCopy, sizeof(wsz)));
    free(pwszCopy);
}

}  // namespace
