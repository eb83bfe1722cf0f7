#!/usr/bin/env python3
"""Keeps every class of src/ small enough to read: at most 30 data members
and 50 member functions each.

Counts what a class declares in its own body, in its headers and sources:
every member function (constructors, destructor, operators, overrides,
inline accessors, deleted and defaulted ones included) and every non-static
data member. Nested classes are counted on their own. Prints the largest
classes with --list; prints every class over a limit and exits 1 when there
is one.
"""
import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
SRC = os.path.join(ROOT, "src")
MAX_DATA = 30
MAX_FUNCTIONS = 50

SKIPPED = ("using ", "typedef ", "friend ", "static_assert", "enum ", "template ")
ACCESS = re.compile(r"\b(public|protected|private)\s*:(?!:)")
CLASS_HEAD = re.compile(r"\b(class|struct)\s+(\w+)\s*(final\s*)?(:[^;{]*)?\{$")


def strip(text):
    """Comments, strings, character literals and preprocessor lines out."""
    text = re.sub(r"//[^\n]*|/\*.*?\*/", " ", text, flags=re.S)
    text = re.sub(r'"(\\.|[^"\\])*"', '""', text)
    text = re.sub(r"'(\\.|[^'\\])*'", "''", text)
    return "\n".join(l for l in text.split("\n") if not l.lstrip().startswith("#"))


def matching(text, start):
    """Index after the brace that closes the one at start."""
    depth = 0
    for i in range(start, len(text)):
        if text[i] == "{":
            depth += 1
        elif text[i] == "}":
            depth -= 1
            if depth == 0:
                return i + 1
    return len(text)


def classify(statement):
    statement = " ".join(ACCESS.sub(" ", statement).split())
    if not statement or statement.startswith(SKIPPED):
        return None
    head = re.split(r"=|\{", statement, maxsplit=1)[0]
    paren = head.find("(")
    # A parenthesis inside template arguments (std::function<void(int)>) is
    # part of a type, not a parameter list.
    if paren >= 0 and head[:paren].count("<") == head[:paren].count(">"):
        return "function"
    if statement.startswith(("static ", "constexpr ", "inline static")):
        return None
    return "data"


def count_body(body, name, found):
    """Walks one class body at its own depth."""
    data = functions = 0
    statement = ""
    i = 0
    while i < len(body):
        c = body[i]
        if c == "{":
            end = matching(body, i)
            head = " ".join(ACCESS.sub(" ", statement).split())
            nested = CLASS_HEAD.search(head + "{")
            if nested:
                count_body(body[i + 1 : end - 1], name + "::" + nested.group(2), found)
                statement = ""
            elif "(" in re.split(r"=", head, maxsplit=1)[0]:
                functions += 1  # a function defined in the class
                statement = ""
            else:
                statement += body[i:end]  # a braced initialiser or enum body
            i = end
            continue
        if c == ";":
            kind = classify(statement)
            if kind == "data":
                data += 1
            elif kind == "function":
                functions += 1
            statement = ""
        else:
            statement += c
        i += 1
    previous = found.get(name, (0, 0))
    found[name] = (previous[0] + data, previous[1] + functions)


def scan(path, found):
    text = strip(open(path, encoding="utf-8", errors="replace").read())
    for match in re.finditer(r"\b(class|struct)\s+(\w+)\s*(final\s*)?(:[^;{()]*)?\{", text):
        # Only classes at namespace level; nested ones are counted inside.
        before = text[: match.start()]
        if before.count("{") - before.count("}") - len(re.findall(r"\bnamespace\b[^{;]*\{", before)) > 0:
            continue
        start = match.end() - 1
        count_body(text[start + 1 : matching(text, start) - 1], match.group(2), found)


def main():
    found = {}
    for folder, _, files in os.walk(SRC):
        for name in sorted(files):
            if name.endswith((".h", ".hpp", ".cpp")):
                scan(os.path.join(folder, name), found)
    largest = sorted(found.items(), key=lambda item: (-item[1][1], -item[1][0]))
    if "--list" in sys.argv:
        for name, (data, functions) in largest[:15]:
            print(f"{name:40} {data:3} data members {functions:3} member functions")
    over = [(n, d, f) for n, (d, f) in largest if d > MAX_DATA or f > MAX_FUNCTIONS]
    for name, data, functions in over:
        print(f"check_class_sizes: {name} has {data} data members and {functions} member "
              f"functions (at most {MAX_DATA} and {MAX_FUNCTIONS})")
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
