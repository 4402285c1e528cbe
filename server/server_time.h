// Times as the world table writes them: UTC, to the second.
#pragma once
#include <cstdint>
#include <string>

namespace vrumbal::scores {

// Seconds since 1970 as "YYYY-MM-DDTHH:MM:SSZ".
std::string UtcTime(std::int64_t secondsSinceEpoch);
// The day part of it: "YYYY-MM-DD".
std::string UtcDay(std::int64_t secondsSinceEpoch);

}  // namespace vrumbal::scores
