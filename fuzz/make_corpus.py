#!/usr/bin/env python3
"""Fills fuzz/corpus/<target>/ with seed inputs made from the game's own built files.

Picture and sound libraries come from the content build (the small ones as they are) and from
small libraries built here with `vrumbal-tool lib-build`, so the fuzzer starts from files the
readers accept; the save files and score records are written as text. Nothing here is
committed: the corpus folders are made afresh at fuzz time.
"""

import argparse
import pathlib
import shutil
import struct
import subprocess
import tempfile
import wave
import zlib


def write_png(path, width, height, seed):
    """An 8-bit RGB picture of simple stripes (standard library only)."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        for x in range(width):
            rows += bytes(((x * 7 + seed) & 255, (y * 13) & 255, ((x ^ y) + seed) & 255))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                     chunk(b"IDAT", zlib.compress(bytes(rows))) + chunk(b"IEND", b""))


def write_wav(path, channels, width, frames):
    with wave.open(str(path), "wb") as out:
        out.setnchannels(channels)
        out.setsampwidth(width)
        out.setframerate(11025)
        out.writeframes(bytes((i * 37) & 255 for i in range(frames * channels * width)))


# Picture items: name, size, pattern size, skips, system memory, transparent, key.
PICTURE_ITEMS = [
    ("whole", (16, 8), (0, 0), (0, 0), 0, 1, "clFuchsia"),
    ("grid", (100, 40), (20, 20), (0, 0), 0, 1, "000000"),
    ("gaps", (95, 12), (20, 12), (5, 0), 1, 0, "FF00FF"),
    ("tiles", (700, 4), (100, 4), (0, 0), 0, 1, "00FF00"),
    ("empty", None, (0, 0), (0, 0), 0, 1, "000000"),
]

SOUND_ITEMS = [
    ("mono8", (1, 1, 40), 0, 0),
    ("stereo16", (2, 2, 17), 1, 2),
    ("silent", None, 0, 3),
]


def build_libraries(tool, work, out_picture, out_wave):
    item_lines = []
    for i, (name, size, pattern, skip, sysmem, transparent, key) in enumerate(PICTURE_ITEMS):
        one = [f"item {name}"]
        if size:  # no png line: an empty picture
            write_png(work / f"p{i}.png", size[0], size[1], i * 40)
            one.append(f"png p{i}.png")
        one += [f"pattern {pattern[0]} {pattern[1]}", f"skip {skip[0]} {skip[1]}",
                f"transparent {transparent}", f"key {key}", f"sysmem {sysmem}"]
        item_lines.append(one)
    manifests = {"built.dxg": sum(item_lines, [])}
    # One library per item as well: small inputs mutate faster.
    for i, one in enumerate(item_lines):
        manifests[f"item{i}.dxg"] = one
    for i, (out_name, body) in enumerate(manifests.items()):
        (work / f"picture{i}.txt").write_text("\n".join(["library picture"] + body) + "\n")
        subprocess.run([tool, "lib-build", str(work / f"picture{i}.txt"),
                        str(out_picture / out_name)], check=True)

    lines = ["library sound"]
    for i, (name, shape, looped, maxplaying) in enumerate(SOUND_ITEMS):
        lines.append(f"item {name}")
        if shape:
            write_wav(work / f"s{i}.wav", *shape)
            lines.append(f"wav s{i}.wav")
            shutil.copy(work / f"s{i}.wav", out_wave / f"plain{i}.wav")
        else:
            pass  # no wav line: an item without a wave
        lines += [f"looped {looped}", f"maxplaying {maxplaying}"]
    (work / "sounds.txt").write_text("\n".join(lines) + "\n")
    subprocess.run([tool, "lib-build", str(work / "sounds.txt"), str(out_wave / "built.dxw")],
                   check=True)


def write_save_seeds(out_options, out_scores):
    options = {
        "defaults": ["0", "1", "1", "_______", "1", "9", "8"],
        "alt_f10": ["7", "0", "1", "Russia", "1", "10", ""],
        "odd": ["  3 trailing", "-1", "x", "", "4", "13", "\xff\xfe"],
        "short": ["1", "1"],
    }
    for name, lines in options.items():
        (out_options / name).write_bytes("\r\n".join(lines).encode("cp1251", "replace") + b"\r\n")
    (out_options / "lf_only").write_bytes(b"1\n0\n1\nX\n3\n12\nabc\n")

    default = []
    for k in range(1, 11):
        default += ["Зумо", str(11000 - 1000 * k)]
    (out_scores / "default").write_bytes("\r\n".join(default).encode("cp1251") + b"\r\n")
    mixed = ["A", "2147483647", "", "-5", "long name here", "  12 rest", "x", "0"]
    (out_scores / "mixed").write_bytes("\n".join(mixed).encode("cp1251") + b"\n")
    (out_scores / "damaged").write_bytes(b"A\r\nnot a number\r\n")


ALPHABET = "HJZYMEC5R1V8GP7A62NWSX3FQ9DLK4BT"


def encode_record(text):
    bits = "".join(f"{b:08b}" for b in text)
    bits = "0" * (-len(bits) % 5) + bits
    return "".join(ALPHABET[int(bits[i:i + 5], 2)] for i in range(0, len(bits), 5))


def write_record_seeds(out):
    for i, (name, score, country) in enumerate([
            (b"Ann", 120, b"_______"), (b"", 0, b""), ("Зумо".encode("cp1251"), 99999, b"RU")]):
        text = (b"type=0|name=" + name + b"|score=" + str(score).encode() + b"|key=V|p=|add=" +
                country + b"|z=")
        text += b"0" * (-len(text) % 5)
        (out / f"text{i}").write_bytes(text)
        (out / f"code{i}").write_text(encode_record(text))


def write_replay_seeds(tool, data_root, out):
    """Games recorded by the play tool: the throttle held, and nothing pressed at all."""
    with tempfile.TemporaryDirectory() as work:
        scripts = {"throttle": "0 key down Up\n", "idle": "# nothing\n"}
        for name, script in scripts.items():
            path = pathlib.Path(work) / f"{name}.txt"
            path.write_text(script)
            subprocess.run([tool, "play", "--data", str(data_root), "--start-race", "--seed", "3",
                            "--script", str(path), "--frames", "600", "--record",
                            str(out / f"{name}.vrr")], check=True, stderr=subprocess.DEVNULL)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--tool", required=True, help="path of vrumbal-tool")
    parser.add_argument("--data", required=True, help="the build's Data folder")
    parser.add_argument("--out", required=True, help="corpus root to fill")
    args = parser.parse_args()

    root = pathlib.Path(args.out)
    dirs = {name: root / name for name in
            ("picture_library", "wave_library", "options_file", "high_score_file", "score_record",
             "replay")}
    for d in dirs.values():
        d.mkdir(parents=True, exist_ok=True)

    data = pathlib.Path(args.data)
    # The built minimap library is small enough to mutate; the big menu and race libraries
    # would slow every run down to a crawl.
    shutil.copy(data / "Res" / "Res3.dxg", dirs["picture_library"] / "Res3.dxg")
    shutil.copy(data / "Res" / "Sounds.dxw", dirs["wave_library"] / "Sounds.dxw")
    with tempfile.TemporaryDirectory() as work:
        build_libraries(args.tool, pathlib.Path(work), dirs["picture_library"],
                        dirs["wave_library"])
    write_save_seeds(dirs["options_file"], dirs["high_score_file"])
    write_record_seeds(dirs["score_record"])
    # The play tool runs over a folder holding Data/, and keeps its saves there: a copy.
    with tempfile.TemporaryDirectory() as work:
        root = pathlib.Path(work)
        (root / "Data").mkdir()
        (root / "Data" / "Res").symlink_to(data.resolve() / "Res")
        write_replay_seeds(args.tool, root, dirs["replay"])


if __name__ == "__main__":
    main()
