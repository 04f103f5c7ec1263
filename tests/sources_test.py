#!/usr/bin/env python3
"""Every source is listed once, and compiled once a build, and includes point down.

Usage: sources_test.py SOURCE_DIR COMPILE_COMMANDS

Every C and C++ file under src/ and web/ but the program's entry is named
in exactly one list of cmake/sources.cmake, which the program, its tests,
its fuzzers and the page all take their sources from; and no file is
compiled twice in the build whose compile_commands.json is given. Each
folder of src/ includes only the folders under it, and the page none of
the program's front end; in the front end, the run, the commands and the
drop are included only by what calls them, and the steps they share
include none of them.
"""
import collections
import json
import os
import re
import sys

ENTRY = "src/front/main.cpp"

# The folders each folder of src/ (and the page) may include, its own among
# them.
LAYERS = {
    "base": {"base"},
    "fonts": {"base", "fonts"},
    "platform": {"base", "platform"},
    "check": {"base", "fonts", "check"},
    "game": {"base", "fonts", "game"},
    "messages": {"base", "platform", "messages"},
    "attached": {"base", "fonts", "game", "platform", "messages", "attached"},
    "patcher": {"base", "fonts", "game", "platform", "messages", "patcher"},
    "source": {"base", "fonts", "game", "platform", "attached", "source"},
    "front": {"base", "fonts", "check", "game", "platform", "messages",
              "attached", "patcher", "source", "front"},
    "web": {"base", "fonts", "check", "game", "platform", "messages",
            "attached", "patcher", "source"},
}

# The top of the front end, and the only files that include each: a step
# every run takes never calls back up into a run.
FRONT_TOP = {
    "front/run.h": {"src/front/main.cpp", "src/front/run.cpp"},
    "front/commands.h": {"src/front/run.cpp", "src/front/commands.cpp"},
    "front/drop.h": {"src/front/run.cpp", "src/front/drop.cpp",
                     "src/front/drop_run.cpp"},
}


def sources_on_disk(root):
    found = []
    for folder in ("src", "web"):
        for parent, _, names in os.walk(os.path.join(root, folder)):
            for name in names:
                if name.endswith((".c", ".cpp")):
                    path = os.path.relpath(os.path.join(parent, name), root)
                    found.append(path.replace(os.sep, "/"))
    return [path for path in found if path != ENTRY]


def include_problems(root):
    problems = []
    for folder in ("src", "web"):
        for parent, _, names in os.walk(os.path.join(root, folder)):
            for name in names:
                if not name.endswith((".h", ".cpp", ".inc")):
                    continue
                path = os.path.relpath(os.path.join(parent, name), root)
                path = path.replace(os.sep, "/")
                layer = path.split("/")[1] if folder == "src" else "web"
                text = open(os.path.join(root, path), encoding="utf-8").read()
                for included in re.findall(r'^#include "([\w/.]+)"', text, re.M):
                    if "/" not in included:
                        continue
                    under = included.split("/")[0]
                    if under not in LAYERS:
                        continue
                    if under not in LAYERS[layer]:
                        problems.append(f"{path} includes {included}, above it")
                    elif included in FRONT_TOP and path not in FRONT_TOP[included]:
                        problems.append(f"{path} includes {included}, which calls it")
    return problems


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
    problems += include_problems(root)
    for problem in problems:
        print(problem)
    print(f"sources: {len(listed)} listed, {len(compiled)} compiled, "
          f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
