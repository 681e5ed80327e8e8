#!/usr/bin/env python3
"""Fails on an #include that points up the layer order.

Every folder under src/ sits on one layer of the table below. A file may
include its own folder and the folders on lower layers: never a peer on its
own layer, never anything above. A folder's gui/ sits with its folder and may
also include the gui/ of lower folders; Qt-free code includes no gui/ folder,
no Qt folder and no Qt header.

Usage: check-layers.py [ROOT]   (ROOT: the repository; by default this one)
Lists file:line, the include and the reason for every offence; exits 1 when
there is one.
"""

import pathlib
import re
import sys

# Bottom to top: a folder may include those on earlier lines. A new folder
# joins with one line. Flags:
#   peer  on the same layer as the line above (peers never include each other)
#   qt    Qt code all through, not only in its gui/ folder
#   free  a program beside the engine: may include any folder of src/
LAYERS = [
    ("src/util", ""),
    ("src/diag", ""),
    ("src/model", ""),
    ("src/config", ""),
    ("src/monitor", ""),
    ("src/fights", "peer"),
    ("src/analysis", ""),
    ("src/ui", ""),
    ("src/report", ""),
    ("src/serve", ""),
    ("src/update", "qt"),
    ("src/meter", ""),
    ("src/app", ""),
    ("src/cli", ""),
    ("tools", "free"),
    ("bench", "peer free qt"),
]

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# Qt's headers: <QString>, <QtCore/QString>, <qglobal.h>; not <queue>.
QT_HEADER = re.compile(r"^(Q|q[^/]*\.h$)")
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc"}


class Layers:
    def __init__(self, table):
        self.level = {}
        self.flags = {}
        level = -1
        for folder, flags in table:
            flags = set(flags.split())
            if "peer" not in flags or level < 0:
                level += 1
            self.level[folder] = level
            self.flags[folder] = flags

    def place(self, relative):
        """(folder, in a gui/ folder) of a path relative to the root, or None."""
        parts = relative.parts
        for length in (2, 1):
            folder = "/".join(parts[:length])
            if folder in self.level:
                return folder, "gui" in parts[length:-1]
        return None

    def is_qt(self, place):
        folder, gui = place
        return gui or "qt" in self.flags[folder]

    def offence(self, source, target):
        """Why source may not include target, or None."""
        if self.is_qt(target) and not self.is_qt(source):
            return "Qt code included from a Qt-free folder"
        folder, target_folder = source[0], target[0]
        if "free" in self.flags[folder] and "free" not in self.flags[target_folder]:
            return None
        if target_folder == folder:
            return None
        if self.level[target_folder] == self.level[folder]:
            return "includes a peer on its own layer"
        if self.level[target_folder] > self.level[folder]:
            return "includes a layer above"
        return None


def resolve(root, source, name):
    """The file an include names: beside the including file, then under src/."""
    for base in (source.parent, root / "src", root):
        candidate = (base / name).resolve()
        if candidate.is_file():
            return candidate
    return None


def sources(root, folder):
    top = root / folder
    if not top.is_dir():
        return []
    return sorted(
        path for path in top.rglob("*") if path.suffix in SOURCE_SUFFIXES and path.is_file()
    )


def check(root, table=LAYERS):
    layers = Layers(table)
    problems = []
    src = root / "src"
    if src.is_dir():
        for folder in sorted(path for path in src.iterdir() if path.is_dir()):
            name = f"src/{folder.name}"
            if name not in layers.level and sources(root, name):
                problems.append(f"{name}: not in the layer table of scripts/check-layers.py")
    for folder in layers.level:
        for source in sources(root, folder):
            relative = source.relative_to(root)
            source_place = layers.place(relative)
            text = source.read_text(encoding="utf-8", errors="replace")
            for number, line in enumerate(text.splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                bracket, name = match.groups()
                where = f"{relative}:{number}"
                if bracket == "<":
                    if QT_HEADER.match(name) and not layers.is_qt(source_place):
                        problems.append(f"{where}: <{name}>: Qt in a Qt-free folder")
                    continue
                target = resolve(root, source, name)
                if target is None:
                    continue  # generated, or not the project's
                try:
                    target_place = layers.place(target.relative_to(root))
                except ValueError:
                    target_place = None
                if target_place is None:
                    if "free" not in layers.flags[source_place[0]]:
                        problems.append(f'{where}: "{name}": outside the layers')
                    continue
                reason = layers.offence(source_place, target_place)
                if reason:
                    problems.append(f'{where}: "{name}": {reason}')
    return problems


def main():
    default = pathlib.Path(__file__).resolve().parent.parent
    root = pathlib.Path(sys.argv[1]).resolve() if len(sys.argv) > 1 else default
    problems = check(root)
    for problem in problems:
        print(problem)
    if problems:
        print(f"check-layers: {len(problems)} include(s) against the layer order", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
