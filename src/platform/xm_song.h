// One XM song loaded into the tracker player and rendered on demand for the mixer.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace vrumbal {

// One XM song loaded into the tracker player, rendered on demand as interleaved stereo 16-bit
// frames. Not thread-safe on its own: the mixer calls Render under its lock, and whoever starts
// or stops the song takes the song out of the mixer first.
class XmSong final {
    struct Key {
        explicit Key() = default;
    };

public:
    // Loads the song; nullptr when the file is missing or not a module the player knows.
    static std::unique_ptr<XmSong> LoadFromFile(const std::string& path);
    // Takes over a player context holding a loaded module; only LoadFromFile can make the key.
    XmSong(Key, char* context) : context_(context) {}
    ~XmSong();
    XmSong(const XmSong&) = delete;
    XmSong& operator=(const XmSong&) = delete;

    // Starts the song from its beginning at the given output rate; false when the player refused.
    bool Start(int outputRate);
    // Stops the song; Render then gives silence.
    void Stop();
    // True between Start and Stop.
    bool IsStarted() const { return started_; }
    // Fills count frames; the song repeats at its end. Silence when not started.
    void Render(std::int16_t* frames, int count);

private:
    char* context_;         // the player's context (its handle type is a char pointer)
    bool started_ = false;  // the player is running
};

}  // namespace vrumbal
