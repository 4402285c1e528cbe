#!/usr/bin/env python3
"""Checks the house rules of src/ that a compiler does not.

Floors: each folder of src/ includes only its own headers and those of lower floors,
    platform < engine < game < ui < save, online, race < screens < shell
and only platform includes the headers of outside libraries. A dialog or a sound is never
passed as a bare number where the game has a name for it.

Usage: check_layers.py SRC_DIR. Prints one line per breach and exits 1 when there is any.
"""
import pathlib
import re
import sys

FLOORS = {
    "platform": 0,
    "engine": 1,
    "game": 2,
    "ui": 3,
    "save": 4,
    "online": 4,
    "race": 4,
    "screens": 5,
    "shell": 6,
}
# Headers of the outside libraries the game uses; only the platform floor may include them.
OUTSIDE = re.compile(r'#\s*include\s*<(SDL|X11/|xmp|fontconfig/|png|httplib|ft2build|cairo|zlib|nettle/|boost/|libpq|sqlite3|microhttpd)')
OWN = re.compile(r'#\s*include\s*"([a-z_]+)/[^"]+"')
# Calls that take a named kind or sound, given a number instead.
BARE = re.compile(r'\b(OpenDialog|PlaySound|StopSound)\(\s*-?\d')


def breaches(src):
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".in"):
            continue
        rel = path.relative_to(src)
        floor = rel.parts[0] if len(rel.parts) > 1 else None
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            where = f"src/{rel}:{number}"
            own = OWN.match(line.strip())
            if own and floor is not None:
                target = own.group(1)
                if target not in FLOORS:
                    found.append(f"{where}: includes from {target}/, which is no floor")
                elif target != floor and FLOORS[target] >= FLOORS[floor]:
                    found.append(f"{where}: {floor}/ includes {target}/, which is not below it")
            if OUTSIDE.match(line.strip()) and floor != "platform":
                found.append(f"{where}: an outside library's header outside platform/")
            if BARE.search(line):
                found.append(f"{where}: a bare number where a named kind or sound exists")
    return found


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    found = breaches(pathlib.Path(sys.argv[1]))
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
