// vrumbal-tool submit: sends one result to the world table exactly as the game does after
// the upload question, for trying out a score server.
#include <charconv>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>

#include "commands.h"
#include "online/score_submit.h"
#include "platform/codepage.h"

namespace vrumbal::tool {
namespace {

// The country a fresh options file holds.
constexpr const char* kDefaultCountry = "_______";

std::int32_t ParseScore(const std::string& value) {
    std::int32_t score = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), score);
    if (value.empty() || error != std::errc() || end != value.data() + value.size()) {
        throw std::runtime_error("--score needs a whole number");
    }
    return score;
}

}  // namespace

int Submit(const Args& args) {
    ScoreServer server;
    ScoreRecord record;
    record.country = kDefaultCountry;
    std::optional<std::string> name;
    std::optional<std::int32_t> score;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a != "--host" && a != "--name" && a != "--score" && a != "--country") {
            throw UsageError("unknown option " + a);
        }
        if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
        const std::string& value = args[++i];
        if (a == "--host") {
            server.host = value;
        } else if (a == "--name") {
            name = Utf8ToCp1251(value);
        } else if (a == "--score") {
            score = ParseScore(value);
        } else {
            record.country = Utf8ToCp1251(value);
        }
    }
    if (!name || !score) throw UsageError("--name and --score are needed");
    record.name = *name;
    record.score = *score;
    if (!SubmitScore(record, server)) {
        std::fprintf(stderr, "vrumbal-tool submit: %s did not take the result\n",
                     server.host.c_str());
        return 1;
    }
    return 0;
}

}  // namespace vrumbal::tool
