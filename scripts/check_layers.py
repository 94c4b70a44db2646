#!/usr/bin/env python3
"""Checks that includes point one way: down the layers of src/, and that only the platform
layer includes the operating system's headers.

Usage: check_layers.py [ROOT]   (ROOT defaults to the repository holding this script)
Prints one line per broken arrow and exits 1 when there is any, 0 otherwise.
"""
import pathlib
import re
import sys

# Bottom first. A file may include files of its own folder and of any folder below it; the
# folders on one rank do not include each other.
LAYERS = [
    ["platform"],              # the operating system and the devices
    ["content"],               # facts the tools share: asset paths, scene starts
    ["physics", "postprocess"],
    ["core"],                  # the show's services: sound, spectrum, time, overlay, input
    ["scenes"],                # the show context, the world and the twenty scenes
    ["host"],                  # the composition: start-up, timeline, player
    ["app"],                   # the entry point
]
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}

# Headers that belong to one operating system.
SYSTEM_HEADER = re.compile(r"^(X11/|sys/|windows\.h$|unistd\.h$|fcntl\.h$|spawn\.h$|"
                           r"dlfcn\.h$|pthread\.h$|io\.h$|psapi\.h$)", re.IGNORECASE)
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SOURCES = (".h", ".hpp", ".cpp", ".cc")


def folder_of(path, src):
    return path.relative_to(src).parts[0]


def check(root):
    problems = []
    src = root / "src"
    for path in sorted(p for p in root.glob("*/**/*") if p.suffix in SOURCES):
        rel = path.relative_to(root)
        if rel.parts[0] not in ("src", "tools"):
            continue
        in_src = rel.parts[0] == "src"
        folder = folder_of(path, src) if in_src else None
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            quote, name = match.groups()
            where = f"{rel}:{number}"
            if quote == "<" and SYSTEM_HEADER.match(name) and folder != "platform":
                problems.append(f"{where}: <{name}> outside src/platform")
                continue
            if quote != '"' or not in_src:
                continue
            target = name.split("/")[0]
            if target not in RANK or folder not in RANK or target == folder:
                continue
            if RANK[target] >= RANK[folder]:
                problems.append(f"{where}: {folder}/ includes {name}, not below it")
    return problems


def main():
    if len(sys.argv) > 2 or (len(sys.argv) == 2 and sys.argv[1] in ("-h", "--help")):
        print(__doc__.strip())
        return 0 if len(sys.argv) == 2 else 2
    root = pathlib.Path(sys.argv[1] if len(sys.argv) == 2 else __file__).resolve()
    if root.is_file():
        root = root.parent.parent
    if not (root / "src").is_dir():
        print(f"check_layers: no src/ under {root}", file=sys.stderr)
        return 2
    problems = check(root)
    for problem in problems:
        print(problem)
    print(f"check_layers: {len(problems)} broken arrow(s)" if problems else
          "check_layers: every include points down")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
