#pragma once
// A load run in a child process of its own, so that its peak resident memory and its processor
// time are those of the load alone.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

struct ChildRun {
    double PeakMb = 0;
    double CpuSeconds = 0;
    int ExitCode = -1;  // -1 when the child did not exit
};

// Runs load() in a child, which ends with what it returns.
template <typename Load>
ChildRun RunInChild(Load load)
{
    const pid_t child = fork();
    if (child == 0) _exit(load());
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    ChildRun run;
    run.PeakMb = static_cast<double>(usage.ru_maxrss) / 1024;
    run.CpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
