#!/usr/bin/env python3
"""The layer check's rules, each on a small tree of its own."""

import pathlib
import subprocess
import sys
import tempfile

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check-layers.py"

# Every case: the files of a tree (path -> text) and the offences expected,
# each as "file:line" and a part of its reason; none means the tree passes.
CASES = [
    (
        "lower and own folders, relative or from src/",
        {
            "src/util/Text.h": "",
            "src/util/Clock.cpp": '#include "Text.h"\n#include <queue>\n',
            "src/analysis/Session.h": '#include "util/Text.h"\n#include "config/Format.h"\n',
            "src/config/Format.h": '#include "util/Text.h"\n',
            "src/ui/Views.cpp": '#include "analysis/Session.h"\n#include "Generated.h"\n',
        },
        [],
    ),
    (
        "a layer above",
        {
            "src/util/Text.h": '#include <string>\n#include "analysis/Session.h"\n',
            "src/analysis/Session.h": "",
        },
        [("src/util/Text.h:2", "layer above")],
    ),
    (
        "a peer on the same layer",
        {
            "src/monitor/Follower.cpp": '#include "fights/Fight.h"\n',
            "src/fights/Fight.h": '#include "monitor/Follower.h"\n',
            "src/monitor/Follower.h": "",
        },
        [("src/fights/Fight.h:1", "peer"), ("src/monitor/Follower.cpp:1", "peer")],
    ),
    (
        "gui folders: lower gui allowed, never from Qt-free code",
        {
            "src/util/gui/Dialogs.h": "#include <QWidget>\n",
            "src/ui/gui/Hud.cpp": '#include "util/gui/Dialogs.h"\n#include "ui/Views.h"\n'
            "#include <QTimer>\n",
            "src/ui/Views.h": "",
            "src/ui/Views.cpp": '#include "gui/Hud.h"\n',
            "src/ui/gui/Hud.h": "",
            "src/cli/main.cpp": '#include "util/gui/Dialogs.h"\n',
        },
        [("src/cli/main.cpp:1", "Qt-free"), ("src/ui/Views.cpp:1", "Qt-free")],
    ),
    (
        "Qt headers only in Qt code",
        {
            "src/analysis/Session.cpp": "#include <QString>\n#include <qglobal.h>\n"
            "#include <QtCore/QObject>\n",
            "src/update/Checker.cpp": "#include <QNetworkReply>\n"
            '#include "util/gui/Save.h"\n',
            "src/util/gui/Save.h": "",
            "src/app/main.cpp": '#include "update/Checker.h"\n',
            "src/update/Checker.h": "",
        },
        [
            ("src/analysis/Session.cpp:1", "Qt in a Qt-free"),
            ("src/analysis/Session.cpp:2", "Qt in a Qt-free"),
            ("src/analysis/Session.cpp:3", "Qt in a Qt-free"),
            ("src/app/main.cpp:1", "Qt-free folder"),
        ],
    ),
    (
        "programs beside the engine include any folder; the engine never includes them",
        {
            "tools/Generator.cpp": '#include "app/Window.h"\n#include "cli/Report.h"\n',
            "src/app/Window.h": "",
            "src/cli/Report.h": '#include "tools/Generator.h"\n',
            "tools/Generator.h": "",
        },
        [("src/cli/Report.h:1", "layer above")],
    ),
    (
        "a folder missing from the table",
        {"src/newfolder/Thing.cpp": '#include "util/Text.h"\n', "src/util/Text.h": ""},
        [("src/newfolder", "not in the layer table")],
    ),
]


def run(files):
    with tempfile.TemporaryDirectory() as directory:
        root = pathlib.Path(directory)
        for path, text in files.items():
            (root / path).parent.mkdir(parents=True, exist_ok=True)
            (root / path).write_text(text)
        result = subprocess.run(
            [sys.executable, str(SCRIPT), str(root)], capture_output=True, text=True
        )
        return result.returncode, result.stdout.splitlines()


def main():
    failures = []
    for name, files, expected in CASES:
        code, lines = run(files)
        if code != (1 if expected else 0):
            failures.append(f"{name}: exit {code}")
        if len(lines) != len(expected):
            failures.append(f"{name}: {len(lines)} offence(s) listed, {len(expected)} expected")
        for where, reason in expected:
            if not any(line.startswith(where + ":") and reason in line for line in lines):
                failures.append(f"{name}: no '{where}' for '{reason}' in {lines}")
    for failure in failures:
        print(failure)
    print(f"{len(CASES) - len({f.split(':')[0] for f in failures})} of {len(CASES)} cases passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
