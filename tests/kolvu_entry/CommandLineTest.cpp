// CommandLineTest.cpp -- the tokenizer, quote stripping and option test.
#include <gtest/gtest.h>
#include <string.h>

#include "CommandLine.h"
#include "CommandLineCases.h"

// The same steps ReadArguments takes: count, then measure, scan, strip.
static std::vector<std::string> Split(const char *line)
{
    std::vector<std::string> out;
    uint32_t count = CountArguments(line);
    const char *pos = line;
    for (uint32_t i = 0; i < count && pos != NULL; i++) {
        uint32_t length = 0;
        NextToken(pos, NULL, &length);
        std::vector<char> buffer(length + 10, 'Z');
        uint32_t capacity = length + 10;
        pos = NextToken(pos, buffer.data(), &capacity);
        EXPECT_EQ(capacity, length);
        StripOuterQuotes(buffer.data());
        out.push_back(buffer.data());
    }
    return out;
}

TEST(CommandLine, SplitsEveryListedLine)
{
    for (const CommandLineCase &c : CommandLineCases())
        EXPECT_EQ(Split(c.line), c.arguments) << "line [" << c.line << "]";
}

TEST(CommandLine, CountOfNullLineIsZero)
{
    EXPECT_EQ(CountArguments(NULL), 0u);
}

TEST(NextToken, ReturnsNextTokenAfterBlanksOrNullAtEnd)
{
    uint32_t length = 0;
    const char *line = "ab   cd  ";
    const char *next = NextToken(line, NULL, &length);
    EXPECT_EQ(length, 2u);
    ASSERT_NE(next, nullptr);
    EXPECT_STREQ(next, "cd  ");
    EXPECT_EQ(NextToken(next, NULL, &length), nullptr);
    EXPECT_EQ(length, 2u);
}

TEST(NextToken, SmallBufferIsNeverOverrunAndStaysTerminated)
{
    char buffer[8];
    memset(buffer, 'Z', sizeof(buffer));
    uint32_t capacity = 4;
    NextToken("abcdefgh", buffer, &capacity);
    EXPECT_EQ(capacity, 8u) << "the full length is reported";
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(buffer[4], 'Z');
}

TEST(NextToken, EmptyTokenLeavesEmptyString)
{
    char buffer[4] = {'Z', 'Z', 'Z', 'Z'};
    uint32_t capacity = sizeof(buffer);
    const char *next = NextToken(" x", buffer, &capacity);
    EXPECT_EQ(capacity, 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_STREQ(next, "x");
}

TEST(NextToken, ZeroCapacityWritesNothing)
{
    char buffer[2] = {'Z', 'Z'};
    uint32_t capacity = 0;
    NextToken("abc", buffer, &capacity);
    EXPECT_EQ(capacity, 3u);
    EXPECT_EQ(buffer[0], 'Z');
}

TEST(StripOuterQuotes, OnlyAWholeEnclosingPairGoes)
{
    struct { const char *in, *out; } cases[] = {
        {"\"abc\"", "abc"}, {"\"\"", ""}, {"\"", "\""}, {"\"abc", "\"abc"},
        {"abc\"", "abc\""}, {"a\"b\"", "a\"b\""}, {"\"a\"b\"\"", "a\"b\""},
    };
    for (auto &c : cases) {
        char buffer[16];
        strcpy(buffer, c.in);
        StripOuterQuotes(buffer);
        EXPECT_STREQ(buffer, c.out) << c.in;
    }
}

TEST(IsOptionArgument, SlashOrDashAndNameInAnyCase)
{
    for (const char *yes : {"/yes", "-Yes", "/YES", "-yEs"})
        EXPECT_TRUE(IsOptionArgument(yes, "yes")) << yes;
    for (const char *no : {"yes", "--yes", "/yess", "/ye", "/", "", "\\yes", "/y s", "+yes"})
        EXPECT_FALSE(IsOptionArgument(no, "yes")) << no;
    EXPECT_TRUE(IsOptionArgument("/uninstall", "UNINSTALL"));
    // Only ASCII letters fold: a byte above 127 must match exactly.
    EXPECT_FALSE(IsOptionArgument("/\xC4", "\xE4"));
}

TEST(OptionValue, NameThenColonInAnyCase)
{
    EXPECT_STREQ(OptionValue("/log:C:\\r.txt", "log"), "C:\\r.txt");
    EXPECT_STREQ(OptionValue("-LOG:", "log"), "");
    for (const char *no : {"/log", "/logs:x", "log:x", "/lo:x", "/yes"})
        EXPECT_EQ(OptionValue(no, "log"), nullptr) << no;
}

// The log is named by the line without the switches that end it; a switch in
// front of the path stays (and then names nothing).
TEST(LineWithoutTrailingSwitches, OnlyTheSwitchesAtTheEndGo)
{
    struct { const char *line, *rest; } cases[] = {
        {"C:\\k\\App dir\\uninst.log /yes", "C:\\k\\App dir\\uninst.log"},
        {"C:\\k\\App dir\\uninst.log", "C:\\k\\App dir\\uninst.log"},
        {"\"C:\\k\\App dir\\uninst.log\" -YES /log:\"C:\\a b\\r.txt\"", "C:\\k\\App dir\\uninst.log"},
        {"C:\\k\\-yes dir\\x.log  /yes ", "C:\\k\\-yes dir\\x.log"},
        {"C:\\k\\App dir\\uninst.log /QUIET /log:r.txt", "C:\\k\\App dir\\uninst.log"},
        {"/yes \"C:\\k\\uninst.log\"", "/yes \"C:\\k\\uninst.log\""},
        {"/yes", ""},
        {"", ""},
    };
    for (auto &c : cases) {
        char out[64];
        ASSERT_TRUE(LineWithoutTrailingSwitches(c.line, out, sizeof(out))) << c.line;
        EXPECT_STREQ(out, c.rest) << c.line;
    }
    char small[8];
    EXPECT_FALSE(LineWithoutTrailingSwitches("C:\\long\\path.log /yes", small, sizeof(small)));
}
