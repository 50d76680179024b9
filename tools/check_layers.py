#!/usr/bin/env python3
"""The rooms of the tree layer: a file may include its own room's headers and those of rooms below it, never a
room above it or beside it. Prints every include that breaks the order and exits 1; exits 0 when there is none.

Usage: tools/check_layers.py [ROOT]
"""
import pathlib
import re
import sys

# From the top. Rooms on one line stand side by side: none of them includes another.
LAYERS = [
    ["app"],                                       # the application object and its main window
    ["sdk", "spdinfo", "prismelctl", "smbus-sim"],  # the SDK server and the programs beside the main one
    ["lighting"],                                  # the lighting page, its sequences and the hand-over codec
    ["memory"],                                    # the SMBus library, SPD decoding and the module page
    ["skin"],                                      # the skinned controls and the window outline
    ["base"],                                      # language, settings store, fonts, UTF-8, trace, tray icon
    ["framework"],                                 # our thin application framework
    ["res"],                                       # resource ids and the skin's layout constants
]
LEVEL = {room: level for level, rooms in enumerate(LAYERS) for room in rooms}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]*"', re.M)
SOURCES = (".h", ".cpp", ".c", ".rc", ".in")


def violations(root):
    for room in LEVEL:
        for path in sorted((root / room).rglob("*")):
            if path.suffix not in SOURCES or not path.is_file():
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for match in INCLUDE.finditer(text):
                target = match.group(1)
                if target not in LEVEL or target == room:
                    continue
                if LEVEL[target] <= LEVEL[room]:
                    line = text.count("\n", 0, match.start()) + 1
                    where = "above" if LEVEL[target] < LEVEL[room] else "beside"
                    yield f"{path.relative_to(root)}:{line}: includes {target}/, a room {where} {room}/"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    found = list(violations(root))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) against the order of the rooms (see tools/check_layers.py)")
        return 1
    print("includes follow the order of the rooms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
