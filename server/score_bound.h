#pragma once
#include <cstdint>

namespace vrumbal::scores {

// The highest score one game can reach; the server refuses any result above it.
std::int32_t HighestScore();

}  // namespace vrumbal::scores
