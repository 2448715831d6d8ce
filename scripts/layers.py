#!/usr/bin/env python3
"""Holds the layers of src/ and checks the includes against them.

Each folder of src/ belongs to one layer; a file may include headers of its own folder and of
folders in lower layers only, so no include runs upwards and no two folders include each
other. Within and across folders, no header/source pair may reach itself again through the
includes of other pairs.

  scripts/layers.py            check src/ and that README.md's Layout section is the one below
  scripts/layers.py --readme   print the Layout section that README.md holds
"""
import os
import re
import sys

# Lowest first. Folders of one layer never include each other.
LAYERS = [
    ("core: base", [
        ("core/base", "file I/O and the save rules, integer text, XML files, paths, the message catalog"),
    ]),
    ("core: device facts", [
        ("core/device/facts", "what the device is: table size, identifier ranges, banks, bit rates, directions"),
    ]),
    ("core: state", [
        ("core/app", "the application state, the product's names, the settings file"),
    ]),
    ("core: subjects", [
        ("core/i18n", "language files, the software version check"),
        ("core/projects", "project names, the project store, the project lock"),
        ("core/config", "the two project documents, their checks, CSV and DBC import"),
        ("core/update", "the program runner, the Ethernet job file, ICMP echo"),
    ]),
    ("core: build", [
        ("core/image", "the build and the merge: parameter block, lookup tables, image, banks, C source, "
                       "S-record merge, flash tool"),
        ("core/start", "the start of the program: workspace, settings, language, last project"),
    ]),
    ("core: device", [
        ("core/device", "what the device does: the decoders of the files it runs, the prediction"),
    ]),
    ("core: traffic", [
        ("core/traffic", "trace readers, frame lengths, bus load, replay"),
    ]),
    ("above the core", [
        ("gui", "pictures drawn with Qt Gui alone, for the windows and the command line"),
        ("bus", "Qt SerialBus: the two bus ports, test plans, verify and emulate"),
    ]),
    ("shared widgets", [
        ("ui/widgets", "dialog base, prompt seam, styled button, pictures, panels, window style"),
    ]),
    ("windows", [
        ("ui/i18n", "software options window"),
        ("ui/projects", "new and open configuration windows"),
        ("ui/config", "communication settings and COB-ID filter windows"),
        ("ui/image", "generate-firmware window"),
        ("ui/update", "update window"),
    ]),
    ("main window", [
        ("ui/app", "main window, About window"),
    ]),
    ("front ends", [
        ("busui", "the verify-on-the-bus window"),
        ("cli", "praxedo-cli"),
    ]),
    ("entry", [
        (".", "the configurator's main.cpp and what tells a build with bus support from one without"),
    ]),
]

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SRC = os.path.join(ROOT, "src")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer_of():
    table = {}
    for index, (_, folders) in enumerate(LAYERS):
        for folder, _ in folders:
            table[folder] = index
    return table


def sources():
    for dirpath, _, names in os.walk(SRC):
        for name in sorted(names):
            if name.endswith((".h", ".cpp")):
                path = os.path.join(dirpath, name)
                yield os.path.relpath(path, SRC).replace(os.sep, "/")


def unit(path):
    return os.path.splitext(path)[0]


def folder(path):
    return os.path.dirname(path) or "."


def check():
    layers = layer_of()
    problems = []
    files = list(sources())
    known = set(files)
    graph = {}  # unit -> units it includes
    for path in files:
        if folder(path) not in layers:
            problems.append(f"src/{path}: folder {folder(path)} has no layer in scripts/layers.py")
            continue
        with open(os.path.join(SRC, path), encoding="utf-8") as f:
            text = f.read()
        for target in INCLUDE.findall(text):
            resolved = target if target in known else os.path.join(folder(path), target).lstrip("./")
            if resolved not in known:
                continue  # generated or system header
            here, there = folder(path), folder(resolved)
            if there not in layers:
                continue
            if here != there and layers[there] >= layers[here]:
                problems.append(f"src/{path}: includes {resolved}, which is not below it "
                                f"({here} is in layer '{LAYERS[layers[here]][0]}', "
                                f"{there} in '{LAYERS[layers[there]][0]}')")
            if unit(resolved) != unit(path):
                graph.setdefault(unit(path), set()).add(unit(resolved))
    problems += unit_cycles(graph)
    return problems


def unit_cycles(graph):
    problems = []
    state = {}
    stack = []

    def visit(node):
        state[node] = 1
        stack.append(node)
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == 1:
                cycle = stack[stack.index(nxt):] + [nxt]
                problems.append("include cycle: " + " -> ".join(cycle))
            elif nxt not in state:
                visit(nxt)
        stack.pop()
        state[node] = 2

    for node in sorted(graph):
        if node not in state:
            visit(node)
    return problems


def readme_section():
    lines = ["Folders of `src/`, lowest layer first. A folder includes only its own headers and those",
             "of lower layers (`scripts/layers.py` holds this list and checks it in CI):", ""]
    for name, folders in LAYERS:
        lines.append(f"- {name}:")
        for path, what in folders:
            shown = "src/" if path == "." else f"src/{path}/"
            lines.append(f"  - `{shown}` — {what}")
    return "\n".join(lines) + "\n"


BEGIN = "<!-- layers: begin (written by scripts/layers.py --readme) -->\n"
END = "<!-- layers: end -->\n"


def readme_problems():
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as f:
        text = f.read()
    if BEGIN not in text or END not in text:
        return ["README.md: no Layout section between the layers markers"]
    held = text.split(BEGIN, 1)[1].split(END, 1)[0]
    if held != readme_section():
        return ["README.md: the Layout section differs from scripts/layers.py --readme"]
    return []


def main():
    if sys.argv[1:] == ["--readme"]:
        sys.stdout.write(BEGIN + readme_section() + END)
        return 0
    problems = check() + readme_problems()
    for p in problems:
        print(p)
    if problems:
        print(f"layers: {len(problems)} problem(s)")
        return 1
    print("layers: every include of src/ runs downwards; no include cycles")
    return 0


if __name__ == "__main__":
    sys.exit(main())
