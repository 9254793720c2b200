#!/usr/bin/env python3
"""Counts non-blank, non-comment C++ lines: tests/ against everything else,
in all and by folder. Usage: python3 scripts/test-lines.py [ROOT]"""
import collections
import os
import sys


def count(path):
    n, in_block = 0, False
    with open(path, errors="replace") as f:
        for line in f:
            s = line.strip()
            if in_block:
                in_block = "*/" not in s
                continue
            if not s or s.startswith("//"):
                continue
            if s.startswith("/*"):
                in_block = "*/" not in s
                continue
            n += 1
    return n


root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
code, tests = collections.Counter(), collections.Counter()
for d, dirs, files in os.walk(root):
    dirs[:] = [x for x in dirs if not x.startswith("build") and x != ".git"]
    for f in files:
        if not f.endswith((".cpp", ".h", ".hpp", ".cc")):
            continue
        parts = os.path.relpath(os.path.join(d, f), root).split(os.sep)
        if parts[0] == "tests":
            tests[parts[1] if len(parts) > 2 else "tests"] += count(os.path.join(d, f))
        else:
            code[parts[0]] += count(os.path.join(d, f))
t, c = sum(tests.values()), sum(code.values())
print(f"tests {t}  code {c}  tests/code {t / c:.1%}")
for k in sorted(set(code) | set(tests)):
    ratio = f"  {tests[k] / code[k]:.0%}" if code[k] else ""
    print(f"  {k:12} code {code[k]:6} tests {tests[k]:6}{ratio}")
