#pragma once
// Long work reports how far it has come, and whoever watches it may end it: the report then
// throws EAbort, which unwinds the work like any other error (temporaries are discarded, nothing
// half-done is committed). The watcher is installed for the current thread by a ProgressScope, so
// the work calls ReportProgress without passing it on.

#include <cstdint>

#include "base/Exception.h"

// Work ended on request: no error to show.
class EAbort : public Exception {
public:
    EAbort();
};

class Progress {
public:
    virtual ~Progress() = default;
    // done of total units (total 0 when unknown); throws EAbort when the work is to end.
    virtual void Report(std::uint64_t done, std::uint64_t total) = 0;
    // The work has changed something that stays: from now on it is not to be ended.
    virtual void ChangesMade() {}
};

// The progress reports of this thread go to the one given, for the lifetime of the scope.
class ProgressScope {
public:
    explicit ProgressScope(Progress* progress);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    Progress* previous_;
};

// One part of a work reported as its share of the whole: within the lifetime of the share, a
// report of done of total goes to the progress around it as first + done / total of the span
// from first to last, of whole.
class ProgressShare : public Progress {
public:
    ProgressShare(std::uint64_t first, std::uint64_t last, std::uint64_t whole);
    void Report(std::uint64_t done, std::uint64_t total) override;
    void ChangesMade() override;

private:
    Progress* outer_;
    std::uint64_t first_, last_, whole_;
    ProgressScope scope_;
};

// Reports to the progress of the innermost scope of this thread; nothing without one.
void ReportProgress(std::uint64_t done, std::uint64_t total);
// Tells the progress of the innermost scope that the work can no longer be ended.
void ReportChangesMade();
// Reports the work whole, right after its last piece and before what it commits: whoever watches
// looks there once more, so that a request to end it made since the last look still holds.
void ReportWorkDone();
