"""Checks of the skin's languages: every bitmap with words exists in English, Simplified and Traditional Chinese
at the same size, the program's patches rebuild each language's artwork exactly, and no English phrase is left
in the Chinese artwork.

Run: /usr/bin/python3 tests/skin/test_skin_languages.py
"""

import importlib.util
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from PIL import Image, ImageChops

ROOT = Path(__file__).resolve().parents[2]
GENERATOR = ROOT / "tools" / "gen_skin.py"
HEADER = ROOT / "res" / "SkinLayout.h"
LANGUAGES = {
    "zh-Hans": "LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED",
    "zh-Hant": "LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL",
}
# Bitmaps that carry words: the pages, the tabs, the mode cards and the web link, normal and hot.
WORDED_ROLES = ["PAGE_LIGHTING", "PAGE_MODULE_INFO", "PAGE_ABOUT"] + [
    role + hot for role in ["TAB_MODULE_INFO", "TAB_LIGHTING", "TAB_ABOUT", "WEB"] + [
        "MODE_" + m for m in ("STATIC", "BREATHING", "SINGLE_FLASH", "DOUBLE_FLASH", "RAINBOW", "PRISMEL", "METEOR",
                              "MARQUEE", "TWINKLE", "COLOUR_CYCLE")] for hot in ("", "_HOT")]
# Latin words Chinese artwork may keep: names and the standards the program reads.
KEPT_WORDS = {"Zorva", "Prismel", "Quenmark", "Microsystems", "RGB", "DDR4", "SPD", "JEDEC", "XMP"}


def layout():
    return {m.group(1): int(m.group(2), 0) for m in re.finditer(r"#define (\w+) (0x[0-9A-Fa-f]+|\d+)",
                                                               HEADER.read_text(encoding="utf-8"))}


def read_patches(rc_text, patch_type):
    """{language statement: {id: file}} of the patch lines, each under the LANGUAGE statement before it."""
    patches, language = {}, None
    for line in rc_text.splitlines():
        m = re.fullmatch(r"LANGUAGE (.+)", line)
        if m:
            language = m.group(1)
        m = re.fullmatch(r'(\d+) %d "([^"]+)"' % patch_type, line)
        if m:
            patches.setdefault(language, {})[int(m.group(1))] = m.group(2)
    return patches


def patched(base, data, magic):
    """base with the patch applied, read as the program reads it."""
    img = base.copy()
    got_magic, width, height, count = struct.unpack_from("<IHHH", data, 0)
    assert (got_magic, (width, height)) == (magic, base.size), "patch made for another bitmap"
    offset = 10
    for _ in range(count):
        x, y, w, h = struct.unpack_from("<HHHH", data, offset)
        offset += 8
        img.paste(Image.frombytes("RGB", (w, h), data[offset:offset + 3 * w * h], "raw", "BGR"), (x, y))
        offset += 3 * w * h
    assert offset == len(data), "bytes left over"
    return img


class SkinLanguagesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = Path(cls.tmp.name)
        subprocess.run([sys.executable, str(GENERATOR), "--header", str(HEADER), "--out", str(cls.out)], check=True)
        cls.lay = layout()
        rc = (cls.out / "skin.rc").read_text(encoding="ascii")
        cls.english = {int(m.group(1)): m.group(2) for m in re.finditer(r'(\d+) BITMAP "([^"]+)"', rc)}
        cls.patches = read_patches(rc, cls.lay["SKIN_PATCH_RESOURCE_TYPE"])
        spec = importlib.util.spec_from_file_location("gen_skin", GENERATOR)
        cls.gen = importlib.util.module_from_spec(spec)
        spec.loader.exec_module(cls.gen)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def image(self, name):
        return Image.open(self.out / name).convert("RGB")

    def test_every_bitmap_with_words_has_both_chinese_patches_and_no_other_has_one(self):
        worded = {self.lay["IDB_" + role] for role in WORDED_ROLES}
        self.assertEqual(set(self.patches), set(LANGUAGES.values()))
        for language, patches in self.patches.items():
            with self.subTest(language=language):
                self.assertEqual(set(patches), worded)

    def test_patches_rebuild_each_language_at_the_english_size(self):
        patch_bytes = bitmap_bytes = 0
        for code, language in LANGUAGES.items():
            for rid, patch_name in self.patches[language].items():
                with self.subTest(language=code, id=rid):
                    english = self.image(self.english[rid])
                    variant = self.image(patch_name[:-len(".skp")] + ".bmp")
                    self.assertEqual(variant.size, english.size)
                    data = (self.out / patch_name).read_bytes()
                    rebuilt = patched(english, data, self.lay["SKIN_PATCH_MAGIC"])
                    self.assertIsNone(ImageChops.difference(rebuilt, variant).getbbox())
                    self.assertIsNotNone(ImageChops.difference(english, variant).getbbox(), "words unchanged")
                    patch_bytes += len(data)
                    bitmap_bytes += english.width * english.height * 3
        # Only the words differ, so the patches together stay far smaller than the bitmaps they change.
        self.assertLess(patch_bytes, bitmap_bytes // 10)

    def test_chinese_artwork_keeps_the_outline_rule(self):
        for language in LANGUAGES:
            for rid in self.patches[LANGUAGES[language]]:
                with self.subTest(language=language, id=rid):
                    img = self.image(self.patches[LANGUAGES[language]][rid][:-len(".skp")] + ".bmp")
                    near_white = [b.point(lambda v: 255 if v >= 253 else 0) for b in img.split()]
                    mask = ImageChops.multiply(ImageChops.multiply(near_white[0], near_white[1]), near_white[2])
                    self.assertIsNone(mask.getbbox())

    def test_simplified_and_traditional_pages_differ(self):
        for role in ("PAGE_LIGHTING", "PAGE_MODULE_INFO", "PAGE_ABOUT"):
            rid = self.lay["IDB_" + role]
            with self.subTest(page=role):
                hans, hant = (self.image(self.patches[LANGUAGES[c]][rid][:-len(".skp")] + ".bmp") for c in LANGUAGES)
                self.assertIsNotNone(ImageChops.difference(hans, hant).getbbox())

    def test_chinese_phrases_are_chinese(self):
        for english, texts in self.gen.PHRASES.items():
            for code, text in zip(LANGUAGES, texts):
                with self.subTest(phrase=english, language=code):
                    words = set(re.findall(r"[A-Za-z][A-Za-z0-9]*", text.replace("%s", "")))
                    self.assertLessEqual(words, KEPT_WORDS)
                    if text != english:
                        self.assertRegex(text, "[\u4e00-\u9fff]")

    def test_a_phrase_missing_from_the_table_stops_the_build(self):
        with self.assertRaises(SystemExit):
            self.gen.localise("zh-Hans", "Some new words", "regular", 12, 0.0)


if __name__ == "__main__":
    unittest.main()
