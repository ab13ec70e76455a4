#!/usr/bin/env python3
"""Writes the fixed list of single-token mutants that mutation-score.sh runs.

Each mutant names a file, a snippet found exactly once in it and the snippet's
replacement, so that the list survives code moving inside a file. The list is
drawn with a fixed seed; with --compile, a mutant that does not build is
dropped (the object is compiled in the build folder given).

    scripts/mutation-generate.py [--seed N] [--count N] [--compile BUILD]
"""
import argparse
import pathlib
import random
import re
import subprocess
import sys

FOLDERS = ["engine", "definitions", "pathdata", "view"]
KINDS = ["comparison", "constant", "negation", "removal"]
FLIPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}


def mask_line(line, in_block):
    """The line with comments and literal texts blanked, so that tokens are
    looked for in code only; also whether a block comment is still open."""
    out, i, n = [], 0, len(line)
    while i < n:
        if in_block:
            end = line.find("*/", i)
            if end < 0:
                return "".join(out) + " " * (n - i), True
            out.append(" " * (end + 2 - i))
            i, in_block = end + 2, False
        elif line.startswith("//", i):
            out.append(" " * (n - i))
            break
        elif line.startswith("/*", i):
            in_block = True
        elif line[i] in "\"'":
            quote, j = line[i], i + 1
            while j < n and line[j] != quote:
                j += 2 if line[j] == "\\" else 1
            out.append(" " * (min(j, n - 1) + 1 - i))
            i = j + 1
        else:
            out.append(line[i])
            i += 1
    return "".join(out), in_block


def balanced_condition(code, start):
    """End index (after the closing parenthesis) of the parenthesised
    condition opening at code[start], or -1 when it does not close on the
    line."""
    depth = 0
    for j in range(start, len(code)):
        depth += {"(": 1, ")": -1}.get(code[j], 0)
        if depth == 0:
            return j + 1
    return -1


STATEMENT = re.compile(r"^\s*([A-Za-z_][\w.\->\[\]]*\s*(=|\+=|-=|\|=|&=|\+\+|--|\()[^;{}]*;|[A-Za-z_]\w*(\+\+|--);)\s*$")
DECLARATION = re.compile(r"^\s*(const |static |auto |unsigned |int |float |double |char |bool |std::|Nc|return\b)")


def candidates(lines):
    """Every mutation site of one file as (kind, line index, start, end,
    replacement) over the line's own text."""
    found, in_block = [], False
    for k, line in enumerate(lines):
        code, in_block = mask_line(line, in_block)
        stripped = code.strip()
        if not stripped or stripped.startswith("#") or "static_assert" in code:
            continue
        for m in re.finditer(r" (<=|>=|==|!=|<|>) ", code):
            found.append(("comparison", k, m.start(1), m.end(1), FLIPS[m.group(1)]))
        for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", code):
            delta = random.choice([-1, 1])
            value = int(m.group(1)) + delta
            if value >= 0:
                found.append(("constant", k, m.start(1), m.end(1), str(value)))
        for m in re.finditer(r"\b(if|while) \(", code):
            end = balanced_condition(code, m.end() - 1)
            if end > 0:
                cond = line[m.end() - 1 : end]
                found.append(("negation", k, m.end() - 1, end, "(!" + cond + ")"))
        if STATEMENT.match(code) and not DECLARATION.match(code) and code.rstrip().endswith(";"):
            start = len(line) - len(line.lstrip())
            found.append(("removal", k, start, len(line.rstrip()), ";"))
    return found


def unique_snippet(text, lines, k, start, end):
    """The shortest stretch of line k around [start, end) that occurs once in
    the file, as (snippet, offset of the site in it), or None."""
    line = lines[k]
    left, right = start, end
    while True:
        snippet = line[left:right]
        if text.count(snippet) == 1:
            return snippet, start - left
        if left == 0 and right == len(line):
            return None
        left, right = max(0, left - 2), min(len(line), right + 2)


def compiles(build, rel, text, mutated):
    """Whether the file's object still builds with the mutant applied; the
    file is put back whatever happens."""
    path = pathlib.Path(rel)
    target = f"{path.parent}/CMakeFiles/tlv_{path.parent}.dir/{path.name}.o"
    path.write_text(mutated)
    try:
        run = subprocess.run(["ninja", "-C", build, target], capture_output=True)
        return run.returncode == 0
    finally:
        path.write_text(text)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seed", type=int, default=21)
    parser.add_argument("--count", type=int, default=80)
    parser.add_argument("--compile", metavar="BUILD")
    args = parser.parse_args()
    random.seed(args.seed)

    # Sites by folder and kind, drawn in turn, so that every folder and
    # every kind of mutation has its share whatever the folders' sizes.
    sites = {(f, kind): [] for f in FOLDERS for kind in KINDS}
    for folder in FOLDERS:
        for path in sorted(pathlib.Path(folder).glob("*.cpp")):
            text = path.read_text(encoding="utf-8")
            lines = text.split("\n")
            for kind, k, start, end, repl in candidates(lines):
                sites[(folder, kind)].append((str(path), text, lines, k, start, end, repl))
    for key in sites:
        random.shuffle(sites[key])

    chosen, seen, number = [], set(), 0
    while len(chosen) < args.count and any(sites.values()):
        key = (FOLDERS[number % 4], KINDS[number // 4 % 4])
        number += 1
        if not sites[key]:
            continue
        kind = key[1]
        rel, text, lines, k, start, end, repl = sites[key].pop()
        found = unique_snippet(text, lines, k, start, end)
        if not found or (rel, found[0]) in seen:
            continue
        snippet, offset = found
        replacement = snippet[:offset] + repl + snippet[offset + end - start :]
        if args.compile and not compiles(args.compile, rel, text, text.replace(snippet, replacement)):
            print(f"does not build: {rel}: {snippet!r}", file=sys.stderr)
            continue
        seen.add((rel, snippet))
        chosen.append(f"{kind}\t{rel}\t{snippet}\t{replacement}")

    print(f"# Mutants drawn by scripts/mutation-generate.py --seed {args.seed} --count {args.count}")
    print("# kind<TAB>file<TAB>snippet found once in the file<TAB>replacement")
    for m in chosen:
        print(m)


if __name__ == "__main__":
    main()
