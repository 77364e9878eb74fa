#include "base/Progress.h"

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

void ReportProgress(std::uint64_t done, std::uint64_t total)
{
    if (current) current->Report(done, total);
}

void ReportChangesMade()
{
    if (current) current->ChangesMade();
}
