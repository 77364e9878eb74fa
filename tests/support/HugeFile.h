#pragma once
// A sparse file far longer than the memory, for the readers' answer to an allocation that fails.

#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define QUILLANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLANE_ASAN 1
#endif
#endif

// An empty file at path stretched to 8 TiB without taking room; false where the file system
// cannot hold it (the file is then gone).
inline bool MakeHugeFile(const std::string& path)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).close();
    if (truncate(path.c_str(), off_t(1) << 43) == 0) return true;
    std::remove(path.c_str());
    return false;
}

// The address sanitizer ends the run at an allocation this large, instead of raising bad_alloc.
#ifdef QUILLANE_ASAN
#define SKIP_WITHOUT_HUGE_ALLOCATIONS() \
    GTEST_SKIP() << "the address sanitizer ends the run at an allocation this large"
#else
#define SKIP_WITHOUT_HUGE_ALLOCATIONS() static_cast<void>(0)
#endif
