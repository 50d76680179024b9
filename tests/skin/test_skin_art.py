"""Checks of the generated skin artwork: ids and sizes, bitmap format, the key-colour outline rule, the colour
wheel, hot images, the places the window paints into, and that generation is deterministic; and of the drawings at
125, 150, 175 and 200 %: their sizes follow the program's rounding, buttons are cut from their page at the scaled
rectangle, hairlines stay whole pixels, and text is drawn at the scale rather than enlarged.

Run: /usr/bin/python3 tests/skin/test_skin_art.py
"""

import colorsys
import math
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from PIL import Image, ImageChops, ImageStat

ROOT = Path(__file__).resolve().parents[2]
GENERATOR = ROOT / "tools" / "gen_skin.py"
HEADER = ROOT / "res" / "SkinLayout.h"

# Sizes of every bitmap the window loads, by resource id.
EXPECTED_SIZES = {129: (990, 675), 281: (990, 675), 298: (990, 675), 247: (169, 169)}
for ids, size in [
    ((279, 280, 277, 278), (36, 32)),
    ((143, 174), (97, 36)),
    ((147, 187), (98, 36)),
    ((176, 197), (130, 15)),
    ((275, 276), (35, 20)),
    (tuple(range(249, 269)), (181, 136)),
    ((273, 274, 271, 272, 170, 270), (150, 113)),
    ((283, 284), (40, 49)),
    ((285, 286, 287, 288, 289, 290), (38, 49)),
    ((291, 292), (41, 49)),
    ((296, 297), (29, 24)),
    ((294, 295), (27, 24)),
]:
    EXPECTED_SIZES.update({i: size for i in ids})

# (normal, hot) image pairs of the buttons that have a hover look.
HOT_PAIRS = [(279, 280), (277, 278), (143, 174), (147, 187), (176, 197), (273, 274), (271, 272), (170, 270),
             (283, 284), (285, 286), (287, 288), (289, 290), (291, 292), (296, 297), (294, 295)]
HOT_PAIRS += [(250 + 2 * m, 251 + 2 * m) for m in range(9)] + [(268, 249)]

WHEEL_BACKGROUND = (13, 29, 37)
PAGE_LIGHTING, PAGE_MODULE_INFO, PAGE_ABOUT = 129, 281, 298
PAGES = (PAGE_LIGHTING, PAGE_MODULE_INFO, PAGE_ABOUT)

LAYOUT = {m.group(1): int(m.group(2), 0) for m in re.finditer(r"(?m)^#define (\w+) (0x[0-9A-Fa-f]+|\d+)$",
                                                                HEADER.read_text(encoding="utf-8"))}
# The drawings above 100 %: DPI, file-name percent and resource type.
SCALES = [(120, 125, 257), (144, 150, 258), (168, 175, 259), (192, 200, 260)]
# The page at each DPI, as the program sizes its window.
PAGE_SIZES = {120: (1238, 844), 144: (1485, 1013), 168: (1733, 1181), 192: (1980, 1350)}


def generate(out):
    subprocess.run([sys.executable, str(GENERATOR), "--header", str(HEADER), "--out", out], check=True)


def scale(v, dpi):
    return (v * dpi + 48) // 96


def scaled_rect(role, dpi):
    """(x, y, w, h) of a role at dpi: its edges scaled, its size their difference."""
    x, y, w, h = (LAYOUT["SKIN_%s_%s" % (role, k)] for k in "XYWH")
    return scale(x, dpi), scale(y, dpi), scale(x + w, dpi) - scale(x, dpi), scale(y + h, dpi) - scale(y, dpi)


def read_rc(folder):
    bitmaps, icons = {}, {}
    for line in (Path(folder) / "skin.rc").read_text(encoding="ascii").splitlines():
        m = re.fullmatch(r'(\d+) (BITMAP|ICON) "([^"]+)"', line)
        if m:
            (bitmaps if m.group(2) == "BITMAP" else icons)[int(m.group(1))] = m.group(3)
    return bitmaps, icons


def read_scaled_rc(folder):
    """{resource type: {id: file}} of the English block's scaled drawings."""
    english = (Path(folder) / "skin.rc").read_text(encoding="ascii").split("\nLANGUAGE LANG_CHINESE")[0]
    found = {}
    for rid, kind, name in re.findall(r'^(\d+) (\d+) "([^"]+)"$', english, re.M):
        found.setdefault(int(kind), {})[int(rid)] = name
    return found


def near_white_mask(img):
    """255 where every byte is within 2 of white, the outline code's key colour."""
    bands = [b.point(lambda v: 255 if v >= 253 else 0) for b in img.split()]
    return ImageChops.multiply(ImageChops.multiply(bands[0], bands[1]), bands[2])


def luma(img):
    return ImageStat.Stat(img.convert("L")).mean[0]


class SkinArtTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.tmp.name, "a")
        cls.again = os.path.join(cls.tmp.name, "b")
        # The second run, in one process where the first uses two, goes on beside the first: the same bytes.
        again = subprocess.Popen([sys.executable, str(GENERATOR), "--header", str(HEADER), "--out", cls.again,
                                  "--jobs", "1"])
        generate(cls.out)
        assert again.wait() == 0, "the second generation failed"
        cls.bitmaps, cls.icons = read_rc(cls.out)
        cls.images = {i: Image.open(os.path.join(cls.out, f)).convert("RGB") for i, f in cls.bitmaps.items()}
        cls.scaled_files = read_scaled_rc(cls.out)
        cls.scaled = {dpi: {i: Image.open(os.path.join(cls.out, f)) for i, f in cls.scaled_files[kind].items()}
                      for dpi, _, kind in SCALES}

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_every_bitmap_is_a_24_bit_bmp_of_its_size(self):
        self.assertEqual(set(self.bitmaps), set(EXPECTED_SIZES))
        for rid, name in self.bitmaps.items():
            with self.subTest(id=rid):
                data = (Path(self.out) / name).read_bytes()
                self.assertEqual(data[:2], b"BM")
                width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
                self.assertEqual((bits, compression), (24, 0))
                self.assertEqual((width, abs(height)), EXPECTED_SIZES[rid])
                stride = (width * 3 + 3) // 4 * 4
                self.assertGreaterEqual(len(data), struct.unpack_from("<I", data, 10)[0] + stride * abs(height))

    def test_every_row_is_opaque_from_first_to_last_column(self):
        # With no key-coloured pixel anywhere, each row's outline runs from column 0 to column w-1 and nothing
        # inside it reads as white.
        for rid, img in self.images.items():
            with self.subTest(id=rid):
                box = near_white_mask(img).getbbox()
                self.assertIsNone(box, "near-white pixels within %s" % (box,))

    def test_wheel_is_a_hue_saturation_disc_on_its_background(self):
        self.check_wheel(self.images[247])

    def check_wheel(self, wheel):
        w, h = wheel.size
        cx, cy = (w - 1) / 2, (h - 1) / 2
        px = wheel.load()
        opaque = [(x, y) for y in range(h) for x in range(w) if px[x, y] != WHEEL_BACKGROUND]
        radius = max(math.hypot(x - cx, y - cy) for x, y in opaque)
        self.assertGreater(radius, 0.45 * w, "the disc nearly fills the image")
        for corner in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
            self.assertEqual(px[corner], WHEEL_BACKGROUND)
        for y in range(h):
            for x in range(w):
                if math.hypot(x - cx, y - cy) < radius - 1.5:
                    self.assertNotEqual(px[x, y], WHEEL_BACKGROUND, "background colour at (%d, %d)" % (x, y))

        def hsv(x, y):
            return colorsys.rgb_to_hsv(*(v / 255 for v in px[int(round(x)), int(round(y))]))

        # Hue turns evenly once round the disc.
        hues = [hsv(cx + 0.75 * radius * math.sin(a), cy - 0.75 * radius * math.cos(a))[0]
                for a in (2 * math.pi * k / 12 for k in range(12))]
        for k in range(12):
            step = (hues[(k + 1) % 12] - hues[k]) % 1.0
            self.assertAlmostEqual(step, 1 / 12, delta=0.02)
        # Saturation grows from the centre outwards, at full value.
        for a in (0.3, 2.0, 4.4):
            sats = [hsv(cx + f * radius * math.sin(a), cy - f * radius * math.cos(a)) for f in (0.1, 0.5, 0.9)]
            self.assertLess(sats[0][1], sats[1][1])
            self.assertLess(sats[1][1], sats[2][1])
            self.assertGreater(sats[2][1], 0.8)
            self.assertTrue(all(s[2] > 0.95 for s in sats))

    def test_hot_images_are_clearly_brighter(self):
        for normal, hot in HOT_PAIRS:
            with self.subTest(normal=normal, hot=hot):
                self.assertGreater(luma(self.images[hot]), 1.2 * luma(self.images[normal]))

    def test_power_switch_on_and_off_look_different(self):
        on, off = self.images[275], self.images[276]
        diff = ImageStat.Stat(ImageChops.difference(on, off).convert("L")).mean[0]
        self.assertGreater(diff, 20)
        self.assertGreater(luma(on), luma(off))

    def test_buttons_join_their_pages_without_a_seam(self):
        # A button's corners show the page under it, so its rectangle does not stand out on the face.
        lay = {}
        for line in HEADER.read_text(encoding="utf-8").splitlines():
            m = re.match(r"#define (\w+) (\d+)$", line)
            if m:
                lay[m.group(1)] = int(m.group(2))
        everywhere = (PAGE_LIGHTING, PAGE_MODULE_INFO, PAGE_ABOUT)
        cases = [("MINIMISE", everywhere), ("CLOSE", everywhere), ("TAB_MODULE_INFO", everywhere),
                 ("TAB_LIGHTING", everywhere), ("TAB_ABOUT", everywhere), ("APPLY", (PAGE_LIGHTING,)),
                 ("RESET", (PAGE_LIGHTING,)), ("COLOUR_WHEEL", (PAGE_LIGHTING,)), ("WEB", (PAGE_ABOUT,))]
        cases += [("MODE_" + m, (PAGE_LIGHTING,)) for m in ("STATIC", "RAINBOW", "COLOUR_CYCLE")]
        for role, pages in cases:
            img = self.images[lay["IDB_" + role]]
            x, y = lay["SKIN_%s_X" % role], lay["SKIN_%s_Y" % role]
            w, h = img.size
            for page in pages:
                for cx, cy in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
                    with self.subTest(role=role, page=page, corner=(cx, cy)):
                        self.assertEqual(img.getpixel((cx, cy)), self.images[page].getpixel((x + cx, y + cy)))

    def test_pages_leave_room_where_the_window_paints(self):
        lighting, module = self.images[PAGE_LIGHTING], self.images[PAGE_MODULE_INFO]
        # The swatch is one plain colour, and the hex text sits on a plain dark field.
        swatch = lighting.crop((886, 366, 938, 418))
        self.assertEqual(len(swatch.getcolors()), 1)
        hex_field = lighting.crop((757, 391, 836, 416))
        self.assertEqual(len(hex_field.getcolors()), 1)
        self.assertLess(luma(hex_field), 40)
        # Module text (value colour, luma about 133) needs a dark ground on the heading and the ten lines,
        # across the seven columns.
        value_luma = 0.299 * 111 + 0.587 * 140 + 0.114 * 149
        for y in [185] + [225 + 29 * i for i in range(10)]:
            with self.subTest(line_y=y):
                band = module.crop((217, y, 910, y + 16)).convert("L")
                self.assertLess(band.getextrema()[1], value_luma / 2)

    def test_icon_holds_16_to_48_pixel_images_in_size_order(self):
        self.assertEqual(list(self.icons), [128])
        data = (Path(self.out) / self.icons[128]).read_bytes()
        reserved, kind, count = struct.unpack_from("<HHH", data, 0)
        self.assertEqual((reserved, kind), (0, 1))
        sizes = []
        for k in range(count):
            w, h, _, _, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * k)
            self.assertEqual((planes, bits), (1, 32))
            self.assertLessEqual(offset + length, len(data))
            header_w, header_h = struct.unpack_from("<ii", data, offset + 4)
            self.assertEqual((header_w, header_h), (w, 2 * h))
            sizes.append((w, h))
        self.assertEqual(sizes, [(n, n) for n in (16, 20, 24, 32, 40, 48)])

    def test_generation_is_deterministic(self):
        names = sorted(os.listdir(self.out))
        self.assertEqual(names, sorted(os.listdir(self.again)))
        for name in names:
            with self.subTest(file=name):
                self.assertEqual((Path(self.out) / name).read_bytes(), (Path(self.again) / name).read_bytes())

    def test_list_names_exactly_the_files_written(self):
        listed = subprocess.run([sys.executable, str(GENERATOR), "--header", str(HEADER), "--out", self.out,
                                 "--list"], check=True, capture_output=True, text=True).stdout.split()
        self.assertEqual(sorted(listed), sorted(os.listdir(self.out)))

    # ---- The drawings above 100 % ----------------------------------------------------------------------------

    def test_every_bitmap_is_drawn_at_every_scale_as_an_rgb_png_of_its_scaled_size(self):
        self.assertEqual(sorted(self.scaled_files), [kind for _, _, kind in SCALES])
        roles = ["MINIMISE", "CLOSE", "TAB_ABOUT", "MODE_COLOUR_CYCLE", "APPLY", "RESET", "COLOUR_WHEEL", "SPEED_1",
                 "SPEED_2", "SPEED_5", "SUBPAGE_FORWARD", "WEB"]
        for dpi, percent, kind in SCALES:
            with self.subTest(dpi=dpi):
                self.assertEqual(self.scaled_files[kind], {rid: "%s.%d.png" % (name[:-len(".bmp")], percent)
                                                           for rid, name in self.bitmaps.items()})
                self.assertEqual({img.mode for img in self.scaled[dpi].values()}, {"RGB"})
                self.assertEqual({self.scaled[dpi][page].size for page in PAGES}, {PAGE_SIZES[dpi]})
            for role in roles:
                with self.subTest(dpi=dpi, role=role):
                    self.assertEqual(self.scaled[dpi][LAYOUT["IDB_" + role]].size, scaled_rect(role, dpi)[2:])

    def test_scaled_buttons_are_cut_from_their_page_at_the_scaled_rectangle(self):
        # These buttons paint nothing on their outermost pixels, so there they are exactly the page under them; a
        # crop a pixel off, or drawn at a different rounding, misses the tab separators and the frame.
        cases = [(role, PAGES) for role in ("MINIMISE", "CLOSE", "TAB_MODULE_INFO", "TAB_LIGHTING", "TAB_ABOUT")]
        cases += [(role, (PAGE_LIGHTING,)) for role in ("APPLY", "RESET", "MODE_STATIC", "MODE_PRISMEL",
                                                        "MODE_TWINKLE", "MODE_COLOUR_CYCLE")] + [("WEB", (PAGE_ABOUT,))]
        for dpi, _, _ in SCALES:
            for role, pages in cases:
                x, y, w, h = scaled_rect(role, dpi)
                img = self.scaled[dpi][LAYOUT["IDB_" + role]].convert("RGB")
                ring = [(i, j) for i in range(w) for j in (0, h - 1)] + [(i, j) for i in (0, w - 1) for j in range(h)]
                for page in pages:
                    under = self.scaled[dpi][page].convert("RGB").crop((x, y, x + w, y + h))
                    with self.subTest(dpi=dpi, role=role, page=page):
                        self.assertEqual(img.size, (w, h))
                        self.assertEqual([p for p in ring if img.getpixel(p) != under.getpixel(p)], [])

    def test_scaled_images_hold_no_near_white_pixel_and_the_wheel_keeps_its_rules(self):
        for dpi, _, _ in SCALES:
            for rid, img in self.scaled[dpi].items():
                with self.subTest(dpi=dpi, id=rid):
                    self.assertIsNone(near_white_mask(img.convert("RGB")).getbbox())
            with self.subTest(dpi=dpi, wheel=True):
                self.check_wheel(self.scaled[dpi][247].convert("RGB"))

    def test_hairlines_stay_whole_pixels(self):
        # A one-pixel rule or outline at 100 % is one colour over whole columns at every scale, its neighbours
        # untouched (alike their own neighbours). A rule spans its scaled edges; an outline is a scaled pixel wide
        # inside its shape's scaled edge. (page, kind, edge, row): the sidebar's edge, the colour panel's outline
        # on both sides, the first column rule of the module table.
        cases = [(PAGE_LIGHTING, "rule", 149, 420), (PAGE_ABOUT, "rule", 149, 200), (PAGE_LIGHTING, "left", 732, 250),
                 (PAGE_LIGHTING, "right", 960, 250), (PAGE_MODULE_INFO, "rule", 330, 300)]
        for dpi, _, _ in SCALES:
            for page, kind, edge, row in cases:
                x0 = scale(edge, dpi) - (scale(1, dpi) if kind == "right" else 0)
                x1 = scale(edge + 1, dpi) if kind == "rule" else x0 + scale(1, dpi)
                img = self.scaled[dpi][page].convert("RGB")
                line = [img.getpixel((x, scale(row, dpi))) for x in range(x0 - 2, x1 + 2)]
                with self.subTest(dpi=dpi, page=page, kind=kind, edge=edge):
                    self.assertEqual(len(set(line[2:-2])), 1, "the rule is one colour")
                    self.assertEqual((line[0], line[-1]), (line[1], line[-2]), "beside the rule untouched")
                    self.assertNotIn(line[2], (line[1], line[-2]))

    def test_text_is_drawn_at_the_scale_not_enlarged(self):
        # Enlarging the 100 % page spreads every glyph edge over more pixels; text drawn at the scale keeps edges
        # a pixel wide, so its squared gradient is clearly larger. Areas: the product name in the title bar, the
        # footer line, the colour panel's heading.
        for dpi, _, _ in SCALES:
            drawn = self.scaled[dpi][PAGE_LIGHTING].convert("RGB")
            enlarged = self.images[PAGE_LIGHTING].resize(drawn.size, Image.LANCZOS)
            for area in [(56, 12, 200, 37), (170, 640, 700, 660), (740, 76, 960, 92)]:
                box = tuple(scale(v, dpi) for v in area)
                with self.subTest(dpi=dpi, area=area):
                    self.assertGreater(edge_energy(drawn.crop(box)) / edge_energy(enlarged.crop(box)), 1.15)


def edge_energy(img):
    """Mean squared difference of neighbouring pixels' luma, across and down."""
    g = img.convert("L")
    across = ImageChops.difference(g.crop((1, 0, g.width, g.height)), g.crop((0, 0, g.width - 1, g.height)))
    down = ImageChops.difference(g.crop((0, 1, g.width, g.height)), g.crop((0, 0, g.width, g.height - 1)))
    return ImageStat.Stat(across).rms[0] ** 2 + ImageStat.Stat(down).rms[0] ** 2


if __name__ == "__main__":
    unittest.main()
