#!/usr/bin/env python3
"""Fails when a source file under src/ could hand text to a shell.

Looked for: system(), popen(), the exec family, posix_spawn, wordexp(), /bin/sh, and the QProcess
calls that take one command string (start, startDetached or startCommand without a separate
argument list). User and settings texts may reach another program only as single arguments.
"""
import pathlib
import re
import sys

PATTERNS = [
    re.compile(r"(?<![\w:.])(?:std::|::)?system\s*\("),
    re.compile(r"\bpopen\s*\("),
    re.compile(r"\bexec[lv]p?e?\s*\("),
    re.compile(r"\bposix_spawnp?\s*\("),
    re.compile(r"\bwordexp\b"),
    re.compile(r"/bin/(?:ba)?sh\b"),
    re.compile(r"\bstartCommand\b"),
    re.compile(r"\bstart(?:Detached)?\s*\([^,()]*\)\s*;"),
]


def offenders(root):
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            if any(p.search(line) for p in PATTERNS):
                yield f"{path}:{number}: {line.strip()}"


def main():
    root = pathlib.Path(sys.argv[1])
    found = list(offenders(root))
    if found:
        print("text could reach a shell:\n  " + "\n  ".join(found))
        sys.exit(1)
    print(f"no source under {root} hands text to a shell")


if __name__ == "__main__":
    main()
