// KantorArgsTest.cpp -- the compressor's command-line split, as the builder and people call it.
#include <gtest/gtest.h>

#include <string>

#include "KantorArgs.h"

namespace {

struct Split {
    int ok;
    std::string in, out;
};

Split SplitOf(const char *cmd, size_t size = 260)
{
    char in[260], out[260];
    Split s;
    s.ok = KantorSplitCommandLine(cmd, in, size, out, size);
    s.in = in;
    s.out = out;
    return s;
}

}  // namespace

TEST(KantorArgs, PathsAsTheBuilderInsertsThem)
{
    Split s = SplitOf("KANTOR.EXE /I:C:\\TEMP\\SFX1.tmp /O:C:\\TEMP\\SFX2.tmp");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ("C:\\TEMP\\SFX1.tmp", s.in);
    EXPECT_EQ("C:\\TEMP\\SFX2.tmp", s.out);
}

TEST(KantorArgs, BlanksInsideUnquotedPathsBelongToThePaths)
{
    Split s = SplitOf("KANTOR.EXE /I:C:\\Documents and Settings\\Jo\\Temp\\SFX1.tmp /O:C:\\My Temp\\out file.tmp");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ("C:\\Documents and Settings\\Jo\\Temp\\SFX1.tmp", s.in);
    EXPECT_EQ("C:\\My Temp\\out file.tmp", s.out);
}

TEST(KantorArgs, QuotedProgramNameQuotedPathsAndLowerCaseSwitches)
{
    Split s = SplitOf("\"C:\\Program Files\\Velmor\\KANTOR.EXE\"  /i:\"a b.txt\" /o:\"c d.z\"");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ("a b.txt", s.in);
    EXPECT_EQ("c d.z", s.out);
}

TEST(KantorArgs, BadCommandLinesFail)
{
    EXPECT_FALSE(SplitOf("KANTOR.EXE").ok);
    EXPECT_FALSE(SplitOf("KANTOR.EXE /I:in.txt").ok) << "no output switch";
    EXPECT_FALSE(SplitOf("KANTOR.EXE /O:out.z /I:in.txt").ok) << "switches in the wrong order";
    EXPECT_FALSE(SplitOf("KANTOR.EXE /I: /O:out.z").ok) << "empty input";
    EXPECT_FALSE(SplitOf("KANTOR.EXE /I:in.txt /O:").ok) << "empty output";
    EXPECT_FALSE(SplitOf("KANTOR.EXE /I:in.txt/O:out.z").ok) << "the switch needs its blank";
    EXPECT_FALSE(SplitOf("KANTOR.EXE /I:0123456789 /O:out.z", 10).ok) << "a path that does not fit";
    EXPECT_TRUE(SplitOf("KANTOR.EXE /I:012345678 /O:out.z", 10).ok);
}
