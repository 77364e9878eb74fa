#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/Progress.h"

namespace {

class RecordedProgress : public Progress {
public:
    void Report(std::uint64_t done, std::uint64_t total) override
    {
        Reports.push_back({done, total});
    }
    void ChangesMade() override { ++Changes; }
    std::vector<std::pair<std::uint64_t, std::uint64_t>> Reports;
    int Changes = 0;
};

}  // namespace

// A part's reports stand for its span of the whole; outside the share they go on as they are.
TEST(ProgressShare, ReportsAPartAsItsSpanOfTheWhole)
{
    RecordedProgress outer;
    ProgressScope scope(&outer);
    {
        ProgressShare part(10, 40, 100);
        ReportProgress(0, 4);
        ReportProgress(2, 4);
        ReportProgress(4, 4);
        ReportProgress(9, 4);  // past its end: the span's end
        ReportProgress(3, 0);  // of no known total: the span's start
        ReportChangesMade();
    }
    ReportProgress(1, 2);
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> expected = {
        {10, 100}, {25, 100}, {40, 100}, {40, 100}, {10, 100}, {1, 2}};
    EXPECT_EQ(outer.Reports, expected);
    EXPECT_EQ(outer.Changes, 1);
}

TEST(ProgressShare, WithoutAProgressAroundReportsGoNowhere)
{
    ProgressShare part(0, 50, 100);
    ReportProgress(1, 2);
    ReportChangesMade();
    SUCCEED();
}
