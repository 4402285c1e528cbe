// The frame scaler's loops: whole multiples with every pixel repeated, and bilinear scaling from
// tables of source columns and rows, RGB565 widened on the way.
#include "platform/frame_scaler.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vrumbal {
namespace {

// RGB565 to 0x00RRGGBB with the low bits filled from the high ones, so white stays white.
inline std::uint32_t Widen(std::uint32_t p) {
    const std::uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// a + (b - a) * w / 256 for each of the three bytes of two 0x00RRGGBB pixels.
inline std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
    const std::uint32_t rbA = a & 0xFF00FF, gA = a & 0x00FF00;
    const std::uint32_t rbB = b & 0xFF00FF, gB = b & 0x00FF00;
    const std::uint32_t rb = (rbA * (256 - w) + rbB * w) >> 8;
    const std::uint32_t g = (gA * (256 - w) + gB * w) >> 8;
    return (rb & 0xFF00FF) | (g & 0x00FF00);
}

// Blends two rows byte by byte, b's weight w of 256: 16-bit sums that the compiler does
// many at a time (the top byte of each pixel blends 0 with 0).
void BlendRows(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, int bytes,
               std::uint32_t w) {
    const auto wb = static_cast<std::uint16_t>(w);
    const auto wa = static_cast<std::uint16_t>(256 - w);
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<std::uint8_t>(
            static_cast<std::uint16_t>(a[i] * wa + b[i] * wb) >> 8);
    }
}

// Where target position i of n takes its source from, over a source of size m: the source
// point under the target pixel's centre, as a first index and the weight of the next.
void BuildTable(int n, int m, std::vector<int>& source, std::vector<std::uint32_t>& weight) {
    source.resize(static_cast<std::size_t>(n));
    weight.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        // In 1/256 of a source pixel: ((i + 0.5) * m / n - 0.5) * 256.
        long long at = ((2LL * i + 1) * m * 256) / (2LL * n) - 128;
        at = std::clamp<long long>(at, 0, (m - 1) * 256LL);
        int first = static_cast<int>(at >> 8);
        std::uint32_t w = static_cast<std::uint32_t>(at & 0xFF);
        if (first >= m - 1) {
            first = m - 1;
            w = 0;
        }
        source[static_cast<std::size_t>(i)] = first;
        weight[static_cast<std::size_t>(i)] = w;
    }
}

void FillBlack(const Pixels32& target, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    for (int row = y; row < y + h; ++row) {
        std::memset(target.pixels + static_cast<std::ptrdiff_t>(row) * target.pitch + x, 0,
                    static_cast<std::size_t>(w) * sizeof(std::uint32_t));
    }
}

// One widened row, each pixel twice across, into two target rows at once. The doubled
// window is four times the frame's bytes and is read next by the window system, not by us:
// stores that go past the caches save reading every target line in before it is written.
bool DoubleRowStreaming(const std::uint32_t* wide, int width, std::uint32_t* top,
                        std::uint32_t* bottom) {
#if defined(__SSE2__)
    if ((reinterpret_cast<std::uintptr_t>(top) | reinterpret_cast<std::uintptr_t>(bottom)) % 16 !=
            0 ||
        width % 4 != 0) {
        return false;
    }
    for (int x = 0; x < width; x += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(wide + x));
        const __m128i low = _mm_unpacklo_epi32(four, four);
        const __m128i high = _mm_unpackhi_epi32(four, four);
        _mm_stream_si128(reinterpret_cast<__m128i*>(top + 2 * x), low);
        _mm_stream_si128(reinterpret_cast<__m128i*>(top + 2 * x + 4), high);
        _mm_stream_si128(reinterpret_cast<__m128i*>(bottom + 2 * x), low);
        _mm_stream_si128(reinterpret_cast<__m128i*>(bottom + 2 * x + 4), high);
    }
    return true;
#else
    (void)wide, (void)width, (void)top, (void)bottom;
    return false;
#endif
}

}  // namespace

void FrameScaler::Scale(const PixelBuffer& frame, const Pixels32& target, const PixelRect& area,
                        bool clearBars) {
    if (frame.pixels == nullptr || target.pixels == nullptr || frame.width <= 0 ||
        frame.height <= 0 || area.width <= 0 || area.height <= 0) {
        return;
    }
    if (clearBars) {
        FillBlack(target, 0, 0, target.width, area.y);
        FillBlack(target, 0, area.y + area.height, target.width,
                  target.height - area.y - area.height);
        FillBlack(target, 0, area.y, area.x, area.height);
        FillBlack(target, area.x + area.width, area.y, target.width - area.x - area.width,
                  area.height);
    }
    const bool whole = area.width % frame.width == 0 && area.height % frame.height == 0 &&
                       area.width / frame.width == area.height / frame.height;
    if (whole) {
        ScaleWhole(frame, target, area, area.width / frame.width);
#if defined(__SSE2__)
        _mm_sfence();  // the streamed stores are seen before the window system reads them
#endif
    } else {
        ScaleSmooth(frame, target, area);
    }
}

void FrameScaler::ScaleWhole(const PixelBuffer& frame, const Pixels32& target,
                             const PixelRect& area, int multiple) {
    // Locals, not the frame's fields: a store through out could otherwise change them as far
    // as the compiler knows, and the loops would stay scalar.
    const int width = frame.width;
    const int rowBytes = area.width * static_cast<int>(sizeof(std::uint32_t));
    if (wide_.size() < static_cast<std::size_t>(width) + 1) {
        wide_.assign(static_cast<std::size_t>(width) + 1, 0);
    }
    for (int y = 0; y < frame.height; ++y) {
        const std::uint16_t* src = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
        std::uint32_t* first =
            target.pixels + static_cast<std::ptrdiff_t>(area.y + y * multiple) * target.pitch +
            area.x;
        std::uint32_t* out = first;
        // Plain arithmetic rather than the table: the compiler turns these loops into vector
        // code, which a table lookup per pixel would prevent.
        if (multiple == 1) {
            for (int x = 0; x < width; ++x) out[x] = Widen(src[x]);
        } else if (multiple == 2) {
            // Both rows of the block at once, past the caches where the rows allow it.
            std::uint32_t* wide = wide_.data();
            for (int x = 0; x < width; ++x) wide[x] = Widen(src[x]);
            if (DoubleRowStreaming(wide, width, out, out + target.pitch)) continue;
            for (int x = 0; x < width; ++x) {
                out[2 * x] = wide[x];
                out[2 * x + 1] = wide[x];
            }
        } else {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t p = Widen(src[x]);
                std::fill_n(out + static_cast<std::ptrdiff_t>(x) * multiple, multiple, p);
            }
        }
        // The other rows of the block are copies of the first.
        for (int r = 1; r < multiple; ++r) {
            std::memcpy(first + static_cast<std::ptrdiff_t>(r) * target.pitch, first,
                        static_cast<std::size_t>(rowBytes));
        }
    }
}

void FrameScaler::Prepare(const PixelBuffer& frame, const PixelRect& area) {
    if (tableFrameW_ == frame.width && tableFrameH_ == frame.height && tableW_ == area.width &&
        tableH_ == area.height) {
        return;
    }
    tableFrameW_ = frame.width;
    tableFrameH_ = frame.height;
    tableW_ = area.width;
    tableH_ = area.height;
    BuildTable(area.width, frame.width, columnSource_, columnWeight_);
    BuildTable(area.height, frame.height, rowSource_, rowWeight_);
    wide_.assign(static_cast<std::size_t>(frame.width) + 1, 0);
    upper_.assign(static_cast<std::size_t>(area.width), 0);
    lower_.assign(static_cast<std::size_t>(area.width), 0);
}

void FrameScaler::ScaleSmooth(const PixelBuffer& frame, const Pixels32& target,
                              const PixelRect& area) {
    Prepare(frame, area);
    // Locals throughout: stores through the output could otherwise alias the sizes as far as
    // the compiler knows, and keep the loops scalar.
    const int width = area.width;
    const int lastColumn = frame.width - 1;
    const int lastRow = frame.height - 1;
    const int* columns = columnSource_.data();
    const std::uint32_t* weights = columnWeight_.data();
    // A source row stretched across the target's width, once per row and frame: widened
    // first (a loop the compiler vectorises), then each target pixel blends its two.
    std::uint32_t* wide = wide_.data();
    auto stretch = [&](int row, std::uint32_t* out) {
        const std::uint16_t* src = frame.pixels + static_cast<std::ptrdiff_t>(row) * frame.pitch;
        for (int x = 0; x <= lastColumn; ++x) wide[x] = Widen(src[x]);
        wide[lastColumn + 1] = wide[lastColumn];
        for (int x = 0; x < width; ++x) {
            const int c = columns[x];
            out[x] = Lerp(wide[c], wide[c + 1], weights[x]);
        }
    };
    std::uint32_t* upper = upper_.data();
    std::uint32_t* lower = lower_.data();
    int upperRow = -1, lowerRow = -1;
    for (int y = 0; y < area.height; ++y) {
        const int s = rowSource_[static_cast<std::size_t>(y)];
        const int next = s < lastRow ? s + 1 : s;
        if (upperRow != s) {
            if (lowerRow == s) {
                std::swap(upper, lower);
                std::swap(upperRow, lowerRow);
            } else {
                stretch(s, upper);
                upperRow = s;
            }
        }
        const std::uint32_t w = rowWeight_[static_cast<std::size_t>(y)];
        std::uint32_t* out =
            target.pixels + static_cast<std::ptrdiff_t>(area.y + y) * target.pitch + area.x;
        if (w == 0) {
            std::memcpy(out, upper, static_cast<std::size_t>(width) * sizeof(std::uint32_t));
            continue;
        }
        if (lowerRow != next) {
            stretch(next, lower);
            lowerRow = next;
        }
        BlendRows(reinterpret_cast<const std::uint8_t*>(upper),
                  reinterpret_cast<const std::uint8_t*>(lower), reinterpret_cast<std::uint8_t*>(out),
                  width * 4, w);
    }
}

}  // namespace vrumbal
