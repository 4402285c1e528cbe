#!/usr/bin/env python3
"""Soak test: a long headless game driven by a random but seeded player.

  soak.py generate --seed S --frames N --out SCRIPT
      writes a play script of random, sensible key and mouse events for `vrumbal-tool play`.
  soak.py run --tool TOOL --data BUILD --seed S --frames N [--grace SECONDS]
      generates the script, runs the game with it in a scratch copy of the data folder,
      prints the process's resident memory every few seconds while it runs, and fails on a
      non-zero exit, on any sanitizer report, when the game ended before its frames, or when
      its memory (the resident set and the live heap the game reads every hundredth frame)
      kept growing after the first minute of play.

The player never presses Y: every event that may open the quit question (Escape, Enter, a
click, the window's close button) is followed by two taps of N, so the run is not ended by
chance; everything else - menus, races, dialogs, options, name entry, focus changes, the boss
key - is fair game.
"""

import argparse
import collections
import json
import os
import pathlib
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

WIDTH, HEIGHT = 800, 600
ARROWS = ["Up", "Down", "Left", "Right"]
LETTERS = "ABCDEFGHIJKLMOPQRSTUVWXZ"  # no N or Y: those answer questions
TEXTS = ["Ann", "Rider", "Zz", "Иван", "1234567890123456789", "a b", "!?"]


class Script:
    """Collects "FRAME EVENT" lines; frames only move forward."""

    def __init__(self):
        self.lines = []

    def add(self, frame, event):
        self.lines.append(f"{frame} {event}")

    def text(self):
        return "\n".join(self.lines) + "\n"


def answer_no(script, frame):
    """Declines whatever question the previous event may have opened."""
    script.add(frame + 3, "key tap N")
    script.add(frame + 12, "key tap N")
    return frame + 14


def generate(seed, frames):
    rng = random.Random(seed)
    script = Script()
    frame = 20
    # Weighted actions; each returns the frame after it is done.
    def arrow(f):
        script.add(f, f"key tap {rng.choice(ARROWS)}")
        return f + rng.randint(2, 20)

    def ride(f):
        # Holds a steering key for a while, as a rider does through a bend.
        key = rng.choice(["Left", "Right", "Up"])
        hold = rng.randint(5, 120)
        script.add(f, f"key down {key}")
        script.add(f + hold, f"key up {key}")
        return f + hold + rng.randint(1, 10)

    def enter(f):
        script.add(f, "key tap Enter")
        return answer_no(script, f)

    def escape(f):
        script.add(f, "key tap Escape")
        return answer_no(script, f)

    def space(f):
        script.add(f, "key tap Space")
        return f + rng.randint(2, 30)

    def typing(f):
        if rng.random() < 0.5:
            script.add(f, f"text {rng.choice(TEXTS)}")
        else:
            for _ in range(rng.randint(1, 5)):
                script.add(f, f"key tap {rng.choice(LETTERS)}")
                f += 2
        if rng.random() < 0.4:
            script.add(f + 1, "key tap Backspace")
        return f + rng.randint(2, 10)

    def mouse(f):
        script.add(f, f"mouse {rng.randrange(WIDTH)} {rng.randrange(HEIGHT)}")
        return f + rng.randint(1, 10)

    def click(f):
        verb = "dblclick" if rng.random() < 0.2 else "click"
        script.add(f, f"{verb} {rng.randrange(WIDTH)} {rng.randrange(HEIGHT)}")
        return answer_no(script, f)

    def focus(f):
        away = rng.randint(5, 200)
        if rng.random() < 0.5:
            script.add(f, "focus off")
            script.add(f + away, "focus on")
        else:
            script.add(f, "minimize")
            script.add(f + away, "restore")
        return f + away + 5

    def boss_key(f):
        # Alt+F9 hides the game; restoring the window brings it back.
        script.add(f, "key down Alt")
        script.add(f + 1, "key tap F9")
        script.add(f + 3, "key up Alt")
        script.add(f + 60, "restore")
        script.add(f + 61, "focus on")
        return f + 70

    def function_key(f):
        script.add(f, f"key tap F{rng.randint(1, 12)}")
        return f + rng.randint(2, 10)

    def close(f):
        script.add(f, "close")
        return answer_no(script, f)

    def idle(f):
        # Lets a race run on by itself (and end by time or crash).
        return f + rng.randint(50, 1500)

    actions = [(arrow, 30), (ride, 20), (enter, 18), (escape, 6), (space, 3), (typing, 6),
               (mouse, 8), (click, 8), (focus, 1), (boss_key, 0.5), (function_key, 1),
               (close, 0.5), (idle, 4)]
    funcs = [a for a, _ in actions]
    weights = [w for _, w in actions]
    while frame < frames - 200:
        frame = rng.choices(funcs, weights)[0](frame)
    return script.text()


def read_rss_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        return None
    return None


def run(args):
    work = pathlib.Path(tempfile.mkdtemp(prefix="vrumbal-soak-"))
    try:
        return soak(args, work)
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


def soak(args, work):
    # A scratch data folder: the built pictures, sounds and music, and fresh save files.
    data_src = pathlib.Path(args.data) / "Data"
    (work / "Data" / "Save").mkdir(parents=True)
    # A blank table, as a freshly emptied file reads (every entry nameless with 0 points), so the
    # first points scored go into it and the player gets to type a name and answer the upload.
    (work / "Data" / "Save" / "hs").write_bytes(b"")
    for part in ("Res", "Music"):
        os.symlink(data_src.resolve() / part, work / "Data" / part)
    script_path = work / "script.txt"
    script_path.write_text(generate(args.seed, args.frames))
    trace_path = work / "trace.jsonl"
    log_path = work / "stderr.txt"

    env = dict(os.environ)
    env.setdefault("SDL_VIDEODRIVER", "dummy")
    env.setdefault("SDL_AUDIODRIVER", "dummy")
    # A small quarantine, and freed pages handed back to the system at once, keep the
    # sanitizer's own caches from looking like growth; leaks are still reported.
    asan = env.get("ASAN_OPTIONS", "detect_leaks=1")
    if "quarantine_size_mb" not in asan:
        asan += ":quarantine_size_mb=16"
    if "allocator_release_to_os_interval_ms" not in asan:
        asan += ":allocator_release_to_os_interval_ms=0"
    env["ASAN_OPTIONS"] = asan
    cmd = [args.tool, "play", "--data", str(work), "--fps", str(args.fps), "--frames",
           str(args.frames), "--seed", str(args.seed), "--script", str(script_path), "--trace",
           str(trace_path)]
    print("soak:", " ".join(cmd), flush=True)
    start = time.monotonic()
    with open(log_path, "wb") as log:
        proc = subprocess.Popen(cmd, stdout=log, stderr=subprocess.STDOUT, env=env)
        while proc.poll() is None:
            rss = read_rss_kb(proc.pid)
            if rss is not None:
                print(f"soak: {time.monotonic() - start:7.1f} s  RSS {rss / 1024:7.1f} MiB",
                      flush=True)
            time.sleep(args.interval)
    elapsed = time.monotonic() - start

    failures = []
    if proc.returncode != 0:
        failures.append(f"exit status {proc.returncode}")
    output = log_path.read_text(errors="replace")
    for marker in ("AddressSanitizer", "LeakSanitizer", "runtime error:", "UndefinedBehavior"):
        if marker in output:
            failures.append(f"sanitizer report ({marker})")
    if output.strip():
        print(output[-4000:])

    frames_run = 0
    screens = collections.Counter()
    dialogs = collections.Counter()
    memory = []  # (frame, RSS in KiB, live heap in KiB)
    with open(trace_path) as trace:
        for line in trace:
            frames_run += 1
            row = json.loads(line)
            if "RssKiB" in row:
                memory.append((row["frame"], row["RssKiB"], row["HeapKiB"]))
            screens[row.get("ScreenKind")] += 1
            dialogs[row.get("DialogKind")] += 1
    if frames_run < args.frames:
        failures.append(f"the game ended after {frames_run} of {args.frames} frames")

    # Memory, from the game's own readings in the trace (every hundredth frame). After the
    # first minute of play both figures may still settle - the text cache fills up to its
    # budget, allocator caches and the sanitizer's quarantine fill - but a leak keeps
    # climbing. Typical values of the settled run's first and last thirds are compared
    # (medians, so one busy moment - a song loading while the quarantine is full - does not
    # decide), and the live heap must not end higher than it ever was in the first third.
    grace_frames = int(args.grace * args.fps)
    settled = [m for m in memory if m[0] >= grace_frames]
    if len(settled) >= 30:
        third = len(settled) // 3
        early, late = settled[:third], settled[-third:]
        for name, column, growth, peak_rule in (("RSS", 1, args.rss_growth, False),
                                                ("live heap", 2, 5.0, True)):
            early_median = statistics.median(m[column] for m in early)
            late_median = statistics.median(m[column] for m in late)
            limit = early_median + max(int(early_median * growth / 100), 4096)  # or 4 MiB
            print(f"soak: {name} after {args.grace:.0f} s of play {settled[0][column] / 1024:.1f}"
                  f" MiB; median of the first third {early_median / 1024:.1f} MiB, of the last"
                  f" third {late_median / 1024:.1f} MiB (limit {limit / 1024:.1f} MiB); range"
                  f" {min(m[column] for m in settled) / 1024:.1f} to"
                  f" {max(m[column] for m in settled) / 1024:.1f} MiB")
            if late_median > limit:
                failures.append(f"{name} kept growing: median {early_median} KiB early, "
                                f"{late_median} KiB late")
            if peak_rule:
                early_peak = max(m[column] for m in early)
                late_peak = max(m[column] for m in late)
                peak_limit = early_peak + max(early_peak // 50, 1024)  # 2 % or 1 MiB
                if late_peak > peak_limit:
                    failures.append(f"{name} kept growing: peak {early_peak} KiB early, "
                                    f"{late_peak} KiB late")
    else:
        failures.append("the run was too short to judge memory growth")

    print(f"soak: {frames_run} frames in {elapsed:.0f} s; frames per screen "
          f"{dict(sorted(screens.items()))}; per dialog {dict(sorted(dialogs.items()))}")
    for failure in failures:
        print("soak: FAILED:", failure)
    if not failures:
        print("soak: passed")
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    gen = sub.add_parser("generate", help="write a random play script")
    gen.add_argument("--seed", type=int, default=1)
    gen.add_argument("--frames", type=int, default=200000)
    gen.add_argument("--out", required=True)
    soak_cmd = sub.add_parser("run", help="play a random script and watch the memory")
    soak_cmd.add_argument("--tool", required=True, help="path of vrumbal-tool")
    soak_cmd.add_argument("--data", required=True, help="the build folder holding Data/")
    soak_cmd.add_argument("--seed", type=int, default=1)
    soak_cmd.add_argument("--frames", type=int, default=200000)
    soak_cmd.add_argument("--grace", type=float, default=60.0,
                          help="seconds of play (game time) before the memory must stay flat")
    soak_cmd.add_argument("--fps", type=int, default=85, help="frames per second of the play")
    soak_cmd.add_argument("--rss-growth", type=float, default=5.0,
                          help="percent the resident set's median may rise (at least 4 MiB)")
    soak_cmd.add_argument("--interval", type=float, default=10.0,
                          help="seconds between progress lines")
    soak_cmd.add_argument("--keep", action="store_true", help="keep the scratch folder")
    args = parser.parse_args()
    if args.command == "generate":
        pathlib.Path(args.out).write_text(generate(args.seed, args.frames))
        return 0
    return run(args)


if __name__ == "__main__":
    sys.exit(main())
