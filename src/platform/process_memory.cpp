// The process's resident pages from /proc and its heap from the allocator or the sanitizer.
#include "platform/process_memory.h"

#include <malloc.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#define VRUMBAL_HEAP_FROM_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VRUMBAL_HEAP_FROM_SANITIZER 1
#endif
#endif

#ifdef VRUMBAL_HEAP_FROM_SANITIZER
// The sanitizer runtime's own count; g++ ships the runtime without this header, so the one
// function is declared here as the runtime exports it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace vrumbal {
namespace {

std::size_t ResidentBytes() {
    // The second field of statm is the resident set in pages.
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return 0;
    unsigned long size = 0, resident = 0;
    const bool read = std::fscanf(statm, "%lu %lu", &size, &resident) == 2;
    std::fclose(statm);
    const long page = sysconf(_SC_PAGESIZE);
    return read && page > 0 ? resident * static_cast<std::size_t>(page) : 0;
}

std::size_t HeapBytes() {
#ifdef VRUMBAL_HEAP_FROM_SANITIZER
    return __sanitizer_get_current_allocated_bytes();
#else
    // Small blocks in the arenas plus the large ones mapped on their own.
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

}  // namespace

ProcessMemory ReadProcessMemory() {
    ProcessMemory memory;
    memory.residentBytes = ResidentBytes();
    memory.heapBytes = HeapBytes();
    return memory;
}

}  // namespace vrumbal
