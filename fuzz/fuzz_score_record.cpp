// Feeds arbitrary text to the server's record decoder, both as the encoded letters and as a
// plain record text. A record it accepts must encode and decode back to the same result.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "online/score_record.h"

namespace {

// Aborts unless the record goes through the game's encoding and back unchanged.
void CheckRoundTrip(const vrumbal::ScoreRecord& record) {
    const std::optional<vrumbal::ScoreRecord> again =
        vrumbal::DecodeRecord(vrumbal::EncodeRecord(vrumbal::ScoreRecordText(record)));
    if (!again || again->name != record.name || again->score != record.score ||
        again->country != record.country) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto record = vrumbal::DecodeRecord(text)) CheckRoundTrip(*record);
    if (const auto record = vrumbal::ParseRecordText(text)) CheckRoundTrip(*record);
    (void)vrumbal::DecodeFiveBitText(text);
    return 0;
}
