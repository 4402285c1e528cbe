#include "songs.h"

#include "content.h"

namespace vrumbal::content {

std::vector<Song> BuildSongs() {
    return {{"Menu.xm", WriteXm(music::MenuSong())}, {"Race.xm", WriteXm(music::RaceSong())}};
}

}  // namespace vrumbal::content
