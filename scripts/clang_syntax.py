#!/usr/bin/env python3
"""Compiles every C and C++ source of src/ with clang for the plug-in's
target (-fsyntax-only), with the build's own defines, include views and
warnings as errors, so that the code stays buildable by a second compiler.
Reads compile_commands.json of the build folder given; prints clang's
findings and exits 1 when there is one.
"""
import concurrent.futures
import glob
import json
import os
import shlex
import subprocess
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build")
    entries = json.load(open(os.path.join(build, "compile_commands.json")))
    gcc = sorted(glob.glob("/usr/lib/gcc/i686-w64-mingw32/*-posix"))
    if not gcc:
        print("clang_syntax: the mingw compiler's headers are missing (scripts/setup.sh)")
        return 1
    cxx_headers = [f"{gcc[-1]}/include/c++", f"{gcc[-1]}/include/c++/i686-w64-mingw32",
                   f"{gcc[-1]}/include/c++/backward"]
    src = os.path.join(ROOT, "src") + os.sep
    jobs = {}
    for entry in entries:
        path = entry["file"]
        # The plug-in's copy of each file (the tests' copy has the same flags).
        if not path.startswith(src) or not path.endswith((".c", ".cpp")) or path in jobs:
            continue
        words = entry.get("arguments") or shlex.split(entry["command"])
        keep = [w for w in words[1:] if w.startswith(("-D", "-I", "-std=", "-W"))]
        cpp = path.endswith(".cpp")
        command = ["clang++" if cpp else "clang", "--target=i686-w64-mingw32", "-fsyntax-only",
                   "-Werror"] + keep
        if cpp:
            command += ["-nostdinc++"] + [f"-isystem{d}" for d in cxx_headers]
        jobs[path] = (command + [path], entry["directory"])

    def run(item):
        path, (command, directory) = item
        done = subprocess.run(command, cwd=directory, capture_output=True, text=True)
        return path, done.returncode, done.stdout + done.stderr

    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        for path, code, output in pool.map(run, sorted(jobs.items())):
            if code != 0 or output.strip():
                failed += 1
                print(output.rstrip())
    print(f"clang_syntax: {len(jobs)} sources, {failed} with findings")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
