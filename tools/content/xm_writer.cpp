#include "xm_writer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string_view>

namespace vrumbal::content {

namespace {

// Sizes of the fixed parts, as every player expects them.
constexpr std::uint32_t kHeaderSize = 276;  // counted from the header size field
constexpr std::uint32_t kPatternHeaderSize = 9;
constexpr std::uint32_t kInstrumentHeaderSize = 263;
constexpr std::uint32_t kEmptyInstrumentHeaderSize = 29;
constexpr std::uint32_t kSampleHeaderSize = 40;
constexpr int kMaxEnvelopePoints = 12;

// Packing flags of a pattern cell.
constexpr std::uint8_t kPacked = 0x80;
constexpr std::uint8_t kHasNote = 0x01;
constexpr std::uint8_t kHasInstrument = 0x02;
constexpr std::uint8_t kHasVolume = 0x04;
constexpr std::uint8_t kHasEffect = 0x08;
constexpr std::uint8_t kHasParam = 0x10;

class ByteWriter {
public:
    void U8(std::uint32_t v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
    void U16(std::uint32_t v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    // Text cut or zero-padded to width.
    void Text(std::string_view text, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) U8(i < text.size() ? text[i] : 0);
    }
    void Append(const std::vector<std::uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
    }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

void Require(bool condition, const std::string& what) {
    if (!condition) throw std::invalid_argument("XM module: " + what);
}

// The packed bytes of one pattern: a cell that fills all five fields is stored whole, others
// as a flag byte and only the fields present; an empty cell costs one byte.
std::vector<std::uint8_t> PackPattern(const XmPattern& pattern) {
    ByteWriter out;
    for (int row = 0; row < pattern.Rows(); ++row) {
        for (int ch = 0; ch < pattern.Channels(); ++ch) {
            const XmCell& c = pattern.At(row, ch);
            Require(c.note <= kXmKeyOff, "note value out of range");
            Require(c.volume == 0 || (c.volume >= 0x10 && (c.volume <= 0x50 || c.volume >= 0x60)),
                    "volume column value out of range");
            if (c.note && c.instrument && c.volume && c.effect && c.param) {
                out.U8(c.note);
                out.U8(c.instrument);
                out.U8(c.volume);
                out.U8(c.effect);
                out.U8(c.param);
                continue;
            }
            std::uint8_t flags = kPacked;
            if (c.note) flags |= kHasNote;
            if (c.instrument) flags |= kHasInstrument;
            if (c.volume) flags |= kHasVolume;
            if (c.effect) flags |= kHasEffect;
            if (c.param) flags |= kHasParam;
            out.U8(flags);
            if (c.note) out.U8(c.note);
            if (c.instrument) out.U8(c.instrument);
            if (c.volume) out.U8(c.volume);
            if (c.effect) out.U8(c.effect);
            if (c.param) out.U8(c.param);
        }
    }
    return std::move(out.Bytes());
}

void CheckEnvelope(const XmEnvelope& env, int maxValue) {
    Require(env.points.size() <= kMaxEnvelopePoints, "envelope has more than 12 points");
    const int count = static_cast<int>(env.points.size());
    for (int i = 0; i < count; ++i) {
        Require(env.points[i].value <= maxValue, "envelope value out of range");
        Require(i == 0 || env.points[i].tick > env.points[i - 1].tick, "envelope ticks must rise");
    }
    Require(!env.sustain || *env.sustain < count, "envelope sustain point outside");
    Require(env.loopStart.has_value() == env.loopEnd.has_value(), "envelope loop needs both ends");
    Require(!env.loopStart || (*env.loopStart <= *env.loopEnd && *env.loopEnd < count),
            "envelope loop outside");
}

void WriteEnvelopePoints(ByteWriter& out, const XmEnvelope& env) {
    for (int i = 0; i < kMaxEnvelopePoints; ++i) {
        const bool used = i < static_cast<int>(env.points.size());
        out.U16(used ? env.points[i].tick : 0);
        out.U16(used ? env.points[i].value : 0);
    }
}

std::uint8_t EnvelopeFlags(const XmEnvelope& env) {
    if (env.points.empty()) return 0;
    std::uint8_t flags = 1;
    if (env.sustain) flags |= 2;
    if (env.loopStart) flags |= 4;
    return flags;
}

// The stored sample: deltas of 8- or 16-bit values, little-endian.
std::vector<std::uint8_t> EncodeSample(const XmSample& s) {
    std::vector<std::uint8_t> out;
    out.reserve(s.data.size() * (s.eightBit ? 1 : 2));
    if (s.eightBit) {
        std::int8_t previous = 0;
        for (std::int16_t v : s.data) {
            const auto value =
                static_cast<std::int8_t>(std::clamp<long>(std::lround(v / 256.0), -128, 127));
            out.push_back(static_cast<std::uint8_t>(value - previous));
            previous = value;
        }
    } else {
        std::int16_t previous = 0;
        for (std::int16_t v : s.data) {
            const auto delta = static_cast<std::uint16_t>(v - previous);
            out.push_back(static_cast<std::uint8_t>(delta & 0xFF));
            out.push_back(static_cast<std::uint8_t>(delta >> 8));
            previous = v;
        }
    }
    return out;
}

void WriteInstrument(ByteWriter& out, const XmInstrument& ins) {
    Require(ins.samples.size() <= 16, "instrument has more than 16 samples");
    if (ins.samples.empty()) {
        out.U32(kEmptyInstrumentHeaderSize);
        out.Text(ins.name, 22);
        out.U8(0);
        out.U16(0);
        return;
    }
    CheckEnvelope(ins.volumeEnvelope, 64);
    CheckEnvelope(ins.panningEnvelope, 64);
    for (std::uint8_t k : ins.keymap) Require(k < ins.samples.size(), "keymap names no sample");

    out.U32(kInstrumentHeaderSize);
    out.Text(ins.name, 22);
    out.U8(0);
    out.U16(static_cast<std::uint32_t>(ins.samples.size()));
    out.U32(kSampleHeaderSize);
    for (std::uint8_t k : ins.keymap) out.U8(k);
    WriteEnvelopePoints(out, ins.volumeEnvelope);
    WriteEnvelopePoints(out, ins.panningEnvelope);
    out.U8(static_cast<std::uint32_t>(ins.volumeEnvelope.points.size()));
    out.U8(static_cast<std::uint32_t>(ins.panningEnvelope.points.size()));
    out.U8(ins.volumeEnvelope.sustain.value_or(0));
    out.U8(ins.volumeEnvelope.loopStart.value_or(0));
    out.U8(ins.volumeEnvelope.loopEnd.value_or(0));
    out.U8(ins.panningEnvelope.sustain.value_or(0));
    out.U8(ins.panningEnvelope.loopStart.value_or(0));
    out.U8(ins.panningEnvelope.loopEnd.value_or(0));
    out.U8(EnvelopeFlags(ins.volumeEnvelope));
    out.U8(EnvelopeFlags(ins.panningEnvelope));
    Require(ins.vibratoType <= 3 && ins.vibratoDepth <= 15 && ins.vibratoRate <= 63,
            "auto-vibrato out of range");
    out.U8(ins.vibratoType);
    out.U8(ins.vibratoSweep);
    out.U8(ins.vibratoDepth);
    out.U8(ins.vibratoRate);
    out.U16(ins.fadeout);
    out.Text("", 22);  // reserved

    std::vector<std::vector<std::uint8_t>> encoded;
    for (const XmSample& s : ins.samples) {
        const auto length = static_cast<std::uint32_t>(s.data.size());
        Require(s.volume <= 64, "sample volume above 64");
        if (s.loop != XmLoop::kNone) {
            Require(
                s.loopLength > 0 && s.loopStart < length && s.loopLength <= length - s.loopStart,
                "sample loop outside the sample");
        }
        const std::uint32_t unit = s.eightBit ? 1 : 2;
        const bool looped = s.loop != XmLoop::kNone;
        out.U32(length * unit);
        out.U32(looped ? s.loopStart * unit : 0);
        out.U32(looped ? s.loopLength * unit : 0);
        out.U8(s.volume);
        out.U8(static_cast<std::uint8_t>(s.finetune));
        out.U8(static_cast<std::uint8_t>(s.loop) | (s.eightBit ? 0 : 0x10));
        out.U8(s.panning);
        out.U8(static_cast<std::uint8_t>(s.relativeNote));
        out.U8(0);
        out.Text(s.name, 22);
        encoded.push_back(EncodeSample(s));
    }
    for (const auto& bytes : encoded) out.Append(bytes);
}

}  // namespace

XmPattern::XmPattern(int rows, int channels)
    : rows_(rows), channels_(channels), cells_(static_cast<std::size_t>(rows * channels)) {
    Require(rows >= 1 && rows <= 256, "a pattern has 1..256 rows");
    Require(channels >= 1 && channels <= 32, "a pattern has 1..32 channels");
}

XmCell& XmPattern::At(int row, int channel) {
    if (row < 0 || row >= rows_ || channel < 0 || channel >= channels_) {
        throw std::out_of_range("pattern cell outside the pattern");
    }
    return cells_[static_cast<std::size_t>(row * channels_ + channel)];
}

const XmCell& XmPattern::At(int row, int channel) const {
    return const_cast<XmPattern*>(this)->At(row, channel);
}

std::vector<std::uint8_t> WriteXm(const XmModule& m) {
    Require(m.channels >= 1 && m.channels <= 32, "1..32 channels");
    Require(m.speed >= 1 && m.speed <= 31, "speed 1..31");
    Require(m.bpm >= 32 && m.bpm <= 255, "tempo 32..255");
    Require(!m.order.empty() && m.order.size() <= 256, "1..256 orders");
    Require(m.restart >= 0 && m.restart < static_cast<int>(m.order.size()),
            "restart position outside the order list");
    Require(!m.patterns.empty() && m.patterns.size() <= 256, "1..256 patterns");
    Require(m.instruments.size() <= 128, "at most 128 instruments");
    for (std::uint8_t p : m.order) Require(p < m.patterns.size(), "order names a missing pattern");

    ByteWriter out;
    out.Text("Extended Module: ", 17);
    out.Text(m.name, 20);
    out.U8(0x1A);
    out.Text("vrumbal-content", 20);
    out.U16(0x0104);
    out.U32(kHeaderSize);
    out.U16(static_cast<std::uint32_t>(m.order.size()));
    out.U16(static_cast<std::uint32_t>(m.restart));
    out.U16(static_cast<std::uint32_t>(m.channels));
    out.U16(static_cast<std::uint32_t>(m.patterns.size()));
    out.U16(static_cast<std::uint32_t>(m.instruments.size()));
    out.U16(m.linearFrequencies ? 1 : 0);
    out.U16(static_cast<std::uint32_t>(m.speed));
    out.U16(static_cast<std::uint32_t>(m.bpm));
    for (std::size_t i = 0; i < 256; ++i) out.U8(i < m.order.size() ? m.order[i] : 0);

    for (const XmPattern& p : m.patterns) {
        Require(p.Channels() == m.channels, "pattern channel count differs from the module's");
        for (int row = 0; row < p.Rows(); ++row) {
            for (int ch = 0; ch < p.Channels(); ++ch) {
                const std::uint8_t ins = p.At(row, ch).instrument;
                Require(ins <= m.instruments.size(), "cell names a missing instrument");
            }
        }
        const auto packed = PackPattern(p);
        Require(packed.size() <= 0xFFFF, "pattern too large");
        out.U32(kPatternHeaderSize);
        out.U8(0);
        out.U16(static_cast<std::uint32_t>(p.Rows()));
        out.U16(static_cast<std::uint32_t>(packed.size()));
        out.Append(packed);
    }
    for (const XmInstrument& ins : m.instruments) WriteInstrument(out, ins);
    return std::move(out.Bytes());
}

XmTuning TuneSample(double sampleRate, int baseNote) {
    // With the linear table, note n (C-4 = 49) plays a sample at 8363 Hz x 2^((n - 49) / 12),
    // shifted by the relative note and the finetune.
    const double semitones = 12.0 * std::log2(sampleRate / 8363.0) + 49.0 - baseNote;
    const long total = std::lround(semitones * 128.0);
    const long relative = (total >= 0 ? total + 64 : total - 63) / 128;
    const long fine = total - relative * 128;
    Require(relative >= -96 && relative <= 95, "sample rate too far from the base note");
    XmTuning t;
    t.relativeNote = static_cast<std::int8_t>(relative);
    t.finetune = static_cast<std::int8_t>(fine);
    return t;
}

}  // namespace vrumbal::content
