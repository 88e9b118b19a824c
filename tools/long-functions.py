#!/usr/bin/env python3
"""Lists the functions of the program and spktool that run over a number of lines.

A function is taken to be a brace block at namespace level whose head holds a ')':
enough for the project's own style, where every function's body opens at the end of
its head or on the next line. Tables of data (an initialiser ending in '};') are not
functions and are passed over.
"""
import os
import re
import sys

LIMIT = int(sys.argv[1]) if len(sys.argv) > 1 else 60
ROOTS = sys.argv[2:] or ["kalvora98", "spktool"]


def strip(line):
    line = re.sub(r'"(\\.|[^"\\])*"', '""', line)
    line = re.sub(r"'(\\.|[^'\\])*'", "''", line)
    return line.split("//")[0]


def functions(path):
    depth, head, start, name, namespaces = 0, [], None, None, 0
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = f.readlines()
    for number, raw in enumerate(lines, 1):
        code = strip(raw)
        if depth == 0 and re.match(r"\s*(extern\s+\"\"\s*|namespace\b[^{]*)\{", code):
            namespaces += 1
            continue
        for ch in code:
            if ch == "}" and depth == 0 and namespaces:
                namespaces -= 1
                continue
            if ch == "{":
                if depth == 0 or (depth == 1 and start is None and name is None):
                    text = " ".join(head)
                    if ")" in text and "=" not in text.split("(")[0]:
                        found = re.findall(r"([~\w:]+)\s*\(", text)
                        name, start = (found[0] if found else "?"), number
                depth += 1
            elif ch == "}":
                depth -= 1
                if start is not None and depth == 0:
                    yield name, start, number
                    start, name = None, None
        if depth == 0 and start is None:
            head = head[-3:] + [code] if code.strip() else head
            if code.strip().endswith((";", "}")):
                head = []


for root in ROOTS:
    for folder, _, files in sorted(os.walk(root)):
        for file in sorted(files):
            if file.endswith((".cpp", ".h")):
                path = os.path.join(folder, file)
                for name, start, end in functions(path):
                    if end - start + 1 > LIMIT:
                        print(f"{end - start + 1:4d} {path}:{start} {name}")
