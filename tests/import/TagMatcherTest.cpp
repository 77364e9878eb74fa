#include <gtest/gtest.h>

#include "import/TagMatcher.h"
#include "tests/import/NaiveTagSearch.h"

namespace {

std::vector<TStation> Stations(const std::vector<std::string>& tags)
{
    std::vector<TStation> stations(tags.size());
    for (size_t i = 0; i < tags.size(); ++i) stations[i].Info.Tag = tags[i];
    return stations;
}

// A random text of length bytes over a small alphabet, so that tags overlap often.
class Words {
public:
    std::string Of(size_t length)
    {
        std::string word;
        while (word.size() < length) word += "abc\xb1"[Next(4)];
        return word;
    }
    unsigned Next(unsigned range)
    {
        seed_ = seed_ * 1103515245u + 12345u;
        return (seed_ >> 16) % range;
    }

private:
    unsigned seed_ = 2024;
};

}  // namespace

// Tags that overlap, nest, repeat and are suffixes of each other, over a run of the stations:
// the matcher finds what a search of the line for each of its tags in turn finds.
TEST(TagMatcher, FirstTagAsANaiveSearchFindsIt)
{
    const std::vector<std::string> tags = {"abcab",   "bca", "cab", "ab",        "b",    "abca",
                                           "xabcabx", "ca",  "bca", "c\xb1\xea", "\xb1", "aaaa"};
    const std::vector<std::string> lines = {
        "",         "abcab",  "bcab",  "zzcazz", "xabcabx", "b",    "aaaa",  "abcabc", "c\xb1\xea",
        "\xb1\xea", "acbacb", "ab ca", "ab:cab", "bcab b",  "aaab", "caaaa", "xyz"};
    const std::vector<TStation> stations = Stations(tags);
    for (auto [begin, end] : {std::pair<size_t, size_t>{0, tags.size()}, {0, 0}, {3, 9}, {7, 12}}) {
        TagMatcher matcher(stations, begin, end);
        EXPECT_EQ(matcher.Begin(), begin);
        size_t tagBytes = 0;
        for (size_t i = begin; i < end; ++i) tagBytes += tags[i].size();
        EXPECT_EQ(matcher.Bytes(), end - begin + tagBytes);
        for (const std::string& line : lines)
            EXPECT_EQ(matcher.FirstIn(line), NaiveFirstTag(tags, line, begin, end))
                << "line " << line << " stations " << begin << " to " << end;
    }
    // An empty tag occurs in every line.
    const std::vector<TStation> withEmpty = Stations({"zz", "", "a"});
    EXPECT_EQ(TagMatcher(withEmpty, 0, 3).FirstIn("a"), 1u);
    EXPECT_EQ(TagMatcher(withEmpty, 0, 3).FirstIn("zz"), 0u);
}

// Random tags and lines, the index growing between the lines as channel tables add stations.
TEST(TagMatcher, RandomTagsAsANaiveSearchFindsThem)
{
    Words words;
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> tags;
        for (unsigned i = 0, n = 1 + words.Next(40); i < n; ++i)
            tags.push_back(words.Of(1 + words.Next(round < 10 ? 3 : 8)));
        const std::vector<TStation> stations = Stations(tags);
        TagMatcher matcher(stations, 0, tags.size());
        for (int j = 0; j < 50; ++j) {
            const std::string line = words.Of(words.Next(30));
            EXPECT_EQ(matcher.FirstIn(line), NaiveFirstTag(tags, line)) << line;
        }
    }

    // Each line names one known station amid bytes of no tag, so that stations of every run
    // are found.
    std::vector<std::string> tags;
    std::vector<TStation> stations;
    TagIndex index;
    for (int j = 0; j < 400; ++j) {
        if (j % 3 == 0 || words.Next(4) == 0) {
            for (unsigned k = 0, n = 1 + words.Next(3); k < n; ++k) {
                tags.push_back(words.Of(4 + words.Next(j < 200 ? 3 : 9)));
                stations.push_back(Stations({tags.back()}).front());
            }
        }
        const std::string line = "id:ex " + tags[words.Next(tags.size())] + " x";
        EXPECT_EQ(index.FirstIn(stations, line), NaiveFirstTag(tags, line)) << line;
    }
}
