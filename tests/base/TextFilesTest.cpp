#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Exception.h"
#include "base/Gbk.h"
#include "base/StringList.h"
#include "base/TextStream.h"

namespace {

std::string TempPath(const char* name)
{
    return testing::TempDir() + "quillane_" + std::to_string(getpid()) + "_" + name;
}

std::string Slurp(const std::string& path)
{
    std::string bytes;
    ReadFileBytes(path, bytes);
    return bytes;
}

}  // namespace

TEST(TextStream, TextFileReadingRules)
{
    TextStream s(std::string("a\r\nb\rc\n\nlast\x1aignored\n", 21));
    std::string line;
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "a");
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "b\rc");  // a lone CR stays in the line
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(s.ReadLine(line));
    EXPECT_TRUE(TextStream().Failed());
    TextStream missing;
    EXPECT_FALSE(missing.Open(TempPath("does-not-exist")));
}

TEST(TextStream, CarriageReturnsAndEndOfText)
{
    struct Case {
        std::string bytes, text;
    } cases[] = {
        {"\r\n\r\n", "\n\n"},
        {"a\r\r\nb", "a\r\nb"},
        {"a\r", "a\r"},
        {"\r", "\r"},
        {"a\r\x1a\nb", "a\r"},
        {"\x1a\r\n", ""},
        {"a\n\rb\r\n\r", "a\n\rb\n\r"},
        {"\r\r\r\n", "\r\r\n"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(TextStream(c.bytes).Text(), c.text) << c.bytes;
}

TEST(TextStream, BoundedLineFailsTheStream)
{
    TextStream s(std::string(10, 'x') + "\nabc\n");
    std::string line;
    ASSERT_TRUE(s.GetLine(line, 4));
    EXPECT_EQ(line, "xxxx");
    EXPECT_TRUE(s.Failed());
    EXPECT_FALSE(s.GetLine(line, 4));
    s.Rewind();
    ASSERT_TRUE(s.GetLine(line, 10));  // exactly the limit before the line feed
    EXPECT_EQ(line, std::string(10, 'x'));
    ASSERT_TRUE(s.GetLine(line, 10));
    EXPECT_EQ(line, "abc");
    EXPECT_FALSE(s.GetLine(line, 10));
}

TEST(StringList, LoadSplitsAtEveryLineEndAndSavesCrLf)
{
    std::string path = TempPath("list.txt");
    {
        std::ofstream out(path, std::ios::binary);
        out << "one\rtwo\nthree\r\n\nfour";
    }
    StringList list;
    list.LoadFromFile(path);
    ASSERT_EQ(list.Lines, (std::vector<std::string>{"one", "two", "three", "", "four"}));
    list.SaveToFile(path);
    EXPECT_EQ(Slurp(path), "one\r\ntwo\r\nthree\r\n\r\nfour\r\n");
    StringList empty;
    empty.SaveToFile(path);
    EXPECT_EQ(Slurp(path), "");
    std::remove(path.c_str());
}

TEST(StringList, FileErrorsKeepTheOriginal)
{
    std::string missing = TempPath("missing.txt");
    StringList list;
    try {
        list.LoadFromFile(missing);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
    std::string readOnly = TempPath("readonly.txt");
    {
        std::ofstream out(readOnly, std::ios::binary);
        out << "keep\n";
    }
    chmod(readOnly.c_str(), 0444);
    list.Lines = {"new"};
    try {
        list.SaveToFile(readOnly);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + readOnly);
    }
    EXPECT_EQ(Slurp(readOnly), "keep\n");
    chmod(readOnly.c_str(), 0644);
    std::remove(readOnly.c_str());
    EXPECT_THROW(list.SaveToFile(TempPath("no-such-dir/x.txt")), EFCreateError);
}

TEST(Gbk, RoundTripAndDisplay)
{
    const std::string gbk = "\xB2\xE2\xCF\xDF";  // 测线
    const std::string utf8 = "测线";
    EXPECT_EQ(GbkToUtf8(gbk), utf8);
    EXPECT_EQ(Utf8ToGbk(utf8), gbk);
    EXPECT_FALSE(IsValidUtf8(gbk));
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(DisplayTextUtf8(gbk), utf8);
    EXPECT_EQ(DisplayTextUtf8(utf8), utf8);
    EXPECT_EQ(DisplayTextUtf8("L-12"), "L-12");
    EXPECT_FALSE(IsValidUtf8("\xE6\xB5"));  // cut short
    EXPECT_EQ(GbkToUtf8("a\xFF"), "a\xEF\xBF\xBD");
}
