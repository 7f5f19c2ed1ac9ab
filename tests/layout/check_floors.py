#!/usr/bin/python3
"""Fails when the source tree breaks its floors.

Each folder under src/ is one library on one floor (README, "Layout"). A file
may include headers of its own folder and of folders on lower floors only;
a Qt Core only folder includes no Qt Widgets header; each folder's
CMakeLists.txt lists only files of that folder; and every folder has a floor
here, so a new one is placed deliberately.
"""
import re
import sys
from pathlib import Path

# folder -> (floor, uses widgets). Folders on one floor are ordered by the
# fraction: a folder may include one of its floor with a smaller number.
FLOORS = {
    "runtime": (1.0, False),
    "device": (1.1, False),
    "widgets": (1.2, True),
    "generator": (2.0, False),
    "components/lbutton": (2.1, True),
    "components/xyplot": (2.1, True),
    "components/designer": (2.2, True),
    "settings": (3.0, False),
    "instrument": (4.0, False),
    "scpi": (5.0, False),
    "rpc": (5.0, False),
    "lan": (5.1, False),
    "remote": (5.2, False),
    "web": (5.3, False),
    "web/page": (5.3, False),  # the page itself, served from memory
    "front": (6.0, False),
    "window": (7.0, True),
    "": (8.0, True),  # main.cpp: picks the front door; it names the window's entry, loaded at run time
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)


def widget_headers(qt_include):
    """Every header of the QtWidgets module, as <QtWidgets/X> or <X>."""
    folder = qt_include / "QtWidgets"
    names = {p.name for p in folder.iterdir()} if folder.is_dir() else set()
    return names | {"QtWidgets/" + n for n in names} | {"QtWidgets"}


def folder_of(src, path):
    relative = path.relative_to(src).parent.as_posix()
    return "" if relative == "." else relative


def check(src, qt_include):
    failures = []
    widgets = widget_headers(qt_include)
    folders = {folder_of(src, p) for p in src.rglob("*") if p.is_file()}
    for folder in sorted(folders - FLOORS.keys()):
        failures.append(f"src/{folder}/ has no floor in tests/layout/check_floors.py")
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        folder = folder_of(src, path)
        if folder not in FLOORS:
            continue
        floor, uses_widgets = FLOORS[folder]
        for kind, header in INCLUDE.findall(path.read_text(encoding="utf-8")):
            where = f"{path.relative_to(src.parent)} includes {header}"
            if kind == "<":
                if not uses_widgets and header in widgets:
                    failures.append(f"{where}: a widget header in a Qt Core only folder")
                continue
            target = str(Path(header).parent.as_posix())
            if target == folder or "/" not in header:
                continue
            if target not in FLOORS:
                failures.append(f"{where}: no such folder under src/")
            elif FLOORS[target][0] >= floor:
                failures.append(f"{where}: src/{target}/ is not on a lower floor")
            elif FLOORS[target][1] and not uses_widgets:
                failures.append(f"{where}: a widget folder's header in a Qt Core only folder")
    for cmake in sorted(src.rglob("CMakeLists.txt")):
        if cmake.parent == src:
            continue
        for name in re.findall(r"[\w./-]+\.(?:cpp|h)\b", cmake.read_text(encoding="utf-8")):
            if "/" in name:
                failures.append(f"{cmake.relative_to(src.parent)} compiles {name}, a file of another folder")
    return failures


if __name__ == "__main__":
    root = Path(sys.argv[1])
    qt_include = Path(sys.argv[2]) if len(sys.argv) > 2 else Path("/usr/include/x86_64-linux-gnu/qt6")
    problems = check(root / "src", qt_include)
    for problem in problems:
        print(problem)
    print(f"{'floors broken' if problems else 'floors hold'}: {len(problems)} problem(s)")
    sys.exit(1 if problems else 0)
