// An XM song through libxmp: loaded, started at the mixer's rate, and rendered on repeat.
#include "platform/xm_song.h"

#include <xmp.h>

#include <algorithm>

namespace vrumbal {

namespace {

constexpr int kBytesPerFrame = 2 * sizeof(std::int16_t);

}  // namespace

std::unique_ptr<XmSong> XmSong::LoadFromFile(const std::string& path) {
    xmp_context context = xmp_create_context();
    if (context == nullptr) return nullptr;
    if (xmp_load_module(context, path.c_str()) != 0) {
        xmp_free_context(context);
        return nullptr;
    }
    return std::make_unique<XmSong>(Key{}, context);
}

XmSong::~XmSong() {
    Stop();
    xmp_release_module(context_);
    xmp_free_context(context_);
}

bool XmSong::Start(int outputRate) {
    Stop();
    // Format 0: signed 16-bit stereo, the mixer's own layout.
    started_ = xmp_start_player(context_, outputRate, 0) == 0;
    return started_;
}

void XmSong::Stop() {
    if (!started_) return;
    xmp_end_player(context_);
    started_ = false;
}

void XmSong::Render(std::int16_t* frames, int count) {
    if (!started_) {
        std::fill(frames, frames + 2 * count, std::int16_t{0});
        return;
    }
    // A loop limit of 0 lets the song run on from its restart position forever.
    if (xmp_play_buffer(context_, frames, count * kBytesPerFrame, 0) != 0) {
        std::fill(frames, frames + 2 * count, std::int16_t{0});
    }
}

}  // namespace vrumbal
