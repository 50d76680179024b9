#!/usr/bin/python3
"""Builds the program's seven-segment font "DS-DIGI.ttf" (family "DS-Digital") from Debian's openly licensed
DSEG7 Classic (fonts-dseg, SIL Open Font License 1.1), renamed as the licence requires of a modified version,
and writes the licence text beside it.

Usage: gen_font.py --source DSEG7Classic-Regular.ttf --copyright /usr/share/doc/fonts-dseg/copyright --out DIR
"""

import argparse
import shutil
from pathlib import Path

from fontTools.ttLib import TTFont

FAMILY = "DS-Digital"
STYLE = "Regular"


def build(source: Path, out: Path) -> None:
    font = TTFont(str(source))
    names = font["name"]
    # Keep the copyright (0) and licence (13, 14) records; give every naming record our family.
    keep = {0, 13, 14}
    names.names = [n for n in names.names if n.nameID in keep]
    texts = {
        1: FAMILY,
        2: STYLE,
        3: f"{FAMILY} {STYLE}; built from DSEG7 Classic",
        4: FAMILY,
        5: "Version 1.0",
        6: FAMILY,
        16: FAMILY,
        17: STYLE,
    }
    for name_id, text in texts.items():
        names.setName(text, name_id, 3, 1, 0x409)  # Windows, Unicode BMP, English
        names.setName(text, name_id, 1, 0, 0)  # Macintosh, Roman, English
    # A fixed modification time keeps the output the same from build to build.
    font["head"].modified = font["head"].created
    font.save(str(out))


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True, type=Path)
    parser.add_argument("--copyright", required=True, type=Path)
    parser.add_argument("--out", required=True, type=Path)
    args = parser.parse_args()
    args.out.mkdir(parents=True, exist_ok=True)
    build(args.source, args.out / "DS-DIGI.ttf")
    licence = args.out / "DS-DIGI-LICENSE.txt"
    with licence.open("w", encoding="utf-8") as f:
        f.write("DS-DIGI.ttf (family \"DS-Digital\") is DSEG7 Classic Regular, renamed.\n")
        f.write("It is distributed under the SIL Open Font License 1.1; the original notice follows.\n\n")
        f.write(args.copyright.read_text(encoding="utf-8"))


if __name__ == "__main__":
    main()
