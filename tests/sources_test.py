#!/usr/bin/env python3
"""Every source is listed once, and compiled once a build.

Usage: sources_test.py SOURCE_DIR COMPILE_COMMANDS

Every C and C++ file under src/ and web/ but the program's entry is named
in exactly one list of cmake/sources.cmake, which the program, its tests,
its fuzzers and the page all take their sources from; and no file is
compiled twice in the build whose compile_commands.json is given.
"""
import collections
import json
import os
import re
import sys

ENTRY = "src/front/main.cpp"


def sources_on_disk(root):
    found = []
    for folder in ("src", "web"):
        for parent, _, names in os.walk(os.path.join(root, folder)):
            for name in names:
                if name.endswith((".c", ".cpp")):
                    path = os.path.relpath(os.path.join(parent, name), root)
                    found.append(path.replace(os.sep, "/"))
    return [path for path in found if path != ENTRY]


def main():
    root, commands = sys.argv[1], sys.argv[2]
    listing = open(os.path.join(root, "cmake/sources.cmake")).read()
    listing = re.sub(r"#.*", "", listing)
    listed = collections.Counter(
        re.findall(r"(?<![\w/.])((?:src|web)/[\w/]+\.(?:c|cpp))(?![\w.])", listing))
    problems = []
    for path in sorted(set(sources_on_disk(root)) | set(listed)):
        if listed[path] == 0:
            problems.append(f"{path} is in no list of cmake/sources.cmake")
        elif listed[path] > 1:
            problems.append(f"{path} is in {listed[path]} lists of cmake/sources.cmake")
        elif not os.path.exists(os.path.join(root, path)):
            problems.append(f"{path} is listed, but there is no such file")
    compiled = collections.Counter(
        os.path.realpath(os.path.join(command["directory"], command["file"]))
        for command in json.load(open(commands)))
    for path, times in sorted(compiled.items()):
        if times > 1:
            problems.append(f"{os.path.relpath(path, root)} is compiled {times} times")
    for problem in problems:
        print(problem)
    print(f"sources: {len(listed)} listed, {len(compiled)} compiled, "
          f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
