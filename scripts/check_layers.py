#!/usr/bin/env python3
"""Checks the include graph of src/ against the layers of src/CMakeLists.txt.

Every krx_layer(NAME FOLDERS ... LAYERS ...) call there names a library, the
folders it holds and the libraries below it. A file may include headers of
its own library and of the libraries below it (transitively); no include may
climb with "../"; neither the folders of src/ nor its top-level folders
form an include cycle (this also orders the folders inside one library);
status/ uses no Windows header.
Prints every finding and exits 1 when there is one.
"""
import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
SRC = os.path.join(ROOT, "src")
PURE_FOLDERS = ("status",)
INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^>"]+)[>"]')


def read_layers():
    text = open(os.path.join(SRC, "CMakeLists.txt"), encoding="utf-8").read()
    text = re.sub(r"#[^\n]*", "", text)
    # Only the calls, not the function's own definition.
    text = text[text.index("endfunction()") :]
    layers = {}
    for call in re.findall(r"\bkrx_layer\(([^)]*)\)", text):
        words = call.split()
        name, section, entry = words[0], None, {"FOLDERS": [], "LAYERS": []}
        for word in words[1:]:
            if word in ("FOLDERS", "LAYERS", "SYSTEM"):
                section = word
            elif section in entry:
                entry[section].append(word)
        layers[name] = entry
    return layers


def below(layers, name, seen=None):
    seen = set() if seen is None else seen
    for lower in layers[name]["LAYERS"]:
        if lower not in seen:
            seen.add(lower)
            below(layers, lower, seen)
    return seen


def library_of(layers, path):
    """The library whose folder holds path (the longest folder wins)."""
    best, length = None, -1
    for name, entry in layers.items():
        for folder in entry["FOLDERS"]:
            if (path == folder or path.startswith(folder + "/")) and len(folder) > length:
                best, length = name, len(folder)
    return best


def cycles(edges, label):
    """Every cycle that a depth-first search of the graph meets."""
    found, state = [], {}

    def visit(node, stack):
        state[node] = "open"
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == "open":
                cycle = stack[stack.index(nxt) :] + [nxt]
                found.append(f"{label}: " + " -> ".join(cycle))
            elif nxt not in state:
                visit(nxt, stack + [nxt])
        state[node] = "done"

    for node in sorted(edges):
        if node not in state:
            visit(node, [node])
    return found


def main():
    layers = read_layers()
    findings = []
    edges = {}
    # The same graph between the top-level folders: each is a layer.
    top_edges = {}
    for dirpath, _, files in os.walk(SRC):
        for file in sorted(files):
            if not re.search(r"\.(h|c|cpp|rc)$", file):
                continue
            path = os.path.join(dirpath, file)
            rel = os.path.relpath(path, SRC).replace(os.sep, "/")
            folder = os.path.dirname(rel)
            library = library_of(layers, rel)
            allowed = below(layers, library) | {library} if library else set()
            for number, line in enumerate(open(path, encoding="utf-8", errors="replace"), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                kind, header = match.groups()
                where = f"src/{rel}:{number}"
                if "../" in header:
                    findings.append(f'{where}: "{header}" climbs with ../')
                    continue
                if kind == "<" and folder.split("/")[0] in PURE_FOLDERS:
                    if header.lower() in ("windows.h", "winspool.h", "rpc.h", "mmsystem.h"):
                        findings.append(f"{where}: <{header}> in a folder free of Windows")
                if kind != '"' or "/" not in header:
                    continue
                target = library_of(layers, header)
                if target is None:
                    continue  # generated or interface headers outside the layers
                if library and target not in allowed:
                    findings.append(f'{where}: "{header}" is in {target}, above {library}')
                header_folder = os.path.dirname(header)
                if header_folder != folder:
                    edges.setdefault(folder, set()).add(header_folder)
                top, header_top = folder.split("/")[0], header_folder.split("/")[0]
                if header_top != top:
                    top_edges.setdefault(top, set()).add(header_top)

    findings += cycles(edges, "include cycle")
    findings += cycles(top_edges, "include cycle between top-level folders")

    for finding in findings:
        print(finding)
    if findings:
        print(f"check_layers: {len(findings)} findings")
        return 1
    print("check_layers: clean")
    return 0


if __name__ == "__main__":
    sys.exit(main())
