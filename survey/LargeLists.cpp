#include "survey/LargeLists.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

void AdviseLargePages(const void* data, size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t kLargePage = uintptr_t(2) << 20;
    const uintptr_t begin =
        (reinterpret_cast<uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kLargePage - 1);
    // A refused hint changes nothing: the pages stay as they are.
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}
