// SHA-256 through nettle.
#include "platform/digest.h"

#include <nettle/sha2.h>

namespace vrumbal {

struct DigestBuilder::State {
    sha256_ctx context;  // nettle's running digest
};

DigestBuilder::DigestBuilder() : state_(std::make_unique<State>()) {
    sha256_init(&state_->context);
}

DigestBuilder::~DigestBuilder() = default;

void DigestBuilder::Add(std::string_view bytes) {
    sha256_update(&state_->context, bytes.size(),
                  reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

Digest DigestBuilder::Finish() {
    Digest digest{};
    sha256_digest(&state_->context, digest.size(), digest.data());
    return digest;
}

Digest DigestOf(std::string_view bytes) {
    DigestBuilder builder;
    builder.Add(bytes);
    return builder.Finish();
}

std::string DigestHex(const Digest& digest, std::size_t count) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < count && i < digest.size(); ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return text;
}

}  // namespace vrumbal
