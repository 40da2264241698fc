#!/usr/bin/env python3
"""Compares two runs of scripts/mutation_sample.py on the same seed, fault by fault.

    python3 scripts/mutation_compare.py BEFORE AFTER

Prints each fault caught in one run and not in the other (LOST: caught before,
survived after; GAINED: the other way round), then a count of each kind. A
fault in only one of the files (a run not finished) or not built in either is
counted apart. The exit status is 1 when a fault was lost.
"""
import sys


def outcomes(path):
    """The fault (its place and change) to its outcome: caught, survived or not built."""
    result = {}
    with open(path, encoding="utf-8") as file:
        for line in file:
            if line.startswith("score:") or "  " not in line:
                continue
            status, fault = line.rstrip("\n").split("  ", 1)
            result[fault] = ("caught" if status.startswith("caught")
                             else "survived" if status.startswith("SURVIVED") else "not built")
    return result


def main():
    if len(sys.argv) != 3:
        print("usage: " + __doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    before, after = outcomes(sys.argv[1]), outcomes(sys.argv[2])
    counts = {"LOST": 0, "GAINED": 0, "caught in both": 0, "survived both": 0, "not built": 0, "in one file only": 0}
    for fault in sorted(set(before) | set(after)):
        was, now = before.get(fault), after.get(fault)
        if was is None or now is None:
            counts["in one file only"] += 1
        elif "not built" in (was, now):
            counts["not built"] += 1
        elif was == now:
            counts["caught in both" if now == "caught" else "survived both"] += 1
        else:
            kind = "LOST" if was == "caught" else "GAINED"
            counts[kind] += 1
            print(f"{kind}  {fault}")
    print(", ".join(f"{name}: {count}" for name, count in counts.items()))
    return 1 if counts["LOST"] else 0


if __name__ == "__main__":
    sys.exit(main())
