#include "platform/process_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace vrumbal {
namespace {

// The soak's leak check rests on these figures following what the program really holds.
TEST(ProcessMemoryTest, FiguresFollowABlockHeldAndFreed) {
    constexpr std::size_t kBlock = 32u << 20;
    const ProcessMemory before = ReadProcessMemory();
    auto block = std::make_unique<char[]>(kBlock);
    std::memset(block.get(), 0x5A, kBlock);  // touch every page so it is resident
    const ProcessMemory held = ReadProcessMemory();
    block.reset();
    const ProcessMemory after = ReadProcessMemory();

    EXPECT_GT(before.residentBytes, 0u);
    EXPECT_GE(held.residentBytes, before.residentBytes + kBlock / 2);
    EXPECT_GE(held.heapBytes, before.heapBytes + kBlock);
    EXPECT_LE(after.heapBytes + kBlock, held.heapBytes);
}

}  // namespace
}  // namespace vrumbal
