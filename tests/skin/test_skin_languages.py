"""The skin's languages: every bitmap with words exists in English, Simplified and Traditional Chinese at the same
size, drawn and as a patch in its language in skin.rc.

Run: /usr/bin/python3 tests/skin/test_skin_languages.py
"""

import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from PIL import Image, ImageChops

ROOT = Path(__file__).resolve().parents[2]
GENERATOR = ROOT / "tools" / "gen_skin.py"
HEADER = ROOT / "res" / "SkinLayout.h"
LANGUAGES = {"zh-Hans": "SUBLANG_CHINESE_SIMPLIFIED", "zh-Hant": "SUBLANG_CHINESE_TRADITIONAL"}
MODES = ["STATIC", "BREATHING", "SINGLE_FLASH", "DOUBLE_FLASH", "RAINBOW", "PRISMEL", "METEOR", "MARQUEE", "TWINKLE",
         "COLOUR_CYCLE"]
# The bitmaps with words: the pages, and the tabs, mode cards and web link, normal and hot.
WORDED = ["PAGE_LIGHTING", "PAGE_MODULE_INFO", "PAGE_ABOUT"] + [
    role + hot for role in ["TAB_MODULE_INFO", "TAB_LIGHTING", "TAB_ABOUT", "WEB"] + ["MODE_" + m for m in MODES]
    for hot in ("", "_HOT")]


class SkinLanguagesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = Path(cls.tmp.name)
        subprocess.run([sys.executable, str(GENERATOR), "--header", str(HEADER), "--out", str(cls.out)], check=True)
        cls.lay = {m.group(1): int(m.group(2), 0) for m in re.finditer(r"#define (\w+) (0x[0-9A-Fa-f]+|\d+)",
                                                                       HEADER.read_text(encoding="utf-8"))}
        cls.rc = (cls.out / "skin.rc").read_text(encoding="ascii")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_every_bitmap_with_words_exists_in_all_three_languages_at_the_same_size(self):
        blocks = dict(re.findall(r"LANGUAGE LANG_CHINESE, (\w+)\n((?:\d+ \d+ \"[^\"]+\"\n)+)", self.rc))
        for code, sublanguage in LANGUAGES.items():
            patches = dict(re.findall(r'(\d+) %d "([^"]+)"' % self.lay["SKIN_PATCH_RESOURCE_TYPE"],
                                      blocks.get(sublanguage, "")))
            self.assertEqual(set(patches), {str(self.lay["IDB_" + role]) for role in WORDED}, code)
            for role in WORDED:
                with self.subTest(language=code, bitmap=role):
                    name = role.lower()
                    self.assertEqual(patches[str(self.lay["IDB_" + role])], "%s.%s.skp" % (name, code))
                    english = Image.open(self.out / (name + ".bmp")).convert("RGB")
                    variant = Image.open(self.out / ("%s.%s.bmp" % (name, code))).convert("RGB")
                    self.assertEqual(variant.size, english.size)
                    self.assertIsNotNone(ImageChops.difference(english, variant).getbbox(), "words unchanged")


if __name__ == "__main__":
    unittest.main()
