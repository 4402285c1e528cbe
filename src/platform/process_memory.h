// What the process holds in memory at one moment, for the long runs that watch for leaks.
#pragma once
#include <cstddef>

namespace vrumbal {

// What the process holds in memory at one moment, for long runs that watch for leaks.
struct ProcessMemory {
    std::size_t residentBytes = 0;  // pages in RAM (0 where the system does not say)
    std::size_t heapBytes = 0;      // bytes handed out by the allocator and not yet freed
};

// Reads both figures now. Under the address sanitizer the heap figure comes from its own
// allocator, so freed blocks waiting in its quarantine do not count as held.
ProcessMemory ReadProcessMemory();

}  // namespace vrumbal
