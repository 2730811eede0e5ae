// LanguageFixturesTest.cpp -- the committed language files match their generator and carry every text.
#include <gtest/gtest.h>

#include <string>

#include "LanguageFileWriter.h"
#include "LanguageTable.h"

namespace {

LanguageTable* LoadFixture(const std::string& relativePath) {
    std::vector<uint8_t> bytes;
    if (!ReadBytesFromFile(std::string(ZX_FIXTURES_DIR) + "/" + relativePath, bytes))
        return nullptr;
    LanguageTable* pTable = nullptr;
    ParseLanguageFile(bytes.data(), bytes.size(), &pTable);
    return pTable;
}

std::u16string Text(const LANGCHAR* pwsz) {
    std::u16string s;
    for (; pwsz && *pwsz; pwsz++)
        s.push_back((char16_t)*pwsz);
    return s;
}

TEST(LanguageFixtures, CommittedFilesMatchTheGenerator) {
    for (const LanguageFixture& fixture : LanguageFixtures()) {
        SCOPED_TRACE(fixture.relativePath);
        std::vector<uint8_t> committed;
        ASSERT_TRUE(ReadBytesFromFile(std::string(ZX_FIXTURES_DIR) + "/" + fixture.relativePath, committed));
        EXPECT_TRUE(committed == BuildLanguageFile(fixture.contents)) << "run make-langfiles again";
    }
}

TEST(LanguageFixtures, EnglishAndGermanCarryEveryUninstallerText) {
    LanguageTable* pEnglish = LoadFixture("english/LEXA1.LDB");
    LanguageTable* pGerman = LoadFixture("german/LEXA1.LDB");
    ASSERT_NE(nullptr, pEnglish);
    ASSERT_NE(nullptr, pGerman);
    for (size_t i = 0; i < kUninstallerTextKeyCount; i++) {
        const char* key = kUninstallerTextKeys[i];
        SCOPED_TRACE(key);
        std::u16string english = Text(FindTextInTable(pEnglish, key));
        std::u16string german = Text(FindTextInTable(pGerman, key));
        EXPECT_FALSE(english.empty());
        EXPECT_FALSE(german.empty());
        EXPECT_NE(english, german);
    }
    EXPECT_EQ(u"&Ja", Text(FindTextInTable(pGerman, "Yes")));
    EXPECT_EQ(u"Uninstall has successfully removed the selected application.",
              Text(FindTextInTable(pEnglish, "Uninstall|Success")));
    FreeLanguageTable(pEnglish);
    FreeLanguageTable(pGerman);
}

TEST(LanguageFixtures, EdgeCaseFilesHoldWhatTheirNamesSay) {
    LanguageTable* pEmpty = LoadFixture("empty/LEXA1.LDB");
    ASSERT_NE(nullptr, pEmpty);
    EXPECT_EQ(nullptr, pEmpty->Entries[0].pszKey);
    FreeLanguageTable(pEmpty);

    LanguageTable* pDuplicates = LoadFixture("duplicates/LEXA1.LDB");
    ASSERT_NE(nullptr, pDuplicates);
    EXPECT_EQ(u"First success text", Text(FindTextInTable(pDuplicates, "Uninstall|Success")));
    EXPECT_EQ(u"&Yes", Text(FindTextInTable(pDuplicates, "YES")));
    FreeLanguageTable(pDuplicates);

    LanguageTable* pZero = LoadFixture("zerolength/LEXA1.LDB");
    ASSERT_NE(nullptr, pZero);
    const LANGCHAR* pwszSuccess = FindTextInTable(pZero, "Uninstall|Success");
    ASSERT_NE(nullptr, pwszSuccess);
    EXPECT_EQ(0, pwszSuccess[0]);
    EXPECT_EQ(u"Text of the empty key", Text(FindTextInTable(pZero, "")));
    FreeLanguageTable(pZero);

    LanguageTable* pPartial = LoadFixture("partial/LEXA1.LDB");
    LanguageTable* pSecondary = LoadFixture("secondary/LEXA2.LDB");
    ASSERT_NE(nullptr, pPartial);
    ASSERT_NE(nullptr, pSecondary);
    EXPECT_EQ(nullptr, FindTextInTable(pPartial, "Uninstall|Success"));
    EXPECT_EQ(nullptr, FindTextInTable(pPartial, "Uninstall|DirNotEmpty"));
    EXPECT_NE(nullptr, FindTextInTable(pSecondary, "Uninstall|Success"));
    EXPECT_NE(nullptr, FindTextInTable(pSecondary, "Uninstall|DirNotEmpty"));
    FreeLanguageTable(pPartial);
    FreeLanguageTable(pSecondary);
}

}  // namespace
