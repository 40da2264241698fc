#!/usr/bin/env python3
"""Plants small faults in src/ one at a time and counts how many the fast
tests catch.

    python3 scripts/mutation_sample.py --count 100 --seed 1 --out FILE [--build DIR]

The fast tests are everything CTest runs in a test build except the tmux
terminal tests and the wine tests (the package test and the fuzz targets
are not CTest's): a fault counts as caught when any of them fails.

Run it in a checkout of its own: each fault is written into the source,
built, tested and put back. The sample depends only on --seed and on src/
(its .cpp and .h files, the Windows folder left out), so the same seed on
the same src/ plants the same faults, and a suite before and after a change
of the tests can be compared fault by fault. A fault is one of: an operator
flipped, a number raised by one, one character of a string literal changed.
A fault that does not build is left out of the score.

Each fault's line (caught, with the tests that caught it, SURVIVED, or not
built) goes to --out as soon as it is known; run again with the same --out,
the faults already there are skipped, so a run can be stopped and resumed.
A fault whose only failures are time-outs has those tests run again alone,
one at a time with a longer limit, and counts as caught only when one of
them fails again (a loaded machine is no catch). The score line closes the file when every fault is done.
"""
import argparse
import json
import random
import re
import shutil
import subprocess
import sys
from pathlib import Path

# (pattern, replacement) of one small change each, matched in code outside
# literals and comments; the last, STRING, is one character of a string
# literal.
OPERATORS = [
    (r"==", "!="), (r"!=", "=="),
    (r"(?<![<>=!&|+\-*/%^])<=", "<"), (r"(?<![<>=!&|+\-*/%^])>=", ">"),
    (r"(?<=\s)<(?=\s)", "<="), (r"(?<=\s)>(?=\s)", ">="),
    (r"(?<=\s)\+(?=\s)", "-"), (r"(?<=\s)-(?=\s)", "+"),
    (r"&&", "||"), (r"\|\|", "&&"),
    (r"\btrue\b", "false"), (r"\bfalse\b", "true"),
    (r"(?<![\w.])([1-9][0-9]*)(?![\w.])", None),  # a number one higher
]
STRING = len(OPERATORS)
# Tests left out: they need a real terminal or wine, and take minutes.
SLOW_TESTS = r"^(terminal|windows)\."


def scan(line):
    """The code spans of a line (outside literals and a trailing comment)
    and, for each string literal, the positions of its plain characters
    (escape sequences left out)."""
    code, strings, start, i, quote, chars = [], [], 0, 0, None, []
    while i < len(line):
        ch = line[i]
        if quote:
            if ch == "\\":
                i += 2
                continue
            if ch == quote:
                if quote == '"' and chars:
                    strings.append(chars)
                quote, start, chars = None, i + 1, []
            elif quote == '"':
                chars.append(i)
        elif ch in "\"'":
            code.append((start, i))
            quote = ch
        elif line.startswith("//", i):
            break
        i += 1
    if not quote:
        code.append((start, i))
    return code, strings


def sites(root):
    found = []
    files = sorted(list(root.glob("src/**/*.cpp")) + list(root.glob("src/**/*.h")))
    for path in files:
        if "platform/windows" in path.as_posix():
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines()):
            stripped = line.strip()
            if not stripped or stripped.startswith(("#", "//", "*", "/*", "static_assert", "extern \"C\"")):
                continue
            code, strings = scan(line)
            for begin, end in code:
                for op, (pattern, _) in enumerate(OPERATORS):
                    for match in re.finditer(pattern, line[begin:end]):
                        found.append((path, number, begin + match.start(), begin + match.end(), op))
            for chars in strings:
                middle = chars[len(chars) // 2]
                found.append((path, number, middle, middle + 1, STRING))
    return found


def mutate(line, start, end, op):
    if op == STRING:
        replacement = "y" if line[start] == "x" else "x"
    else:
        replacement = OPERATORS[op][1]
        if replacement is None:
            replacement = str(int(line[start:end]) + 1)
    return line[:start] + replacement + line[end:]


def run(cmd, cwd, timeout):
    try:
        return subprocess.run(cmd, cwd=cwd, capture_output=True, text=True, errors="replace", timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


def failures(result):
    """{test name: reason} from CTest's closing list; a disabled test is
    listed there too but has not failed."""
    found = re.findall(r"^\s*\d+ - (\S+) \(([^)]*)\)\s*$", result.stdout, re.MULTILINE)
    return {name: reason for name, reason in found if reason != "Disabled"}


class Tree:
    def __init__(self, root, build, jobs, timeout, confirm):
        self.root, self.build, self.jobs, self.timeout, self.confirm = root, build, jobs, timeout, confirm
        # A fault still planted when a run was stopped is put back first.
        self.planted = build / "planted.json"

    def restore_interrupted(self):
        if self.planted.exists():
            saved = json.loads(self.planted.read_text(encoding="utf-8"))
            Path(saved["path"]).write_text(saved["text"], encoding="utf-8")
            self.planted.unlink()

    def make(self):
        made = run(["cmake", "--build", str(self.build), "-j", str(self.jobs)], self.root, 1800)
        return made is not None and made.returncode == 0

    def ctest(self, *args, jobs=None, timeout=None):
        cmd = ["ctest", "-j", str(jobs or self.jobs), "--timeout", str(timeout or self.timeout), *args]
        return run(cmd, self.build, 7200)

    def test(self):
        """None when every fast test passes, else the failed tests."""
        result = self.ctest("-E", SLOW_TESTS)
        if result is None:
            return ["(the whole run timed out)"]
        if result.returncode == 0:
            return None
        failed = failures(result)
        if failed and all(reason == "Timeout" for reason in failed.values()):
            # Again, one test at a time with a longer limit; one that times
            # out or fails again is enough (a fault that hangs the dungeon
            # hangs dozens of tests, each worth minutes).
            for name in sorted(failed):
                again = self.ctest("-R", f"^{re.escape(name)}$", jobs=1, timeout=self.confirm)
                if again is None or again.returncode != 0:
                    return [f"{name} (timeout, {len(failed)} timed out)"]
            return None
        return sorted(failed) or ["(no test ran)"]

    def plant(self, path, number, start, end, op):
        text = path.read_text(encoding="utf-8")
        lines = text.split("\n")
        original = lines[number]
        lines[number] = mutate(original, start, end, op)
        where = f"{path.relative_to(self.root)}:{number + 1}: {original.strip()}  =>  {lines[number].strip()}"
        return text, "\n".join(lines), where

    def try_fault(self, site):
        path = site[0]
        text, changed, where = self.plant(*site)
        self.planted.write_text(json.dumps({"path": str(path), "text": text}), encoding="utf-8")
        path.write_text(changed, encoding="utf-8")
        try:
            if not self.make():
                return f"not built  {where}"
            failed = self.test()
            return f"SURVIVED  {where}" if failed is None else f"caught ({' '.join(failed)})  {where}"
        finally:
            path.write_text(text, encoding="utf-8")
            self.planted.unlink()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--count", type=int, default=100)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--build", default="build-mutants")
    parser.add_argument("--jobs", type=int, default=2)
    # The slowest fast test takes about 6 seconds on an idle machine.
    parser.add_argument("--timeout", type=int, default=30, help="seconds for one test")
    parser.add_argument("--confirm", type=int, default=120, help="seconds for one test run again alone")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    root = Path(__file__).resolve().parent.parent
    build = (root / args.build).resolve()
    out = Path(args.out)
    tree = Tree(root, build, args.jobs, args.timeout, args.confirm)
    build.mkdir(parents=True, exist_ok=True)
    tree.restore_interrupted()

    launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    # Debug without debug information: the quickest to build and link.
    configure = ["cmake", "-S", ".", "-B", str(build), "-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_FLAGS_DEBUG=-O0",
                 "-DKELVRIN_TESTS=ON", *launcher]
    if run(configure, root, 600) is None or not tree.make():
        sys.exit("the unchanged tree does not build")
    if tree.test() is not None:
        sys.exit("the tests fail on the unchanged tree")

    chosen = sorted(random.Random(args.seed).sample(sites(root), args.count),
                    key=lambda s: (str(s[0]), s[1], s[2], s[4]))
    done = []
    if out.exists():
        done = [line for line in out.read_text(encoding="utf-8").splitlines() if not line.startswith("score:")]
        out.write_text("".join(line + "\n" for line in done), encoding="utf-8")
    known = {line.split("  ", 1)[1] for line in done if "  " in line}
    for site in chosen:
        if tree.plant(*site)[2] in known:
            continue
        line = tree.try_fault(site)
        done.append(line)
        with out.open("a", encoding="utf-8") as file:
            file.write(line + "\n")
        print(line, flush=True)
    tree.make()
    built = [line for line in done if not line.startswith("not built")]
    caught = [line for line in built if line.startswith("caught")]
    summary = f"score: {len(caught)} of {len(built)} built faults caught (seed {args.seed}, {args.count} planted)"
    with out.open("a", encoding="utf-8") as file:
        file.write(summary + "\n")
    print(summary)


if __name__ == "__main__":
    main()
