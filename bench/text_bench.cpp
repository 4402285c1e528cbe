#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/text.h"

namespace vrumbal {
namespace {

// A race frame's worth of texts: the head-up display and a dialog over it, in the display
// face at the sizes the game uses, all already seen in earlier frames.
void BM_CachedTexts(benchmark::State& state) {
    auto renderer = CreateTtfTextRenderer();
    std::vector<std::uint16_t> pixels(800 * 600, 0x2104);
    const PixelBuffer frame{pixels.data(), 800, 600, 800};
    const std::string words[] = {"\xD3\xD0\xCE\xC2\xC5\xCD\xDC 3 / 10",  // УРОВЕНЬ 3 / 10
                                 "01 : 05",
                                 "123450",
                                 "3",
                                 "187",
                                 "2/6",
                                 "\xCF\xC0\xD3\xC7\xC0"};  // ПАУЗА
    struct Item {
        std::string text;
        FontSpec font;
        int x, y;
    };
    std::vector<Item> items;
    for (int i = 0; i < 30; ++i) {
        FontSpec font;
        font.face = "BancoDi";
        font.bold = true;
        font.size = 14 + 2 * (i % 8);  // 14 .. 28 points
        font.color = i % 2 == 0 ? 0x00DEFF : 0xCAFC42;
        items.push_back({words[i % std::size(words)], font, 20 + (i % 5) * 150, 15 + (i / 5) * 95});
    }
    for (const Item& item : items) renderer->DrawText(frame, item.x, item.y, item.text, item.font);
    for (auto _ : state) {
        for (const Item& item : items)
            renderer->DrawText(frame, item.x, item.y, item.text, item.font);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(items.size()));
}
BENCHMARK(BM_CachedTexts)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vrumbal
