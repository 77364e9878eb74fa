#pragma once
// Room for long lists taken at once, in large pages where the system offers them: a reader that
// fills hundreds of megabytes otherwise spends as much time on page faults as on its input.

#include <cstddef>
#include <vector>

// Asks the system to back the whole 2 MB pages within the bytes with large pages; only a hint,
// and nothing where the system has no such request.
void AdviseLargePages(const void* data, size_t bytes);

// Reserves room for count entries in all; the new room is advised as above.
template <class T>
void ReserveLarge(std::vector<T>& list, size_t count)
{
    if (count <= list.capacity()) return;
    list.reserve(count);
    AdviseLargePages(list.data() + list.size(), (list.capacity() - list.size()) * sizeof(T));
}
