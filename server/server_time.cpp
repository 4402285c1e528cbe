// UTC times by the C library.
#include "server_time.h"

#include <ctime>

namespace vrumbal::scores {
namespace {

std::string Format(std::int64_t secondsSinceEpoch, const char* format) {
    const auto t = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm tm{};
    if (!gmtime_r(&t, &tm)) return {};
    char text[32];
    if (std::strftime(text, sizeof text, format, &tm) == 0) return {};
    return text;
}

}  // namespace

std::string UtcTime(std::int64_t secondsSinceEpoch) {
    return Format(secondsSinceEpoch, "%Y-%m-%dT%H:%M:%SZ");
}

std::string UtcDay(std::int64_t secondsSinceEpoch) {
    return Format(secondsSinceEpoch, "%Y-%m-%d");
}

}  // namespace vrumbal::scores
