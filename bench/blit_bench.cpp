// Costs of the drawing primitives a frame is made of: the frame copy, the road's tiles, the
// needle's rotation and the fades.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/blitter.h"
#include "engine/image_surface.h"
#include "engine/picture.h"
#include "engine/surface.h"

namespace vrumbal {
namespace {

constexpr int kFrameW = 800, kFrameH = 600, kTile = 72;
constexpr std::uint32_t kKey = 0xFF00FF;  // fuchsia in both colour layouts

// A picture with some texture so that nothing is trivially uniform.
Picture Textured(int w, int h) {
    Picture p;
    p.width = w;
    p.height = h;
    p.pixels.resize(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            p.pixels[static_cast<std::size_t>(y) * w + x] =
                (static_cast<std::uint32_t>(x * 3 & 0xFF) << 16) |
                (static_cast<std::uint32_t>(y * 3 & 0xFF) << 8) |
                static_cast<std::uint32_t>((x ^ y) & 0xFF);
        }
    }
    return p;
}

// A road-edge tile: keyed outside a wavy edge and in a few holes, about a third keyed.
Picture KeyedTile() {
    Picture p = Textured(kTile, kTile);
    for (int y = 0; y < kTile; ++y) {
        const int edge = 18 + (y * 7) % 13;  // ragged left border
        for (int x = 0; x < kTile; ++x) {
            const bool hole = (x - 50) * (x - 50) + (y - 36) * (y - 36) < 49;
            if (x < edge || hole || (x > 64 && y % 9 < 3)) p.pixels[y * kTile + x] = kKey;
        }
    }
    return p;
}

void TileFrame(benchmark::State& state, const ImageSurface& tile, bool transparent) {
    Surface frame(kFrameW, kFrameH);
    for (auto _ : state) {
        // 13 x 10 tiles, shifted as the scrolling road shifts them, so the edges are clipped.
        for (int row = 0; row < 10; ++row) {
            for (int col = 0; col < 13; ++col) {
                BlitPlain(frame, col * kTile - 31, row * kTile - 47, tile, {0, 0, kTile, kTile},
                          transparent);
            }
        }
        benchmark::DoNotOptimize(frame.Row(0));
        benchmark::ClobberMemory();
    }
}

void BM_FrameCopy(benchmark::State& state) {
    Surface from(kFrameW, kFrameH), to(kFrameW, kFrameH);
    from.Fill(0x1234);
    const std::size_t bytes = static_cast<std::size_t>(kFrameW) * kFrameH * 2;
    for (auto _ : state) {
        std::memcpy(to.Row(0), from.Row(0), bytes);
        benchmark::DoNotOptimize(to.Row(0));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_FrameCopy);

void BM_TilesOpaque(benchmark::State& state) {
    const Picture picture = Textured(kTile, kTile);
    const ImageSurface tile(picture, {0, 0, kTile, kTile}, kKey);
    TileFrame(state, tile, false);
}
BENCHMARK(BM_TilesOpaque);

void BM_TilesKeyed(benchmark::State& state) {
    const Picture picture = KeyedTile();
    const ImageSurface tile(picture, {0, 0, kTile, kTile}, kKey);
    TileFrame(state, tile, true);
}
BENCHMARK(BM_TilesKeyed);

void BM_RotatedSprite(benchmark::State& state) {
    const Picture picture = Textured(63, 68);
    const ImageSurface sprite(picture, {0, 0, 63, 68}, kKey);
    Surface frame(kFrameW, kFrameH);
    int angle = 0;
    for (auto _ : state) {
        BlitRotate(frame, 400, 300, 63, 68, sprite, {0, 0, 63, 68}, 0.5, 0.5, true, angle);
        angle = (angle + 7) & 255;
        benchmark::DoNotOptimize(frame.Row(0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RotatedSprite);

void BM_AlphaBlend(benchmark::State& state) {
    const Picture picture = Textured(376, 300);
    const ImageSurface panel(picture, {0, 0, 376, 300}, kKey);
    Surface frame(kFrameW, kFrameH);
    frame.Fill(0x4321);
    for (auto _ : state) {
        BlitAlpha(frame, {212, 150, 588, 450}, panel, {0, 0, 376, 300}, true, 140);
        benchmark::DoNotOptimize(frame.Row(0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AlphaBlend);

}  // namespace
}  // namespace vrumbal
