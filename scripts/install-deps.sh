#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages that building, playing and testing need.
# Idempotent: only packages that are missing are installed.
set -euo pipefail

packages=(
    cmake make g++ pkg-config          # toolchain
    python3                            # the checks of the tree and the soak's player
    libsdl2-dev                        # window, events, audio output
    libx11-dev                         # the window's real size where SDL's is stale
    libsdl2-ttf-dev                    # text drawing
    libxmp-dev                         # tracker music player
    libfontconfig-dev                  # finding font faces by name
    libpng-dev                         # PNG frames and extracted pictures
    zlib1g-dev nettle-dev              # replays: packed, checked, named by their digest
    libcairo2-dev                      # drawing the game's pictures in the content build
    libcpp-httplib-dev                 # the game's score request
    libboost-locale-dev gettext        # the game's texts in other languages: catalogues and their tools
    libmicrohttpd-dev                  # the score server's HTTP on an event loop
    libsqlite3-dev libpq-dev           # its stores: an SQLite file or a PostgreSQL database
    postgresql-15                      # a real PostgreSQL for the score server's tests
    fonts-play                         # the game's display face
    fonts-dejavu-core                  # the monospace face
    googletest libgtest-dev libgmock-dev  # unit tests
    libbenchmark-dev                   # benchmarks
    desktop-file-utils appstream       # validators of the desktop entry and the metainfo
    xvfb                               # a bare X server for the display's tests
    chromium chromium-driver           # the world page in a real browser, at desktop and phone widths
    dpkg-dev lintian                   # the Debian package: its dependencies and its checks
)
# `install-deps.sh --fuzz` adds what `make fuzz` needs: clang and its libFuzzer runtime.
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
