// vrumbal-tool: the developer's tool. Lists, extracts and builds libraries and runs the real
// game headless under a simulated clock.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "commands.h"

namespace {

using vrumbal::tool::Args;

// One verb of the tool: its name, its usage and what runs it.
struct Verb {
    const char* name;              // as typed after the tool's name
    const char* usage;             // its arguments and what it does, for --help
    int (*run)(const Args& args);  // runs it; throws UsageError on arguments it cannot take
};

constexpr Verb kVerbs[] = {
    {"lib-list", "lib-list FILE\n    list the items of a picture (.dxg) or sound (.dxw) library\n",
     vrumbal::tool::LibList},
    {"lib-extract",
     "lib-extract FILE DIR\n    write each picture as DIR/I.png, each sound as DIR/I.wav\n",
     vrumbal::tool::LibExtract},
    {"lib-build", "lib-build MANIFEST OUT\n    build a library from a manifest (below)\n",
     vrumbal::tool::LibBuild},
    {"sheet", "sheet LIB OUT.png\n    draw a contact sheet of a picture library\n",
     vrumbal::tool::Sheet},
    {"play",
     "play [--data DIR] [--fps F] [--refresh R] [--frames N] [--seed S] [--script FILE]\n"
     "     [--shots DIR] [--trace FILE] [--start-race] [--level L] [--bike B] [--record FILE]\n"
     "     [--autopilot] [--name NAME] [--no-draw] [--lang ru|en]\n"
     "    run the game headless with a simulated clock of F frames a second (85); the\n"
     "    script holds one event a line, FRAME EVENT (see the README); with --record the\n"
     "    game started is recorded into FILE as a replay; the autopilot rides the races,\n"
     "    NAME (UTF-8) is typed into the table when a record asks for it; the game speaks\n"
     "    the language given (ru unless told), whatever the environment says\n",
     vrumbal::tool::Play},
    {"replay",
     "replay FILE [--data DIR] [--fps F] [--shots DIR] [--every N] [--trace FILE]\n"
     "     [--lang ru|en]\n"
     "    play a replay through the game's frame loop with drawing, a shot every N frames\n"
     "    (F: once a simulated second) and a trace line every frame\n",
     vrumbal::tool::PlayReplay},
    {"verify",
     "verify FILE [--data DIR]\n"
     "    re-run a replay without drawing or sound: prints score, level, frames, the claimed\n"
     "    score and whether they match; status 0 match, 1 no match, 2 unreadable\n",
     vrumbal::tool::VerifyReplay},
    {"track",
     "track --level L --seed S [--dump FILE] [--png FILE] [--scale K] [--data DIR]\n"
     "    generate a level's track; dump its bytes, draw it at 1/K\n",
     vrumbal::tool::Track},
    {"submit",
     "submit [--host HOST:PORT] --name NAME --score N [--country C]\n"
     "    send a result to the world table (texts in UTF-8)\n",
     vrumbal::tool::Submit},
};

void PrintVerbUsage(const Verb& verb, std::FILE* out) {
    std::fprintf(out, "usage: vrumbal-tool %s", verb.usage);
    if (std::strcmp(verb.name, "lib-build") == 0) {
        std::fputs("\n", out);
        std::fputs(vrumbal::tool::kManifestHelp, out);
    }
}

void Usage(std::FILE* out) {
    std::fputs("usage: vrumbal-tool COMMAND [ARGS]   (COMMAND --help: that command's usage)\n",
               out);
    for (const Verb& verb : kVerbs) std::fprintf(out, "  %s", verb.usage);
    std::fputs("\n", out);
    std::fputs(vrumbal::tool::kManifestHelp, out);
}

bool AsksForHelp(const Args& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        Usage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    const Args args(argv + 2, argv + argc);
    for (const Verb& verb : kVerbs) {
        if (command != verb.name) continue;
        if (AsksForHelp(args)) {
            PrintVerbUsage(verb, stdout);
            return 0;
        }
        try {
            return verb.run(args);
        } catch (const vrumbal::tool::ReplayError& e) {
            std::fprintf(stderr, "vrumbal-tool %s: %s\n", verb.name, e.what());
            return 2;
        } catch (const vrumbal::tool::UsageError& e) {
            std::fprintf(stderr, "vrumbal-tool %s: %s\n", verb.name, e.what());
            PrintVerbUsage(verb, stderr);
            return 1;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "vrumbal-tool %s: %s\n", verb.name, e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "vrumbal-tool: unknown command '%s'\n", command.c_str());
    Usage(stderr);
    return 2;
}
