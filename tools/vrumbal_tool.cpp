// vrumbal-tool: the developer's tool. Lists, extracts and builds libraries and runs the real
// game headless under a simulated clock.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "commands.h"

namespace {

void Usage() {
    std::fputs(
        "usage: vrumbal-tool COMMAND [ARGS]\n"
        "  lib-list FILE             list the items of a picture (.dxg) or sound (.dxw) library\n"
        "  lib-extract FILE DIR      write each picture as DIR/I.png, each sound as DIR/I.wav\n"
        "  lib-build MANIFEST OUT    build a library from a manifest (see below)\n"
        "  sheet LIB OUT.png         draw a contact sheet of a picture library\n"
        "  play [--data DIR] [--fps F] [--refresh R] [--frames N] [--seed S] [--script FILE]\n"
        "       [--shots DIR] [--trace FILE] [--start-race] [--level L] [--bike B]\n"
        "                            run the game headless with a simulated clock\n"
        "  track --level L --seed S [--dump FILE] [--png FILE] [--scale K] [--data DIR]\n"
        "                            generate a level's track; dump its bytes, draw it at 1/K\n"
        "  submit [--host HOST:PORT] --name NAME --score N [--country C]\n"
        "                            send a result to the world table (texts in UTF-8)\n\n",
        stderr);
    std::fputs(vrumbal::tool::kManifestHelp, stderr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        Usage();
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    const vrumbal::tool::Args args(argv + 2, argv + argc);
    try {
        if (command == "lib-list") return vrumbal::tool::LibList(args);
        if (command == "lib-extract") return vrumbal::tool::LibExtract(args);
        if (command == "lib-build") return vrumbal::tool::LibBuild(args);
        if (command == "play") return vrumbal::tool::Play(args);
        if (command == "sheet") return vrumbal::tool::Sheet(args);
        if (command == "track") return vrumbal::tool::Track(args);
        if (command == "submit") return vrumbal::tool::Submit(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vrumbal-tool %s: %s\n", command.c_str(), e.what());
        return 1;
    }
    std::fprintf(stderr, "vrumbal-tool: unknown command '%s'\n", command.c_str());
    Usage();
    return 2;
}
