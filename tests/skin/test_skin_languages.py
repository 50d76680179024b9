"""The skin's languages: every bitmap with words exists in English, Simplified and Traditional Chinese at the same
size, drawn and as a patch in its language in skin.rc; at 125 to 200 % as a PNG patch of the English drawing that
gives exactly the language's drawing at that scale.

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
sys.path.insert(0, str(GENERATOR.parent))
import gen_skin  # noqa: E402  (draws the full language images the patches stand for)

HEADER = ROOT / "res" / "SkinLayout.h"
LANGUAGES = {"zh-Hans": "SUBLANG_CHINESE_SIMPLIFIED", "zh-Hant": "SUBLANG_CHINESE_TRADITIONAL"}
MODES = ["STATIC", "BREATHING", "SINGLE_FLASH", "DOUBLE_FLASH", "RAINBOW", "PRISMEL", "METEOR", "MARQUEE", "TWINKLE",
         "COLOUR_CYCLE"]
# The bitmaps with words: the pages, and the tabs, mode cards and web link, normal and hot.
WORDED = ["PAGE_LIGHTING", "PAGE_MODULE_INFO", "PAGE_ABOUT"] + [
    role + hot for role in ["TAB_MODULE_INFO", "TAB_LIGHTING", "TAB_ABOUT", "WEB"] + ["MODE_" + m for m in MODES]
    for hot in ("", "_HOT")]
# The drawings above 100 %: DPI, file-name percent and resource type.
SCALES = [(120, 125, 257), (144, 150, 258), (168, 175, 259), (192, 200, 260)]
# The scale at which the test draws the languages itself (an odd one: edges round both ways there).
CHECKED_DPI = 168


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

    def test_every_bitmap_with_words_has_a_patch_at_every_scale_opaque_exactly_where_its_words_differ(self):
        blocks = dict(re.findall(r"LANGUAGE LANG_CHINESE, (\w+)\n((?:\d+ \d+ \"[^\"]+\"\n)+)", self.rc))
        for code, sublanguage in LANGUAGES.items():
            for _, percent, kind in SCALES:
                names = {role: "%s.%d.%s.png" % (role.lower(), percent, code) for role in WORDED}
                self.assertEqual(dict(re.findall(r'(\d+) %d "([^"]+)"' % kind, blocks.get(sublanguage, ""))),
                                 {str(self.lay["IDB_" + role]): name for role, name in names.items()})
                for role, name in names.items():
                    with self.subTest(language=code, percent=percent, bitmap=role):
                        english = Image.open(self.out / ("%s.%d.png" % (role.lower(), percent))).convert("RGB")
                        patch = Image.open(self.out / name)
                        self.assertEqual((patch.mode, patch.size), ("RGBA", english.size))
                        alpha = patch.getchannel("A")
                        self.assertLessEqual(set(alpha.getdata()), {0, 255})
                        self.assertIsNotNone(alpha.getbbox(), "words unchanged")
                        # Transparent pixels are black, and every opaque one changes the English pixel.
                        self.assertIsNone(Image.composite(Image.new("RGB", patch.size), patch.convert("RGB"),
                                                          alpha).getbbox())
                        r, g, b = ImageChops.difference(english, patch.convert("RGB")).split()
                        same = ImageChops.lighter(ImageChops.lighter(r, g), b).point(lambda v: 255 if v == 0 else 0)
                        self.assertIsNone(ImageChops.multiply(same, alpha).getbbox(), "opaque but unchanged")

    def test_english_drawing_with_its_patch_is_the_language_drawing(self):
        lay = gen_skin.Layout(str(HEADER))
        th, items = gen_skin.roster(lay)
        percent = next(p for dpi, p, _ in SCALES if dpi == CHECKED_DPI)
        for code in LANGUAGES:
            drawn = gen_skin.draw_images(lay, th, items, "1.0.0", CHECKED_DPI, code)
            self.assertEqual(set(drawn), {role.lower() + ".bmp" for role in WORDED})
            for role in WORDED:
                with self.subTest(language=code, bitmap=role):
                    english = Image.open(self.out / ("%s.%d.png" % (role.lower(), percent))).convert("RGB")
                    patch = Image.open(self.out / ("%s.%d.%s.png" % (role.lower(), percent, code)))
                    shown = Image.composite(patch.convert("RGB"), english, patch.getchannel("A"))
                    self.assertIsNone(ImageChops.difference(shown, drawn[role.lower() + ".bmp"]).getbbox())


if __name__ == "__main__":
    unittest.main()
