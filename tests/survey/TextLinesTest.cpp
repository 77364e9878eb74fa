#include <gtest/gtest.h>

#include "survey/TextLines.h"

using namespace std::string_literals;

namespace {

std::vector<std::string> ReadAll(const std::string& bytes)
{
    TextStream stream(bytes);
    std::vector<std::string> lines;
    std::string line;
    while (ReadNonBlankLine(stream, line)) lines.push_back(line);
    EXPECT_TRUE(line.empty());
    // The views into the stream's text give the same lines.
    TextStream again(bytes);
    std::vector<std::string> viewed;
    std::string_view view;
    while (ReadNonBlankLine(again, view)) viewed.emplace_back(view);
    EXPECT_TRUE(view.empty());
    EXPECT_EQ(viewed, lines);
    return lines;
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields{"stale"};
    SplitFields(line, fields);
    std::vector<std::string_view> views{"stale"};
    SplitFields(line, views);
    EXPECT_EQ(std::vector<std::string>(views.begin(), views.end()), fields) << line;
    return fields;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(ReadNonBlankLine, SkipsBlankLinesAndTrims)
{
    EXPECT_EQ(ReadAll(""), Lines{});
    EXPECT_EQ(ReadAll("a\n \t \n\t\t\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(ReadAll("one\r\ntwo\r\n"), (Lines{"one", "two"}));
    EXPECT_EQ(ReadAll("x\n   \t "), Lines{"x"});
    EXPECT_EQ(ReadAll("  x = 1\n"), Lines{"x = 1"});
    EXPECT_EQ(ReadAll(std::string("ab\0cd\n\0zz\nq", 12)), (Lines{"ab", "q"}));
    EXPECT_EQ(ReadAll("\xB2\xE2\xCF\xDF \n"), Lines{"\xB2\xE2\xCF\xDF"});
    EXPECT_EQ(ReadAll("\177a\177\n"), Lines{"\177a\177"});
}

TEST(ReadNonBlankLine, LongLines)
{
    std::string exact(kMaxLineBytes, 'a');
    EXPECT_EQ(ReadAll(exact + "\nnext\n"), (Lines{exact, "next"}));
    std::string tooLong(100000, 'b');
    EXPECT_EQ(ReadAll(tooLong + "\nnext\n"), Lines{std::string(kMaxLineBytes, 'b')});
    // A too-long line that is blank in its first part yields nothing and ends the stream.
    EXPECT_EQ(ReadAll(std::string(kMaxLineBytes, ' ') + "tail\nnext\n"), Lines{});
}

TEST(ReadNonBlankWholeLine, TakesLinesOfAnyLength)
{
    const std::string longLine(100000, 'x');
    TextStream stream(" \r\n\t\r\n " + longLine + "\0tail \r\n\r\n b \r\n  "s);
    std::string line;
    ASSERT_TRUE(ReadNonBlankWholeLine(stream, line));
    EXPECT_EQ(line, longLine);  // whole, up to its first NUL, trimmed
    ASSERT_TRUE(ReadNonBlankWholeLine(stream, line));
    EXPECT_EQ(line, "b");
    EXPECT_FALSE(ReadNonBlankWholeLine(stream, line));
    EXPECT_TRUE(line.empty());
}

TEST(SplitFields, Separators)
{
    struct Case {
        std::string line;
        Lines fields;
    } cases[] = {
        {"", {}},
        {"   \t  ", {}},
        {",;:=\"", {}},
        {"x = 1", {"x", "1"}},
        {"Line: L-12", {"Line", "L-12"}},
        {"12:30:45", {"12", "30", "45"}},
        {"A=1;B=2", {"A", "1", "B", "2"}},
        {"\"two words\"", {"two", "words"}},
        {"a,,,b", {"a", "b"}},
        {"a , ; b", {"a", "b"}},
        {"a\tb", {"a", "b"}},
        {"-1.5e+3/7|x", {"-1.5e+3/7|x"}},
        {"a,\f,b", {"a", "", "b"}},
        {"a,b,\f", {"a", "b"}},
        {"a\vb", {"a\vb"}},
        {std::string("a\0b", 3), {"a", "b"}},
        {" \xB2\xE2\xCF\xDF ", {"\xB2\xE2\xCF\xDF"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Split(c.line), c.fields) << c.line;
}

TEST(SplitFields, EveryByteOnItsOwn)
{
    const std::string separators("\n\r ,\"\t:=;\0", 10);
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        EXPECT_EQ(IsFieldSeparator(c), separators.find(c) != std::string::npos) << byte;
        const Lines fields = Split(std::string("a") + c + "b");
        if (IsFieldSeparator(c))
            EXPECT_EQ(fields, (Lines{"a", "b"})) << byte;
        else
            EXPECT_EQ(fields, Lines{std::string("a") + c + "b"}) << byte;
    }
}

TEST(SplitFields, AtMostAThousandFields)
{
    std::string line;
    for (int i = 0; i < 1500; ++i) line += std::to_string(i) + " ";
    Lines fields = Split(line);
    ASSERT_EQ(fields.size(), kMaxFields);
    EXPECT_EQ(fields.back(), "999");
    std::string many;
    for (int i = 0; i < 50000; ++i) many += "x,";
    EXPECT_EQ(Split(many).size(), kMaxFields);
    EXPECT_EQ(FieldOrEmpty(fields, 5), "5");
    EXPECT_EQ(FieldOrEmpty(fields, 1000), "");
    std::vector<std::string_view> views;
    SplitFields(line, views);
    EXPECT_EQ(FieldOrEmpty(views, 999), "999");
    EXPECT_EQ(FieldOrEmpty(views, 1000), "");
}

TEST(SplitFields, LineFromTheListItself)
{
    std::vector<std::string> fields{"x", "a b,c", "a much longer line of fields: one two three"};
    SplitFields(fields[1], fields);
    EXPECT_EQ(fields, (std::vector<std::string>{"a", "b", "c"}));
    fields = {"a much longer line of fields: one two three", "y"};
    SplitFields(fields[0], fields);
    EXPECT_EQ(fields, (std::vector<std::string>{"a", "much", "longer", "line", "of", "fields",
                                                "one", "two", "three"}));
}

TEST(SplitAllFields, FieldsOfSplitFieldsWithoutTheirLimit)
{
    std::string line = " \t";
    for (int i = 0; i < 1500; ++i) line += std::to_string(i) + (i % 2 ? " ,;" : "\t:=\"");
    std::vector<std::string> all{"stale"}, limited;
    SplitAllFields(line, all);
    ASSERT_EQ(all.size(), 1500u);
    EXPECT_EQ(all.back(), "1499");
    SplitFields(line, limited);
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + kMaxFields), limited);
    SplitAllFields(" ,; \r\n", all);
    EXPECT_TRUE(all.empty());
}

TEST(FieldNumbers, ExactCountInOnePass)
{
    struct Case {
        std::string line;
        bool exact;
        std::vector<double> values;
        std::string failed;
        size_t fields;
    } cases[] = {
        {"1 2.5 -3", true, {1, 2.5, -3}, "", 3}, {"1 2 3 4", false, {1, 2, 3}, "", 4},
        {"1 2 3 q", false, {1, 2, 3}, "", 4},    {"1 2", false, {1, 2}, "", 2},
        {"1 x 3", false, {1}, "x", 3},           {"1 \x01 3", false, {1}, "", 3},
        {"1 2 \x01;", false, {1, 2}, "", 3},     {"", false, {}, "", 0},
    };
    for (const Case& c : cases) {
        std::vector<double> values{7};
        std::string failed = "stale";
        size_t fields = 99;
        EXPECT_EQ(ExactFieldNumbers(c.line, 3, values, failed, fields), c.exact) << c.line;
        EXPECT_EQ(values, c.values) << c.line;
        EXPECT_EQ(failed, c.failed) << c.line;
        EXPECT_EQ(fields, c.fields) << c.line;
    }
}

TEST(FieldNumbers, RoomNoLargerThanTheLine)
{
    // A count that a header claims takes no more room than the line's values could fill.
    std::vector<double> values;
    std::string failed;
    EXPECT_FALSE(FieldNumbers("1 2 3", 2000000000, values, failed));
    EXPECT_EQ(values, (std::vector<double>{1, 2, 3}));
    EXPECT_LE(values.capacity(), 3u);
    size_t fields = 0;
    EXPECT_FALSE(ExactFieldNumbers("4 5", 1u << 30, values, failed, fields));
    EXPECT_EQ(fields, 2u);
    EXPECT_LE(values.capacity(), 3u);
}
