// PathVariablesTest.cpp -- the path-variable list: lookup, replacement, limits, backslashes.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "PathVariables.h"

namespace {

int CountNodes(const char *pszName)
{
    int n = 0;
    for (PathVariable *p = PathVariableList; p != NULL; p = p->next)
        n += strcmp(p->name, pszName) == 0;
    return n;
}

int PositionOf(const char *pszName)
{
    int i = 0;
    for (PathVariable *p = PathVariableList; p != NULL; p = p->next, i++) {
        if (strcmp(p->name, pszName) == 0)
            return i;
    }
    return -1;
}

} // namespace

TEST(PathVariableLookup, UnknownNamesReadAsEmptyText)
{
    const char *psz = GetPathVariable("NEVER_SET");
    ASSERT_NE(nullptr, psz);
    EXPECT_STREQ("", psz);
    EXPECT_EQ(nullptr, FindPathVariable("NEVER_SET"));
    EXPECT_STREQ("", GetPathVariable(NULL));
}

TEST(PathVariableLookup, NamesCompareWithCaseAndWholeLength)
{
    ASSERT_EQ(1, SetPathVariable("CASEDIR", "C:\\Upper\\"));
    EXPECT_STREQ("", GetPathVariable("casedir"));
    EXPECT_STREQ("", GetPathVariable("CASE"));
    EXPECT_STREQ("", GetPathVariable("CASEDIRX"));
    EXPECT_STREQ("C:\\Upper\\", GetPathVariable("CASEDIR"));
    ASSERT_EQ(1, SetPathVariable("casedir", "C:\\lower\\"));
    EXPECT_STREQ("C:\\Upper\\", GetPathVariable("CASEDIR"));
    EXPECT_STREQ("C:\\lower\\", GetPathVariable("casedir"));
}

TEST(PathVariableSetting, NewVariablesGoInFront)
{
    ASSERT_EQ(1, SetPathVariable("FRONT_A", "a"));
    ASSERT_EQ(1, SetPathVariable("FRONT_B", "b"));
    EXPECT_EQ(0, PositionOf("FRONT_B"));
    EXPECT_EQ(1, PositionOf("FRONT_A"));
    PathVariable *p = FindPathVariable("FRONT_A");
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("a", p->value);
}

TEST(PathVariableSetting, SettingAgainReplacesInPlace)
{
    ASSERT_EQ(1, SetPathVariable("SEL_DESTPATH", "C:\\First\\"));
    ASSERT_EQ(1, SetPathVariable("AFTER_DEST", "x"));
    int nBefore = PositionOf("SEL_DESTPATH");
    ASSERT_EQ(1, SetPathVariable("SEL_DESTPATH", "D:\\Second"));
    EXPECT_EQ(1, CountNodes("SEL_DESTPATH"));
    EXPECT_EQ(nBefore, PositionOf("SEL_DESTPATH"));
    EXPECT_STREQ("D:\\Second", GetPathVariable("SEL_DESTPATH"));
    // A shorter value leaves nothing of the longer one behind.
    ASSERT_EQ(1, SetPathVariable("SEL_DESTPATH", ""));
    EXPECT_STREQ("", GetPathVariable("SEL_DESTPATH"));
    EXPECT_NE(nullptr, FindPathVariable("SEL_DESTPATH"));
}

TEST(PathVariableSetting, NullArgumentsAreRefused)
{
    EXPECT_EQ(0, SetPathVariable(NULL, "C:\\"));
    EXPECT_EQ(0, SetPathVariable("NULLVALUE", NULL));
    EXPECT_EQ(nullptr, FindPathVariable("NULLVALUE"));
}

TEST(PathVariableSetting, TextsThatFitTheNodeAreStoredWhole)
{
    std::string name(29, 'N');
    std::string value(261, 'v');
    ASSERT_EQ(1, SetPathVariable(name.c_str(), value.c_str()));
    EXPECT_EQ(value, GetPathVariable(name.c_str()));
    EXPECT_EQ(1, CountNodes(name.c_str()));
}

TEST(PathVariableSetting, TextsTooLongForTheNodeAreRefused)
{
    std::string longName(30, 'L');
    EXPECT_EQ(0, SetPathVariable(longName.c_str(), "C:\\"));
    EXPECT_EQ(nullptr, FindPathVariable(longName.c_str()));
    // Not stored under its first 29 characters either.
    EXPECT_EQ(nullptr, FindPathVariable(longName.substr(0, 29).c_str()));

    std::string longValue(262, 'v');
    EXPECT_EQ(0, SetPathVariable("LONGVALUE", longValue.c_str()));
    EXPECT_EQ(nullptr, FindPathVariable("LONGVALUE"));

    // A refused value leaves an existing variable as it was.
    ASSERT_EQ(1, SetPathVariable("KEEPME", "C:\\Old\\"));
    EXPECT_EQ(0, SetPathVariable("KEEPME", longValue.c_str()));
    EXPECT_STREQ("C:\\Old\\", GetPathVariable("KEEPME"));

    std::string huge(100000, 'h');
    EXPECT_EQ(0, SetPathVariable("HUGE", huge.c_str()));
}

TEST(Backslash, AddedOnlyWhenMissing)
{
    char sz[16] = "C:\\Dir";
    AppendBackslash(sz);
    EXPECT_STREQ("C:\\Dir\\", sz);
    AppendBackslash(sz);
    EXPECT_STREQ("C:\\Dir\\", sz);

    char szEmpty[4] = "";
    AppendBackslash(szEmpty);
    EXPECT_STREQ("", szEmpty);

    char szDrive[4] = "C:";
    AppendBackslash(szDrive);
    EXPECT_STREQ("C:\\", szDrive);
    AppendBackslash(NULL);
}
