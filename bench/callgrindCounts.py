#!/usr/bin/python3
"""Reads callgrind's counts for bench/callgrindGame.sh. Usage:
  callgrindCounts.py sum FILE FUNCTION...   prints FILE's instructions, then each function's calls
  callgrindCounts.py summary GAME CROWDED FLOOR   prints the runs' rows (lines of sum's figures:
      instructions, frames, ticks, ticks with a player, homing enemies' ticks) and their medians
      against the floor's and the goals"""
import re, statistics, sys


def sum_counts(file, *functions):
    # callgrind writes a name once, then its number in brackets.
    names, calls, total, callee = {}, {}, 0, None

    def name(text):
        m = re.match(r"\((\d+)\)(?: (.*))?", text)
        if not m:
            return text
        if m.group(2):
            names[m.group(1)] = m.group(2)
        return names.get(m.group(1))

    for line in open(file):
        if line.startswith(("fn=", "cfn=")):
            n = name(line.split("=", 1)[1].strip())
            callee = n if line.startswith("cfn=") else callee
        elif line.startswith("calls=") and callee:
            calls[callee] = calls.get(callee, 0) + int(line[6:].split()[0])
        elif line.startswith("summary:"):
            total = int(line.split()[1])
    print(total, *(calls.get(f, 0) for f in functions))


def summary(*files):
    play, crowd, floor = ([list(map(int, line.split())) for line in open(f)] for f in files)

    def game(c):
        return (f"{c[0] / c[1] / 1e6:.2f} million instructions a frame, {c[1]} frames, "
                f"{c[2]} ticks, player in {c[3]}, {c[4] / max(c[2], 1):.1f} homing enemies a tick")

    for run, (p, c, f) in enumerate(zip(play, crowd, floor), 1):
        print(f"run {run}: playing {game(p)}\n       crowded {game(c)}\n"
              f"       floor {f[0] / f[1] / 1e6:.2f} million, {f[1]} frames")
    base = statistics.median(f[0] / f[1] for f in floor)
    print(f"\nmedians of {len(floor)} runs, instructions per frame shown "
          f"(floor {base / 1e6:.2f} million)")
    for name, runs, goal in (("playing", play, 0.33), ("crowded, all 30 enemies in", crowd, 0.38)):
        each = statistics.median(r[0] / r[1] for r in runs)
        print(f"{name:27} {each / 1e6:.2f} million, game / floor {each / base:.3f}, "
              f"goal at most {goal}: {'met' if each / base <= goal else 'MISSED'}")


if __name__ == "__main__":
    commands = {"sum": sum_counts, "summary": summary}
    if len(sys.argv) < 3 or sys.argv[1] not in commands:
        sys.exit(__doc__)
    commands[sys.argv[1]](*sys.argv[2:])
