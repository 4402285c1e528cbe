// The replay file written and read: its header, the frames packed as runs and deflated, the
// check sum, and every value checked on the way in.
#include "game/replay.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/compression.h"

namespace vrumbal {
namespace {

constexpr char kMagic[8] = {'V', 'R', 'M', 'B', 'R', 'P', 'L', 'Y'};
// The body inflated is never larger than this; a bigger one is a bomb, not a game.
constexpr std::size_t kMaxBodyBytes = 16 * 1024 * 1024;
// Input states the game has: 36 of them.
constexpr std::uint64_t kInputMask = (std::uint64_t{1} << 36) - 1;
// The flags of the header.
constexpr std::uint16_t kFlagFinished = 1;

// Operations of the packed body.
enum Op : std::uint8_t {
    kOpEnd = 0x00,     // the body ends
    kOpFrames = 0x01,  // run this many frames with the settings as they stand
    kOpInput = 0x02,   // the input states from here on
    kOpLag = 0x03,     // the lag from here on
    kOpPace = 0x04,    // FrameMs and SpeedFactor from here on
};

// Little-endian writing.
class Writer {
public:
    void U8(std::uint8_t v) { bytes_.push_back(v); }
    void U16(std::uint16_t v) {
        for (int i = 0; i < 2; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void U64(std::uint64_t v) {
        for (int i = 0; i < 8; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void Double(double v) { U64(std::bit_cast<std::uint64_t>(v)); }
    void Bytes(std::string_view v) { bytes_.insert(bytes_.end(), v.begin(), v.end()); }
    void Bytes(const std::vector<std::uint8_t>& v) {
        bytes_.insert(bytes_.end(), v.begin(), v.end());
    }
    // Unsigned LEB128.
    void Var(std::uint64_t v) {
        while (v >= 0x80) {
            U8(static_cast<std::uint8_t>(v | 0x80));
            v >>= 7;
        }
        U8(static_cast<std::uint8_t>(v));
    }
    // Signed values folded onto unsigned ones, small magnitudes small.
    void SignedVar(std::int64_t v) {
        Var((static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63));
    }
    std::vector<std::uint8_t>& Out() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// Little-endian reading that notices the end instead of running past it.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool Ok() const { return ok_; }
    bool AtEnd() const { return at_ >= bytes_.size(); }
    std::size_t At() const { return at_; }
    std::uint8_t U8() {
        if (at_ >= bytes_.size()) {
            ok_ = false;
            return 0;
        }
        return static_cast<std::uint8_t>(bytes_[at_++]);
    }
    std::uint16_t U16() {
        std::uint16_t v = 0;
        for (int i = 0; i < 2; ++i) v |= static_cast<std::uint16_t>(U8() << (8 * i));
        return v;
    }
    std::uint32_t U32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(U8()) << (8 * i);
        return v;
    }
    std::uint64_t U64() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(U8()) << (8 * i);
        return v;
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    double Double() { return std::bit_cast<double>(U64()); }
    std::string_view Bytes(std::size_t n) {
        if (n > bytes_.size() - at_) {
            ok_ = false;
            at_ = bytes_.size();
            return {};
        }
        const std::string_view v = bytes_.substr(at_, n);
        at_ += n;
        return v;
    }
    std::uint64_t Var() {
        std::uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const std::uint8_t b = U8();
            v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if ((b & 0x80) == 0) return v;
        }
        ok_ = false;  // more than ten bytes: no number of ours
        return 0;
    }
    std::int64_t SignedVar() {
        const std::uint64_t v = Var();
        return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

std::string_view View(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void WriteEvent(Writer& out, const ReplayEvent& e) {
    out.U8(static_cast<std::uint8_t>(e.type));
    switch (e.type) {
        case ReplayEvent::Type::Char:
            out.U8(e.ch);
            out.U8(static_cast<std::uint8_t>(e.fit));
            break;
        case ReplayEvent::Type::Pointer:
            out.SignedVar(e.x);
            out.SignedVar(e.y);
            break;
        case ReplayEvent::Type::OpenDialog:
        case ReplayEvent::Type::Activate:
            out.U8(e.kind);
            break;
        case ReplayEvent::Type::CloseDialog:
            break;
    }
}

std::vector<std::uint8_t> PackBody(const Replay& replay) {
    Writer out;
    ReplayFrame now;  // the settings as the reader will have them
    bool paceSet = false, inputSet = false, lagSet = false;
    const std::size_t count = replay.frames.size();
    for (std::size_t i = 0; i < count;) {
        const ReplayFrame& f = replay.frames[i];
        for (std::uint32_t e = 0; e < f.eventCount; ++e) {
            WriteEvent(out, replay.events[f.firstEvent + e]);
        }
        if (!inputSet || f.input != now.input) {
            out.U8(kOpInput);
            out.Var(f.input);
            now.input = f.input;
            inputSet = true;
        }
        if (!lagSet || f.lag != now.lag) {
            out.U8(kOpLag);
            out.Var(static_cast<std::uint32_t>(f.lag));
            now.lag = f.lag;
            lagSet = true;
        }
        if (!paceSet || f.frameMs != now.frameMs ||
            std::bit_cast<std::uint64_t>(f.speedFactor) !=
                std::bit_cast<std::uint64_t>(now.speedFactor)) {
            out.U8(kOpPace);
            out.Var(static_cast<std::uint32_t>(f.frameMs));
            out.Double(f.speedFactor);
            now.frameMs = f.frameMs;
            now.speedFactor = f.speedFactor;
            paceSet = true;
        }
        // The frames after it that change nothing and bring no events go in the same run.
        std::size_t run = 1;
        while (i + run < count) {
            const ReplayFrame& g = replay.frames[i + run];
            if (g.eventCount != 0 || g.input != f.input || g.lag != f.lag ||
                g.frameMs != f.frameMs ||
                std::bit_cast<std::uint64_t>(g.speedFactor) !=
                    std::bit_cast<std::uint64_t>(f.speedFactor)) {
                break;
            }
            ++run;
        }
        out.U8(kOpFrames);
        out.Var(run);
        i += run;
    }
    const std::size_t trailingFrom = replay.events.size() - replay.trailingEvents;
    for (std::size_t e = trailingFrom; e < replay.events.size(); ++e) {
        WriteEvent(out, replay.events[e]);
    }
    out.U8(kOpEnd);
    return std::move(out.Out());
}

// Reads one event whose type byte was op; "" or what is wrong with it.
std::string ReadEvent(Reader& in, std::uint8_t op, ReplayEvent& e) {
    e = ReplayEvent{};
    e.type = static_cast<ReplayEvent::Type>(op);
    switch (e.type) {
        case ReplayEvent::Type::Char: {
            e.ch = in.U8();
            const std::uint8_t fit = in.U8();
            if (fit > 2) return "a typed character with an unknown width answer";
            e.fit = static_cast<ReplayEvent::Fit>(fit);
            return "";
        }
        case ReplayEvent::Type::Pointer: {
            const std::int64_t x = in.SignedVar(), y = in.SignedVar();
            if (x < -100000 || x > 100000 || y < -100000 || y > 100000) {
                return "a pointer far outside the frame";
            }
            e.x = static_cast<std::int32_t>(x);
            e.y = static_cast<std::int32_t>(y);
            return "";
        }
        case ReplayEvent::Type::OpenDialog:
            e.kind = in.U8();
            if (e.kind < 1 || e.kind > 12) return "a dialog that does not exist";
            return "";
        case ReplayEvent::Type::Activate:
            e.kind = in.U8();
            if (e.kind > 17) return "an entry that does not exist";
            return "";
        case ReplayEvent::Type::CloseDialog:
            return "";
    }
    return "an unknown step " + std::to_string(op);
}

std::string UnpackBody(std::string_view body, std::uint32_t frameCount, Replay& out) {
    Reader in(body);
    ReplayFrame now;
    bool inputSet = false, lagSet = false, paceSet = false;
    std::uint32_t pending = 0;  // events read since the last frame
    out.frames.reserve(std::min<std::uint32_t>(frameCount, 1u << 16));
    while (true) {
        if (in.AtEnd()) return "the frames end without their end mark";
        const std::uint8_t op = in.U8();
        if (op == kOpEnd) break;
        switch (op) {
            case kOpInput: {
                const std::uint64_t v = in.Var();
                if (v > kInputMask) return "input states that do not exist";
                now.input = v;
                inputSet = true;
                break;
            }
            case kOpLag: {
                const std::uint64_t v = in.Var();
                if (v < 1 || v > 60000) return "a frame's lag out of range";
                now.lag = static_cast<std::int32_t>(v);
                lagSet = true;
                break;
            }
            case kOpPace: {
                const std::uint64_t ms = in.Var();
                const double factor = in.Double();
                if (ms > 1000 || !std::isfinite(factor) || factor <= 0 || factor > 100) {
                    return "a frame pace out of range";
                }
                now.frameMs = static_cast<std::int32_t>(ms);
                now.speedFactor = factor;
                paceSet = true;
                break;
            }
            case kOpFrames: {
                const std::uint64_t run = in.Var();
                if (run == 0 || run > frameCount - out.frames.size()) {
                    return "more frames than the header says";
                }
                if (!inputSet || !lagSet || !paceSet) return "a frame before its settings";
                ReplayFrame f = now;
                f.firstEvent = static_cast<std::uint32_t>(out.events.size() - pending);
                f.eventCount = pending;
                out.frames.push_back(f);
                f.firstEvent = static_cast<std::uint32_t>(out.events.size());
                f.eventCount = 0;
                out.frames.insert(out.frames.end(), run - 1, f);
                pending = 0;
                break;
            }
            default: {
                ReplayEvent e;
                const std::string error = ReadEvent(in, op, e);
                if (!error.empty()) return error;
                if (out.events.size() >= kReplayMaxFrames) return "too many events";
                out.events.push_back(e);
                ++pending;
                break;
            }
        }
        if (!in.Ok()) return "the frames are cut off";
    }
    if (!in.AtEnd()) return "bytes after the frames' end mark";
    if (out.frames.size() != frameCount) return "fewer frames than the header says";
    out.trailingEvents = pending;
    return "";
}

}  // namespace

std::vector<std::uint8_t> EncodeReplay(const Replay& replay) {
    Writer out;
    out.Bytes(std::string_view(kMagic, sizeof kMagic));
    out.U16(kReplayFormat);
    out.U16(replay.finished ? kFlagFinished : 0);
    const std::string version = replay.gameVersion.substr(0, kReplayMaxVersionBytes);
    out.U8(static_cast<std::uint8_t>(version.size()));
    out.Bytes(version);
    out.Bytes(std::string_view(reinterpret_cast<const char*>(replay.content.data()),
                               replay.content.size()));
    for (std::uint32_t word : replay.random) out.U32(word);
    out.U8(replay.bike);
    out.U8(replay.startLevel);
    for (std::uint8_t level : replay.keyLevels) out.U8(level);
    for (std::int32_t score : replay.tableScores) out.I32(score);
    out.I32(replay.score);
    out.I32(replay.level);
    const std::string name = replay.name.substr(0, kReplayMaxNameBytes);
    out.U8(static_cast<std::uint8_t>(name.size()));
    out.Bytes(name);
    out.U32(static_cast<std::uint32_t>(replay.frames.size()));
    const std::vector<std::uint8_t> body = PackBody(replay);
    const std::vector<std::uint8_t> packed = Deflate(View(body));
    out.U32(static_cast<std::uint32_t>(body.size()));
    out.U32(static_cast<std::uint32_t>(packed.size()));
    out.Bytes(packed);
    out.U32(Crc32(View(out.Out())));
    return std::move(out.Out());
}

std::string DecodeReplay(std::string_view bytes, Replay& out) {
    out = Replay{};
    if (bytes.size() > kReplayMaxFileBytes) {
        return "larger than a replay can be (" + std::to_string(bytes.size()) + " bytes)";
    }
    if (bytes.size() < sizeof kMagic + 4 || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        return "not a replay";
    }
    Reader in(bytes.substr(0, bytes.size() - 4));
    in.Bytes(sizeof kMagic);
    const std::uint16_t format = in.U16();
    if (!in.Ok()) return "cut off in its header";
    if (format != kReplayFormat) {
        return "a replay of format " + std::to_string(format) + ", which this game does not read";
    }
    Reader sum(bytes.substr(bytes.size() - 4));
    if (sum.U32() != Crc32(bytes.substr(0, bytes.size() - 4))) {
        return "damaged or cut off (its check sum does not match)";
    }
    const std::uint16_t flags = in.U16();
    if ((flags & ~kFlagFinished) != 0) return "flags this game does not know";
    out.finished = (flags & kFlagFinished) != 0;
    const std::uint8_t versionBytes = in.U8();
    if (versionBytes > kReplayMaxVersionBytes) return "a game version too long";
    out.gameVersion = std::string(in.Bytes(versionBytes));
    const std::string_view content = in.Bytes(out.content.size());
    if (in.Ok()) std::memcpy(out.content.data(), content.data(), out.content.size());
    for (std::uint32_t& word : out.random) word = in.U32();
    out.bike = in.U8();
    out.startLevel = in.U8();
    for (std::uint8_t& level : out.keyLevels) level = in.U8();
    for (std::int32_t& score : out.tableScores) score = in.I32();
    out.score = in.I32();
    out.level = in.I32();
    const std::uint8_t nameBytes = in.U8();
    if (nameBytes > kReplayMaxNameBytes) return "a name too long";
    out.name = std::string(in.Bytes(nameBytes));
    const std::uint32_t frames = in.U32();
    const std::uint32_t bodyBytes = in.U32();
    const std::uint32_t packedBytes = in.U32();
    const std::string_view packed = in.Bytes(packedBytes);
    if (!in.Ok()) return "cut off in its header";
    if (!in.AtEnd()) return "bytes after the frames";
    for (char c : out.gameVersion) {
        if (c < 0x20 || c > 0x7E) return "a game version that is not plain text";
    }
    if ((out.random[0] | out.random[1] | out.random[2] | out.random[3]) == 0) {
        return "a random state that never changes";
    }
    if (out.bike < 1 || out.bike > 5) return "a bike that does not exist";
    if (out.startLevel < 1 || out.startLevel > 10) return "a start level that does not exist";
    for (std::uint8_t level : out.keyLevels) {
        if (level > 1) return "a key level that is neither up nor down";
    }
    if (out.level < 1 || out.level > 10) return "a level that does not exist";
    if (frames == 0 || frames > kReplayMaxFrames) return "a frame count out of range";
    if (bodyBytes > kMaxBodyBytes) return "frames too large to unpack";
    const auto body = Inflate(packed, bodyBytes);
    if (!body || body->size() != bodyBytes) return "frames that do not unpack";
    return UnpackBody(View(*body), frames, out);
}

}  // namespace vrumbal
