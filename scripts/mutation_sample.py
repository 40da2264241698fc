#!/usr/bin/env python3
"""Plants small faults in src/ one at a time and counts how many the rules
and scenario tests (tests/kelvrin_tests) catch.

    python3 scripts/mutation_sample.py --count 60 --seed 1 [--build DIR] [--out FILE]

Run it in a checkout of its own: each fault is written into the source,
built, tested and put back. The sample depends only on --seed and on src/,
so the same seed on the same src/ plants the same faults, and a suite
before and after a change of the tests can be compared on equal terms.
A fault that does not build is left out of the score. Prints one line per
fault (caught, with the tests that caught it, or survived) and the score.
"""
import argparse
import random
import re
import subprocess
import sys
from pathlib import Path

# (pattern, replacement) of one small change each; matched outside string
# and character literals and comments.
OPERATORS = [
    (r"==", "!="), (r"!=", "=="),
    (r"(?<![<>=!&|+\-*/%^])<=", "<"), (r"(?<![<>=!&|+\-*/%^])>=", ">"),
    (r"(?<=\s)<(?=\s)", "<="), (r"(?<=\s)>(?=\s)", ">="),
    (r"(?<=\s)\+(?=\s)", "-"), (r"(?<=\s)-(?=\s)", "+"),
    (r"&&", "||"), (r"\|\|", "&&"),
    (r"\btrue\b", "false"), (r"\bfalse\b", "true"),
    (r"(?<![\w.])([1-9][0-9]*)(?![\w.])", None),  # a number one higher
]


def code_spans(line):
    """The parts of a line outside literals and a trailing comment."""
    spans, start, i, quote = [], 0, 0, None
    while i < len(line):
        ch = line[i]
        if quote:
            if ch == "\\":
                i += 2
                continue
            if ch == quote:
                quote = None
                start = i + 1
        elif ch in "\"'":
            spans.append((start, i))
            quote = ch
        elif line.startswith("//", i):
            break
        i += 1
    if not quote:
        spans.append((start, i))
    return spans


def sites(root):
    found = []
    for path in sorted(root.glob("src/**/*.cpp")):
        if "platform/windows" in path.as_posix():
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines()):
            stripped = line.strip()
            if not stripped or stripped.startswith(("#", "//", "*", "static_assert")):
                continue
            for begin, end in code_spans(line):
                for op, (pattern, replacement) in enumerate(OPERATORS):
                    for match in re.finditer(pattern, line[begin:end]):
                        found.append((path, number, begin + match.start(), begin + match.end(), op))
    return found


def mutate(line, start, end, op):
    pattern, replacement = OPERATORS[op]
    if replacement is None:
        replacement = str(int(line[start:end]) + 1)
    return line[:start] + replacement + line[end:]


def run(cmd, cwd, timeout):
    try:
        return subprocess.run(cmd, cwd=cwd, capture_output=True, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--count", type=int, default=60)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--build", default="build-mutants")
    parser.add_argument("--out")
    args = parser.parse_args()

    root = Path(__file__).resolve().parent.parent
    build = root / args.build
    configure = ["cmake", "-S", ".", "-B", str(build), "-DCMAKE_BUILD_TYPE=Debug", "-DKELVRIN_TESTS=ON"]
    if run(configure, root, 600) is None or run(["cmake", "--build", str(build), "-j", "2", "--target",
                                                 "kelvrin_tests"], root, 1800).returncode != 0:
        sys.exit("the unchanged tree does not build")
    tests = build / "tests" / "kelvrin_tests"
    baseline = run([str(tests), "--gtest_brief=1"], build / "tests", 300)
    if baseline is None or baseline.returncode != 0:
        sys.exit("the tests fail on the unchanged tree")

    chosen = random.Random(args.seed).sample(sites(root), args.count)
    lines_out, caught, built = [], 0, 0
    for path, number, start, end, op in sorted(chosen, key=lambda s: (str(s[0]), s[1], s[2])):
        text = path.read_text(encoding="utf-8")
        lines = text.split("\n")
        original = lines[number]
        lines[number] = mutate(original, start, end, op)
        where = f"{path.relative_to(root)}:{number + 1}: {original.strip()}  =>  {lines[number].strip()}"
        path.write_text("\n".join(lines), encoding="utf-8")
        try:
            made = run(["cmake", "--build", str(build), "-j", "2", "--target", "kelvrin_tests"], root, 900)
            if made is None or made.returncode != 0:
                lines_out.append(f"not built  {where}")
                continue
            built += 1
            result = run([str(tests), "--gtest_brief=1"], build / "tests", 120)
            if result is None:
                caught += 1
                lines_out.append(f"caught (timeout)  {where}")
            elif result.returncode != 0:
                caught += 1
                failed = sorted(set(re.findall(r"\[  FAILED  \] (\S+)", result.stdout)))
                lines_out.append(f"caught ({' '.join(failed) or 'crash'})  {where}")
            else:
                lines_out.append(f"SURVIVED  {where}")
        finally:
            path.write_text(text, encoding="utf-8")
        print(lines_out[-1], flush=True)
    run(["cmake", "--build", str(build), "-j", "2", "--target", "kelvrin_tests"], root, 900)
    summary = f"score: {caught} of {built} built faults caught (seed {args.seed}, {args.count} planted)"
    print(summary)
    if args.out:
        Path(args.out).write_text("\n".join(lines_out + [summary]) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
