#pragma once
#include <stdexcept>
#include <string>
#include <vector>

namespace vrumbal::tool {

// The arguments of one sub-command, without the program and sub-command names.
using Args = std::vector<std::string>;

// Arguments a command cannot take (an unknown option, a missing value): the tool says why and
// prints the command's usage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A replay that cannot be read or re-run: the tool says why and ends with status 2.
struct ReplayError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// For commands that take only file names: an argument that starts with '-' is an option they
// do not know.
inline void RefuseOptions(const Args& args) {
    for (const std::string& a : args) {
        if (a.size() > 1 && a[0] == '-') throw UsageError("unknown option " + a);
    }
}

// lib-list FILE: one line per item of a picture or sound library.
int LibList(const Args& args);
// lib-extract FILE DIR: every picture as DIR/I.png, every sound as DIR/I.wav.
int LibExtract(const Args& args);
// lib-build MANIFEST OUT: builds a library from a manifest.
int LibBuild(const Args& args);
// play [options]: runs the real game under a simulated clock.
int Play(const Args& args);
// replay FILE [options]: plays a recorded game through the real frame loop with drawing.
int PlayReplay(const Args& args);
// verify FILE [--data DIR]: re-runs a recorded game without drawing or sound and says whether
// it reaches the result it claims (0), does not (1), or cannot be re-run (2).
int VerifyReplay(const Args& args);
// track --level L --seed S [--dump FILE] [--png FILE] [--scale K] [--data DIR]: one level's
// generated track as raw bytes and/or a picture.
int Track(const Args& args);
// submit [--host HOST:PORT] --name NAME --score N [--country C]: sends one result to the
// world table through the game's own request; 0 when the server accepted it.
int Submit(const Args& args);

// sheet LIB OUT.png: a contact sheet of a picture library.
int Sheet(const Args& args);

// The help text of lib-build's manifest format.
extern const char* const kManifestHelp;

}  // namespace vrumbal::tool
