#include "base/Progress.h"

#include <algorithm>

namespace {

thread_local Progress* current = nullptr;

}  // namespace

EAbort::EAbort() : Exception("Operation aborted") {}

ProgressScope::ProgressScope(Progress* progress) : previous_(current)
{
    current = progress;
}

ProgressScope::~ProgressScope()
{
    current = previous_;
}

ProgressShare::ProgressShare(std::uint64_t first, std::uint64_t last, std::uint64_t whole)
    : outer_(current), first_(first), last_(std::max(first, last)), whole_(whole), scope_(this)
{
}

void ProgressShare::Report(std::uint64_t done, std::uint64_t total)
{
    if (!outer_) return;
    const std::uint64_t part =
        total == 0 ? 0
                   : static_cast<std::uint64_t>(static_cast<double>(std::min(done, total)) /
                                                static_cast<double>(total) *
                                                static_cast<double>(last_ - first_));
    outer_->Report(first_ + part, whole_);
}

void ProgressShare::ChangesMade()
{
    if (outer_) outer_->ChangesMade();
}

void ReportProgress(std::uint64_t done, std::uint64_t total)
{
    if (current) current->Report(done, total);
}

void ReportChangesMade()
{
    if (current) current->ChangesMade();
}

void ReportWorkDone()
{
    ReportProgress(1, 1);
}
