// The blitters' loops: keyed copies by opaque runs, blends eight pixels at a time, and turned
// pictures drawn back from each screen pixel in fixed point.
#include "engine/blitter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

namespace vrumbal {

namespace {

// Rotation works in 16.16 fixed point so that the quarter turns come out exact.
constexpr int kFixedShift = 16;
constexpr std::int64_t kFixedOne = std::int64_t{1} << kFixedShift;

// cos(i x 2 pi / 256) in 16.16 fixed point, rounded; sin(i) is cos(i - 64).
class CosTable final {
public:
    CosTable() {
        for (int i = 0; i < 256; ++i) {
            values_[i] = static_cast<std::int32_t>(
                std::lround(std::cos(i * 2.0 * std::numbers::pi / 256.0) * kFixedOne));
        }
    }
    std::int32_t Cos(int angle) const { return values_[angle & 255]; }
    std::int32_t Sin(int angle) const { return values_[((angle & 255) + 192) & 255]; }

private:
    std::array<std::int32_t, 256> values_{};
};

const CosTable& Table() {
    static const CosTable table;  // filled once, never changed
    return table;
}

// The source rectangle limited to the source surface.
Rect ClipToSource(const Rect& src, const ImageSurface& source) {
    return {std::max(src.left, 0), std::max(src.top, 0), std::min(src.right, source.Width()),
            std::min(src.bottom, source.Height())};
}

// RGB565 spread over three 21-bit lanes of a 64-bit word (red, green, blue from the low end),
// so one multiplication weighs all three channels at once without carries between them.
constexpr std::uint64_t Spread565(std::uint16_t p) {
    return (std::uint64_t{p} >> 11) | (std::uint64_t{(p >> 5) & 0x3Fu} << 21) |
           (std::uint64_t{p & 0x1Fu} << 42);
}

// Mixes one RGB565 pixel over another with opacity alpha (1..254); each channel is
// (s x alpha + d x (255 - alpha)) / 255 rounded to nearest.
inline std::uint16_t Blend565(std::uint16_t s, std::uint16_t d, unsigned alpha) {
    constexpr std::uint64_t kHalf = 128u | (std::uint64_t{128} << 21) | (std::uint64_t{128} << 42);
    constexpr std::uint64_t kLow13 =
        0x1FFFu | (std::uint64_t{0x1FFF} << 21) | (std::uint64_t{0x1FFF} << 42);
    // Per lane t < 2^14; (t + (t >> 8)) >> 8 is t / 255 rounded for every such t.
    std::uint64_t t = Spread565(s) * alpha + Spread565(d) * (255u - alpha) + kHalf;
    t += (t >> 8) & kLow13;
    t >>= 8;
    return static_cast<std::uint16_t>(((t & 0x1F) << 11) | (((t >> 21) & 0x3F) << 5) |
                                      ((t >> 42) & 0x1F));
}

// Division rounding toward minus infinity (b != 0).
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// The steps k in [first, last) of 0..count-1 for which 0 <= start + k * step < limit.
struct StepRange {
    std::int64_t first = 0;
    std::int64_t last = 0;
};
constexpr StepRange StepsInside(std::int64_t start, std::int64_t step, std::int64_t limit,
                                std::int64_t count) {
    StepRange r{0, count};
    if (step == 0) {
        if (start < 0 || start >= limit) r.last = 0;
        return r;
    }
    if (step > 0) {
        // k >= ceil(-start / step) and k < ceil((limit - start) / step)
        r.first = std::max(r.first, -FloorDiv(start, step));
        r.last = std::min(r.last, -FloorDiv(start - limit, step));
    } else {
        // with s = -step: k <= floor(start / s) and k > floor((start - limit) / s)
        r.first = std::max(r.first, FloorDiv(start - limit, -step) + 1);
        r.last = std::min(r.last, FloorDiv(start, -step) + 1);
    }
    return r;
}

// Eight RGB565 pixels at once; GCC's and Clang's vector types need no particular CPU.
using Pixels8 = std::uint16_t __attribute__((vector_size(16)));
using Mask8 = std::int16_t __attribute__((vector_size(16)));

// Blend565 on eight pixels: every channel product fits 16 bits (63 x 255 + 128 < 2^16), so the
// lanes give exactly the scalar results.
inline Pixels8 Blend565x8(Pixels8 s, Pixels8 d, std::uint16_t alpha) {
    const std::uint16_t inverse = static_cast<std::uint16_t>(255u - alpha);
    auto mix = [&](Pixels8 sc, Pixels8 dc) {
        Pixels8 t = sc * alpha + dc * inverse + 128;
        return (t + (t >> 8)) >> 8;
    };
    const Pixels8 r = mix(s >> 11, d >> 11);
    const Pixels8 g = mix((s >> 5) & 0x3F, (d >> 5) & 0x3F);
    const Pixels8 b = mix(s & 0x1F, d & 0x1F);
    return (r << 11) | (g << 5) | b;
}

// Mixes n source pixels over n dest pixels with opacity alpha (1..254), skipping keyed ones.
void BlendRow(std::uint16_t* out, const std::uint16_t* in, int n, bool transparent,
              std::uint16_t key, unsigned alpha) {
    int x = 0;
    const auto a = static_cast<std::uint16_t>(alpha);
    for (; x + 8 <= n; x += 8) {
        Pixels8 s, d;
        std::memcpy(&s, in + x, sizeof s);
        std::memcpy(&d, out + x, sizeof d);
        Pixels8 mixed = Blend565x8(s, d, a);
        if (transparent) {
            const auto keep = reinterpret_cast<Pixels8>(static_cast<Mask8>(s != key));
            mixed = (mixed & keep) | (d & ~keep);
        }
        std::memcpy(out + x, &mixed, sizeof mixed);
    }
    for (; x < n; ++x) {
        const std::uint16_t p = in[x];
        if (!transparent || p != key) out[x] = Blend565(p, out[x], alpha);
    }
}

}  // namespace

void BlitPlain(Surface& dest, int x, int y, const ImageSurface& source, const Rect& src,
               bool transparent) {
    if (dest.Width() <= 0 || dest.Height() <= 0 || source.Width() <= 0 || source.Height() <= 0) {
        return;
    }
    // Keep the part of src that exists, moving the target with it; then the part that lands
    // on dest. Worked in 64 bits so that far-off positions cannot overflow.
    const Rect s = ClipToSource(src, source);
    std::int64_t dx = std::int64_t{x} + s.left - src.left;
    std::int64_t dy = std::int64_t{y} + s.top - src.top;
    std::int64_t sx0 = s.left, sy0 = s.top, sx1 = s.right, sy1 = s.bottom;
    if (dx < 0) sx0 -= dx, dx = 0;
    if (dy < 0) sy0 -= dy, dy = 0;
    sx1 = std::min(sx1, sx0 + dest.Width() - dx);
    sy1 = std::min(sy1, sy0 + dest.Height() - dy);
    if (sx1 <= sx0 || sy1 <= sy0) return;

    const int left = static_cast<int>(sx0), right = static_cast<int>(sx1);
    const std::size_t rowBytes = static_cast<std::size_t>(right - left) * sizeof(std::uint16_t);
    for (int sy = static_cast<int>(sy0); sy < sy1; ++sy) {
        const std::uint16_t* in = source.Row(sy);
        // Dest pixel of source column `left`.
        std::uint16_t* out = dest.Row(static_cast<int>(dy + sy - sy0)) + dx;
        if (!transparent) {
            std::memcpy(out, in + left, rowBytes);
            continue;
        }
        for (const auto* span = source.SpansBegin(sy); span != source.SpansEnd(sy); ++span) {
            const int b = std::max<int>(span->begin, left);
            const int e = std::min<int>(span->end, right);
            if (e > b) {
                std::memcpy(out + (b - left), in + b, static_cast<std::size_t>(e - b) * 2);
            }
        }
    }
}

void BlitAlpha(Surface& dest, const Rect& destRect, const ImageSurface& source, const Rect& src,
               bool transparent, int alpha) {
    if (dest.Width() <= 0 || dest.Height() <= 0 || source.Width() <= 0 || source.Height() <= 0 ||
        destRect.Empty() || src.Empty() || alpha <= 0) {
        return;
    }
    alpha = std::min(alpha, 255);
    // Sizes and offsets in 64 bits: a rectangle may reach far off the surface.
    const std::int64_t dw = std::int64_t{destRect.right} - destRect.left;
    const std::int64_t dh = std::int64_t{destRect.bottom} - destRect.top;
    const std::int64_t sw = std::int64_t{src.right} - src.left;
    const std::int64_t sh = std::int64_t{src.bottom} - src.top;
    const int x0 = std::max(destRect.left, 0), x1 = std::min(destRect.right, dest.Width());
    const int y0 = std::max(destRect.top, 0), y1 = std::min(destRect.bottom, dest.Height());
    if (x1 <= x0 || y1 <= y0) return;

    // Source column of each drawn dest column (nearest below); -1 where src leaves the source.
    std::vector<int> columns(static_cast<std::size_t>(x1 - x0));
    for (int x = x0; x < x1; ++x) {
        const std::int64_t sx = src.left + (std::int64_t{x} - destRect.left) * sw / dw;
        columns[x - x0] = (sx >= 0 && sx < source.Width()) ? static_cast<int>(sx) : -1;
    }
    // Columns only grow from left to right, so both ends inside means every column is.
    const bool allInside = columns.front() >= 0 && columns.back() >= 0;
    const bool direct = sw == dw && allInside;
    std::vector<std::uint16_t> gathered;  // a scaled row's source pixels, column by column
    if (!direct && allInside && alpha < 255) gathered.resize(columns.size());
    const std::uint16_t key = source.ColorKey();
    for (int y = y0; y < y1; ++y) {
        const std::int64_t sy = src.top + (std::int64_t{y} - destRect.top) * sh / dh;
        if (sy < 0 || sy >= source.Height()) continue;
        const std::uint16_t* in = source.Row(static_cast<int>(sy));
        std::uint16_t* out = dest.Row(y);
        if (alpha == 255) {
            for (int x = x0; x < x1; ++x) {
                const int sx = columns[x - x0];
                if (sx < 0) continue;
                const std::uint16_t p = in[sx];
                if (!transparent || p != key) out[x] = p;
            }
            continue;
        }
        const auto a = static_cast<unsigned>(alpha);
        if (direct) {
            // Unscaled: the source row runs alongside the dest row.
            BlendRow(out + x0, in + columns[0], x1 - x0, transparent, key, a);
            continue;
        }
        if (allInside) {
            for (std::size_t i = 0; i < gathered.size(); ++i) gathered[i] = in[columns[i]];
            BlendRow(out + x0, gathered.data(), x1 - x0, transparent, key, a);
            continue;
        }
        for (int x = x0; x < x1; ++x) {
            const int sx = columns[x - x0];
            if (sx < 0) continue;
            const std::uint16_t p = in[sx];
            if (!transparent || p != key) out[x] = Blend565(p, out[x], a);
        }
    }
}

void BlitRotate(Surface& dest, int x, int y, int width, int height, const ImageSurface& source,
                const Rect& src, double centerX, double centerY, bool transparent, int angle) {
    if (dest.Width() <= 0 || dest.Height() <= 0 || source.Width() <= 0 || source.Height() <= 0 ||
        width <= 0 || height <= 0 || src.Empty()) {
        return;
    }
    // A pivot that is no number or lies absurdly far off cannot be put into fixed point.
    constexpr double kFarOff = 1e9;
    if (!(std::abs(centerX * width) < kFarOff) || !(std::abs(centerY * height) < kFarOff)) return;
    const CosTable& table = Table();
    const std::int64_t cosA = table.Cos(angle);
    const std::int64_t sinA = table.Sin(angle);
    // The box point that lands on (x, y), in fixed point.
    const std::int64_t pivotX = std::llround(centerX * width * kFixedOne);
    const std::int64_t pivotY = std::llround(centerY * height * kFixedOne);

    // Screen extent of the turned box, from its four corners, plus a pixel of slack.
    const double px = centerX * width, py = centerY * height;
    const double c = static_cast<double>(cosA) / kFixedOne;
    const double s = static_cast<double>(sinA) / kFixedOne;
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (const double a : {0.0, static_cast<double>(width)}) {
        for (const double b : {0.0, static_cast<double>(height)}) {
            const double u = (a - px) * c - (b - py) * s;
            const double v = (a - px) * s + (b - py) * c;
            minX = std::min(minX, u), maxX = std::max(maxX, u);
            minY = std::min(minY, v), maxY = std::max(maxY, v);
        }
    }
    // Clamped as doubles first so that far-off positions cannot overflow the conversion.
    auto inRange = [](double v, int limit) {
        return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(limit)));
    };
    const int x0 = inRange(std::floor(x + minX) - 1, dest.Width());
    const int x1 = inRange(std::ceil(x + maxX) + 2, dest.Width());
    const int y0 = inRange(std::floor(y + minY) - 1, dest.Height());
    const int y1 = inRange(std::ceil(y + maxY) + 2, dest.Height());
    if (x1 <= x0 || y1 <= y0) return;

    // Box column and row to source column and row (the box may be scaled).
    const std::int64_t sw = std::int64_t{src.right} - src.left;
    const std::int64_t sh = std::int64_t{src.bottom} - src.top;
    std::vector<int> columns(static_cast<std::size_t>(width));
    std::vector<const std::uint16_t*> rows(static_cast<std::size_t>(height));
    for (int a = 0; a < width; ++a) {
        const std::int64_t sx = src.left + a * sw / width;
        columns[a] = (sx >= 0 && sx < source.Width()) ? static_cast<int>(sx) : -1;
    }
    for (int b = 0; b < height; ++b) {
        const std::int64_t sy = src.top + b * sh / height;
        rows[b] = (sy >= 0 && sy < source.Height()) ? source.Row(static_cast<int>(sy)) : nullptr;
    }

    // Each dest pixel (x + u, y + v) looks back into the box: a = u cos + v sin + pivotX,
    // b = -u sin + v cos + pivotY; stepping one column right adds (cos, -sin).
    const std::uint16_t key = source.ColorKey();
    const std::int64_t boxW = std::int64_t{width} << kFixedShift;
    const std::int64_t boxH = std::int64_t{height} << kFixedShift;
    for (int dy = y0; dy < y1; ++dy) {
        const std::int64_t v = dy - y;
        const std::int64_t u0 = x0 - x;
        std::int64_t fa = u0 * cosA + v * sinA + pivotX;
        std::int64_t fb = -u0 * sinA + v * cosA + pivotY;
        std::uint16_t* out = dest.Row(dy);
        // Only the columns whose look-back lands inside the box: most of the turned box's
        // bounding rectangle lies outside the box itself.
        const StepRange across = StepsInside(fa, cosA, boxW, x1 - x0);
        const StepRange down = StepsInside(fb, -sinA, boxH, x1 - x0);
        const std::int64_t first = std::max(across.first, down.first);
        const std::int64_t last = std::min(across.last, down.last);
        if (first >= last) continue;
        fa += first * cosA;
        fb -= first * sinA;
        if (sinA == 0) {
            // Upright or upside down (how bikes mostly ride): the whole row reads one source row.
            const std::uint16_t* in = rows[fb >> kFixedShift];
            if (in == nullptr) continue;
            for (std::int64_t dx = x0 + first; dx < x0 + last; ++dx, fa += cosA) {
                const int sx = columns[fa >> kFixedShift];
                if (sx < 0) continue;
                const std::uint16_t p = in[sx];
                if (transparent && p == key) continue;
                out[dx] = p;
            }
            continue;
        }
        for (std::int64_t dx = x0 + first; dx < x0 + last; ++dx, fa += cosA, fb -= sinA) {
            const std::int64_t a = fa >> kFixedShift;  // floor, 0 <= a < width
            const std::int64_t b = fb >> kFixedShift;  // floor, 0 <= b < height
            const std::uint16_t* in = rows[b];
            const int sx = columns[a];
            if (in == nullptr || sx < 0) continue;
            const std::uint16_t p = in[sx];
            if (transparent && p == key) continue;
            out[dx] = p;
        }
    }
}

}  // namespace vrumbal
