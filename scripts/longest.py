#!/usr/bin/env python3
"""Lists the longest functions and files of the C++ sources below the given folders.

    scripts/longest.py [--top N] [FOLDER...]      (default: src, top 10)

A function's length counts the lines from its signature's last line to its
closing brace, lambdas inside it included. The scan reads braces, not a full
parse: comments, strings and character literals are blanked first, and a brace
opens a function when it follows a closing parenthesis (with qualifiers or a
constructor's initialiser list between) outside any other function.
"""
import argparse
import os
import re
import sys

QUALIFIERS = re.compile(r"(\s*(const|noexcept|override|final|mutable|volatile|&|&&|->\s*[\w:<>,\s*&]+))*\s*$")


def blank_comments_and_literals(text):
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif text.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', text[i:])
            if not m:
                out.append(c)
                i += 1
                continue
            end = text.find(")" + m.group(1) + '"', i)
            j = n if end < 0 else end + len(m.group(1)) + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(" " * (j - i))
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def opens_function(before):
    """True when the text before a brace ends like a function's signature."""
    head = before.rstrip()
    if re.search(r"\b(if|for|while|switch|catch)\s*\(.*\)$", head.splitlines()[-1] if head else ""):
        return False
    stripped = QUALIFIERS.sub("", head)
    if stripped.endswith(")"):
        return True
    # Constructor initialiser list ending in a braced member initialiser.
    return bool(re.search(r"\)\s*:\s*[\w:]+\s*[({][^;]*[)}]$", head, re.S))


def functions_of(path):
    text = blank_comments_and_literals(open(path, encoding="utf-8", errors="replace").read())
    found = []
    depth_in_function = 0
    start_line = 0
    last_stop = 0
    for i, c in enumerate(text):
        if c == "{":
            if depth_in_function:
                depth_in_function += 1
            elif opens_function(text[last_stop:i]):
                depth_in_function = 1
                start_line = text.count("\n", 0, i) + 1
                # Start at the signature: back to the line holding the name.
                signature_open = text.rfind("(", last_stop, i)
                if signature_open >= 0:
                    start_line = text.count("\n", 0, signature_open) + 1
            last_stop = i + 1
        elif c == "}":
            if depth_in_function:
                depth_in_function -= 1
                if depth_in_function == 0:
                    end_line = text.count("\n", 0, i) + 1
                    found.append((end_line - start_line + 1, path, start_line))
            last_stop = i + 1
        elif c == ";" and not depth_in_function:
            last_stop = i + 1
    return found


def sources(folders):
    for folder in folders:
        for root, _, names in os.walk(folder):
            for name in names:
                if name.endswith((".cpp", ".h", ".hpp")):
                    yield os.path.join(root, name)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--top", type=int, default=10)
    parser.add_argument("folders", nargs="*", default=["src"])
    args = parser.parse_args()
    files = sorted(sources(args.folders))
    functions = sorted((f for path in files for f in functions_of(path)), key=lambda f: (-f[0], f[1], f[2]))
    lengths = sorted(((sum(1 for _ in open(p, encoding="utf-8", errors="replace")), p) for p in files), key=lambda f: (-f[0], f[1]))
    print(f"Longest functions ({len(functions)} read):")
    for length, path, line in functions[: args.top]:
        print(f"  {length:5d}  {path}:{line}")
    print(f"Longest files ({len(files)} read):")
    for length, path in lengths[: args.top]:
        print(f"  {length:5d}  {path}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
