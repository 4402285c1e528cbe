// SHA-256 digests, over nettle: of the game's content, and of a replay to name it by.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vrumbal {

// A SHA-256 digest.
using Digest = std::array<std::uint8_t, 32>;

// A digest made of bytes given piece by piece.
class DigestBuilder final {
public:
    DigestBuilder();
    ~DigestBuilder();
    DigestBuilder(const DigestBuilder&) = delete;
    DigestBuilder& operator=(const DigestBuilder&) = delete;
    // Takes the next bytes.
    void Add(std::string_view bytes);
    // The digest of all bytes taken; the builder starts afresh.
    Digest Finish();

private:
    struct State;
    std::unique_ptr<State> state_;  // nettle's context
};

// The digest of the bytes.
Digest DigestOf(std::string_view bytes);
// The digest in lower-case hexadecimal, its first count bytes (32: all of it).
std::string DigestHex(const Digest& digest, std::size_t count = 32);

}  // namespace vrumbal
