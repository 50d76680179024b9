#!/usr/bin/python3
"""Draws the Prismel skin: the three page backgrounds, every button image, the colour wheel and the icon.

Positions, sizes, resource ids and theme colours come from res/SkinLayout.h, so the artwork and the code that
paints on it agree. Writes 24-bit BMP files, prismel.ico and skin.rc (the resource lines for all of them) into
the output folder. A bitmap with words is also drawn in Simplified and Traditional Chinese (NAME.zh-Hans.bmp,
NAME.zh-Hant.bmp, from the PHRASES table); the program gets each as a patch of the English bitmap (NAME.<lang>.skp)
under the same id in that language. The output depends only on the header, the version text, the fonts and this
script: the same inputs give the same bytes, however many processes draw them.

Every image is also drawn at 125, 150, 175 and 200 % (the steps SkinLayout.h names), at that size rather than
enlarged: NAME.<percent>.png, 24-bit, of the size the program's rounding gives the bitmap's rectangle, and for a
bitmap with words NAME.<percent>.<lang>.png, a 32-bit patch that is opaque exactly where the language's drawing
differs from the English one. The icon holds 16, 20, 24, 32, 40 and 48 pixel images.

Every image is opaque from its first to its last column in every row and holds no near-white pixel, so the
window outline code, which treats white (within 2 per byte) as outside, keeps each image whole. Buttons are drawn
over the part of their page they cover, so a button and the page around it join without a seam.

Usage: gen_skin.py --header res/SkinLayout.h --out DIR [--version 1.0.0] [--jobs 1|2] [--list]
"""

import argparse
import colorsys
import math
import multiprocessing
import os
import re
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

SS = 4  # supersampling factor of every drawn shape
BASE_DPI = 96  # the scale of the BITMAP resources and of every number in SkinLayout.h (SKIN_BASE_DPI)

FONT_FILES = {
    "regular": "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "bold": "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
    "digits": "/usr/share/fonts/truetype/dseg/DSEG7Classic-Bold.ttf",
    "cjk": "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
}

PRODUCT_NAME = "Zorva Prismel"
MAKER_NOTICE = "\u00a9 Quenmark Microsystems. All rights reserved."
TAGLINE = "Lighting control and SPD information for RGB DDR4 memory modules"

# Roles as SkinLayout.h names them (IDB_<role>, SKIN_<role>_X ...), with the texts the images show.
PAGE_ROLES = [("PAGE_LIGHTING", "lighting"), ("PAGE_MODULE_INFO", "module_info"), ("PAGE_ABOUT", "about")]
MODES = [
    ("STATIC", "Static"),
    ("BREATHING", "Breathing"),
    ("SINGLE_FLASH", "Single flash"),
    ("DOUBLE_FLASH", "Double flash"),
    ("RAINBOW", "Rainbow"),
    ("PRISMEL", "Prismel"),
    ("METEOR", "Meteor"),
    ("MARQUEE", "Marquee"),
    ("TWINKLE", "Twinkle"),
    ("COLOUR_CYCLE", "Colour cycle"),
]
TABS = [("TAB_MODULE_INFO", "Module info"), ("TAB_LIGHTING", "Lighting"), ("TAB_ABOUT", "About")]
SPEEDS = ["SPEED_%d" % n for n in range(1, 6)]

# The artwork's languages: file-name tag and the resource script's LANGUAGE statement. English is drawn as the
# bitmaps themselves; each other language is stored as the parts of those bitmaps where its words differ.
LANGUAGES = [
    ("en", "LANG_ENGLISH, SUBLANG_ENGLISH_US"),
    ("zh-Hans", "LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED"),
    ("zh-Hant", "LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL"),
]

# Every phrase the artwork shows, by its English text: (Simplified Chinese, Traditional Chinese). Where the
# program's message table has the word (About, Apply, Reset, Quit), the artwork uses the same one.
PHRASES = {
    # Page tabs and the title strip.
    "Module info": ("模块信息", "模組資訊"),
    "Module information": ("模块信息", "模組資訊"),
    "Lighting": ("灯光", "燈光"),
    "About": ("关于", "關於"),
    # Mode cards; the product's own effect keeps its name.
    "Static": ("静态", "靜態"),
    "Breathing": ("呼吸", "呼吸"),
    "Single flash": ("单闪", "單閃"),
    "Double flash": ("双闪", "雙閃"),
    "Rainbow": ("彩虹", "彩虹"),
    "Prismel": ("Prismel", "Prismel"),
    "Meteor": ("流星", "流星"),
    "Marquee": ("跑马灯", "跑馬燈"),
    "Twinkle": ("星光", "星光"),
    "Colour cycle": ("色彩循环", "色彩循環"),
    # Lighting page.
    "LIGHTS": ("灯光开关", "燈光開關"),
    "COLOUR": ("颜色", "顏色"),
    "click to pick": ("点击取色", "點擊取色"),
    "HEX": ("十六进制", "十六進位"),
    "PREVIEW": ("预览", "預覽"),
    "SPEED": ("速度", "速度"),
    "slow \u2192 fast": ("慢 \u2192 快", "慢 \u2192 快"),
    "Pick a mode, a colour and a speed,": ("选择模式、颜色和速度，", "選擇模式、顏色和速度，"),
    "then press Apply.": ("然后按“应用”。", "然後按「應用」。"),
    "Choices reach the modules when you press Apply; Reset returns to Prismel.":
        ("按下“应用”后，所选设置才会发送到模块；“重置”恢复 Prismel 模式。",
         "按下「應用」後，所選設定才會傳送到模組；「恢復默認」回到 Prismel 模式。"),
    # Module information page.
    "MODULE": ("模块", "模組"),
    "Facts  \u00b7  JEDEC timings  \u00b7  XMP profiles": ("概况  \u00b7  JEDEC 时序  \u00b7  XMP 配置文件",
                                                           "概況  \u00b7  JEDEC 時序  \u00b7  XMP 設定檔"),
    "Every value is read from the selected module's SPD data.": ("每一项数值都读自所选模块的 SPD 数据。",
                                                                  "每一項數值都讀自所選模組的 SPD 資料。"),
    # About page.
    "Version %s": ("版本 %s", "版本 %s"),
    TAGLINE: ("为 RGB DDR4 内存模块提供灯光控制与 SPD 信息", "為 RGB DDR4 記憶體模組提供燈光控制與 SPD 資訊"),
    MAKER_NOTICE: ("\u00a9 Quenmark Microsystems 保留所有权利。", "\u00a9 Quenmark Microsystems 版權所有。"),
    "Ten lighting modes": ("十种灯光模式", "十種燈光模式"),
    "Static to Colour cycle": ("从静态到色彩循环", "從靜態到色彩循環"),
    "Any colour": ("任意颜色", "任意顏色"),
    "pick it or type it": ("点选或输入", "點選或輸入"),
    "Module details": ("模块详情", "模組詳情"),
    "SPD, JEDEC and XMP": ("SPD、JEDEC 和 XMP", "SPD、JEDEC 與 XMP"),
    "Zorva Prismel runs in the tray; quit it from the tray icon's menu.":
        ("Zorva Prismel 在系统托盘中运行；请从托盘图标的菜单中“退出”。",
         "Zorva Prismel 在系統匣中執行；請從系統匣圖示的選單中「退出」。"),
    "Visit our website \u203a": ("访问我们的网站 \u203a", "造訪我們的網站 \u203a"),
}

# Texts that read the same in every language: names, and the letters and digits of the controls.
UNTRANSLATED = {PRODUCT_NAME, "RGB DDR4", "SPD", "R", "G", "B"} | {str(n) for n in range(1, 6)}

# Chinese is set in the CJK face one pixel larger than the Latin text it replaces (its glyphs fill the em square,
# so it still takes no more height), with less letter spacing; "bold" is the face drawn twice, shifted sideways.
CJK_SIZE_STEP = 1
CJK_TRACKING = 0.5
CJK_BOLD_SHIFT = 0.6

DEFINE_RE = re.compile(r"^\s*#\s*define\s+([A-Za-z_]\w*)\s+(0[xX][0-9A-Fa-f]+|\d+)\s*(?://.*)?$")


# ---- Layout -----------------------------------------------------------------------------------------------------


class Layout:
    """The numbers of SkinLayout.h, by name."""

    def __init__(self, path):
        self.values = {}
        with open(path, encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                if not line.lstrip().startswith("#define") and not line.lstrip().startswith("# define"):
                    continue
                m = DEFINE_RE.match(line)
                if not m:
                    raise SystemExit("%s:%d: not a plain '#define NAME number': %s" % (path, number, line.strip()))
                self.values[m.group(1)] = int(m.group(2), 0)

    def __getitem__(self, name):
        try:
            return self.values[name]
        except KeyError:
            raise SystemExit("SkinLayout.h lacks %s" % name) from None

    def rect(self, role):
        """(x, y, w, h) of a button role."""
        return tuple(self["SKIN_%s_%s" % (role, k)] for k in "XYWH")

    def rgb(self, name):
        c = self["SKIN_COLOUR_" + name]
        return (c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF)


class Theme:
    def __init__(self, lay):
        self.window = lay.rgb("WINDOW")
        self.sidebar = lay.rgb("SIDEBAR")
        self.panel = lay.rgb("PANEL")
        self.frame = lay.rgb("FRAME")
        self.accent = lay.rgb("ACCENT")
        self.bright = lay.rgb("BRIGHT_TEXT")
        self.value = lay.rgb("VALUE_TEXT")
        self.heading = lay.rgb("HEADING_TEXT")
        self.list_row = lay.rgb("LIST_ROW")
        self.shadow_list = lay.rgb("SHADOW_LIST")
        self.wheel_bg = lay.rgb("WHEEL_BACKGROUND")
        self.titlebar = mix(self.window, self.sidebar, 0.6)
        self.well = lay.rgb("WELL")  # recessed fields inside panels: the panel at 70 %
        self.card = (15, 35, 44)
        self.card_hot = (22, 55, 67)
        self.user = (104, 116, 255)  # stands for the user's chosen colour in the mode pictures
        self.meteor = (120, 226, 240)


# ---- Colour helpers ---------------------------------------------------------------------------------------------


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def shade(c, f):
    return tuple(max(0, min(250, int(round(v * f)))) for v in c)


def hue(h, s=1.0, v=1.0):
    r, g, b = colorsys.hsv_to_rgb(h % 1.0, s, v)
    return (int(round(r * 250)), int(round(g * 250)), int(round(b * 250)))


def rgba(c, a=255):
    return (c[0], c[1], c[2], int(a))


# ---- Languages --------------------------------------------------------------------------------------------------


def localise(lang, phrase, face, size, tracking, cjk_size=None):
    """(text, face, size, tracking, bold shift) of an English phrase in another language. A phrase that is neither
    in the table nor one of the untranslated texts stops the build, so no English words slip into the artwork."""
    if phrase in UNTRANSLATED:
        return phrase, face, size, tracking, 0.0
    if phrase not in PHRASES:
        raise SystemExit("gen_skin.py: no %s text for %r; add it to PHRASES" % (lang, phrase))
    text = PHRASES[phrase][[code for code, _ in LANGUAGES].index(lang) - 1]
    return (text, "cjk", cjk_size or size + CJK_SIZE_STEP, min(tracking, CJK_TRACKING),
            CJK_BOLD_SHIFT if face == "bold" else 0.0)


# ---- Drawing surface --------------------------------------------------------------------------------------------


def scale_px(v, dpi):
    """A whole length or edge v (in 96 DPI pixels) at dpi, as the program scales it: half a pixel rounds up."""
    return (v * dpi + BASE_DPI // 2) // BASE_DPI


class Art:
    """An RGBA image with antialiased drawing. Coordinates are continuous: pixel (x, y) covers [x, x+1) x [y, y+1).
    origin shifts every coordinate, so a button can be drawn in page coordinates over its crop of the page.

    Every coordinate and length the drawing code passes is in 96 DPI pixels; dpi sets the scale the image is drawn
    at. A coordinate or length that is a whole number lands on the pixel edge the program's rounding gives it
    (snap), so edges and hairlines that are sharp at 100 % stay sharp at every scale and meet the buttons' scaled
    rectangles exactly; anything else scales continuously (cont). At 96 DPI both leave every number untouched."""

    def __init__(self, img, origin=(0, 0), lang="en", dpi=BASE_DPI):
        self.img = img.convert("RGBA")
        self.dpi = dpi
        self.s = dpi / BASE_DPI
        self.ox, self.oy = self.px(origin[0]), self.px(origin[1])
        self.lang = lang  # the language text() sets its phrases in
        self._fonts = {}

    @property
    def size(self):
        return self.img.size

    def px(self, v):
        """A whole coordinate or length in pixels at this scale."""
        return scale_px(v, self.dpi)

    def span(self, a, b):
        """Pixels between the scaled edges of whole coordinates a and b."""
        return self.px(b) - self.px(a)

    def cont(self, v):
        return v if self.dpi == BASE_DPI else v * self.s

    def snap(self, v):
        if self.dpi == BASE_DPI:
            return v
        if float(v).is_integer():
            return self.px(int(v))
        return v * self.s

    def _line_coord(self, width):
        """The coordinate map of a line of that width: a line whose sides lie on pixel edges at 100 % keeps them
        there, with its scaled width."""
        if self.dpi == BASE_DPI or not float(width).is_integer():
            return self.cont
        half = self.snap(width) / 2

        def m(c):
            edge = c - width / 2
            return self.px(int(edge)) + half if float(edge).is_integer() else c * self.s

        return m

    def font(self, face, size):
        key = (face, size)
        if key not in self._fonts:
            self._fonts[key] = ImageFont.truetype(FONT_FILES[face], size)
        return self._fonts[key]

    # Composite a layer whose top-left lies at image pixel (x, y); parts outside the image are dropped.
    def _composite(self, layer, x, y):
        w, h = self.img.size
        lx0, ly0 = max(0, -x), max(0, -y)
        lx1, ly1 = min(layer.width, w - x), min(layer.height, h - y)
        if lx1 <= lx0 or ly1 <= ly0:
            return
        if (lx0, ly0, lx1, ly1) != (0, 0, layer.width, layer.height):
            layer = layer.crop((lx0, ly0, lx1, ly1))
        self.img.alpha_composite(layer, (x + lx0, y + ly0))

    def _extent(self, box, pad):
        """Image-pixel left, top, width and height of a layer around box with pad pixels on every side."""
        x0, y0, x1, y1 = (self.cont(v) for v in box)
        lx = int(math.floor(x0 - self.ox)) - pad
        ly = int(math.floor(y0 - self.oy)) - pad
        lw = int(math.ceil(x1 - self.ox)) - lx + pad
        lh = int(math.ceil(y1 - self.oy)) - ly + pad
        return lx, ly, lw, lh

    def _mapper(self, lx, ly, ss=SS):
        """P(x, y[, coord]) for a layer at (lx, ly) drawn at ss times: a point in layer coordinates, through the
        coordinate map coord (cont by default)."""

        def P(x, y, coord=self.cont):
            return ((coord(x) - self.ox - lx) * ss, (coord(y) - self.oy - ly) * ss)

        return P

    def layer(self, box, paint, blur=0.0, opacity=1.0, ss=SS):
        """Draws paint(draw, P, S) on a transparent layer around box, supersampled ss times, and composites it.
        P(x, y) maps a point to layer coordinates, S(v) a length."""
        blur = self.cont(blur)
        pad = 2 + int(math.ceil(3 * blur))
        lx, ly, lw, lh = self._extent(box, pad)
        hi = Image.new("RGBA", (lw * ss, lh * ss), (0, 0, 0, 0))
        d = ImageDraw.Draw(hi)

        def S(v):
            return self.cont(v) * ss

        paint(d, self._mapper(lx, ly, ss), S)
        lo = hi.convert("RGBa")
        if ss > 1:
            lo = lo.reduce(ss)
        lo = lo.convert("RGBA")
        if blur:
            lo = lo.filter(ImageFilter.GaussianBlur(blur))
        if opacity < 1.0:
            a = lo.getchannel("A").point(lambda v: int(v * opacity))
            lo.putalpha(a)
        self._composite(lo, lx, ly)

    def _box(self, P, box):
        a = P(box[0], box[1], self.snap)
        b = P(box[2], box[3], self.snap)
        return (a[0], a[1], b[0] - 1, b[1] - 1)

    def _width(self, width):
        """An outline's width in layer pixels."""
        return max(1, int(round(self.snap(width) * SS)))

    def rect(self, box, fill, alpha=255, blur=0.0):
        # A box on whole pixels covers every pixel wholly or not at all, so drawn without supersampling it gives
        # the very layer the supersampled drawing would, in a sixteenth of the work.
        whole = all(float(self.snap(v)).is_integer() for v in box)
        self.layer(box, lambda d, P, S: d.rectangle(self._box(P, box), fill=rgba(fill, alpha)), blur,
                   ss=1 if whole else SS)

    def rrect(self, box, r, fill=None, outline=None, width=1.0, alpha=255, blur=0.0, opacity=1.0):
        def paint(d, P, S):
            b = self._box(P, box)
            if fill is not None:
                d.rounded_rectangle(b, S(r), fill=rgba(fill, alpha))
            if outline is not None:
                d.rounded_rectangle(b, S(r), outline=rgba(outline, alpha), width=self._width(width))

        self.layer(box, paint, blur, opacity)

    def ellipse(self, box, fill=None, outline=None, width=1.0, alpha=255, blur=0.0, opacity=1.0):
        def paint(d, P, S):
            b = self._box(P, box)
            d.ellipse(b, fill=None if fill is None else rgba(fill, alpha),
                      outline=None if outline is None else rgba(outline, alpha), width=self._width(width))

        self.layer(box, paint, blur, opacity)

    def circle(self, cx, cy, r, **kw):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), **kw)

    def polygon(self, pts, fill, alpha=255, blur=0.0, opacity=1.0):
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        self.layer((min(xs), min(ys), max(xs), max(ys)),
                   lambda d, P, S: d.polygon([P(x, y) for x, y in pts], fill=rgba(fill, alpha)), blur, opacity)

    def line(self, pts, fill, width=1.0, alpha=255, blur=0.0, opacity=1.0):
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        w2 = width / 2 + 1
        box = (min(xs) - w2, min(ys) - w2, max(xs) + w2, max(ys) + w2)
        coord = self._line_coord(width)

        def paint(d, P, S):
            lw = self.snap(width) * SS
            d.line([P(x, y, coord) for x, y in pts], fill=rgba(fill, alpha), width=max(1, int(round(lw))),
                   joint="curve")
            for x, y in (pts[0], pts[-1]):  # round caps
                cx, cy = P(x, y, coord)
                r = lw / 2
                d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=rgba(fill, alpha))

        self.layer(box, paint, blur, opacity)

    def gradient_rrect(self, box, r, top, bottom, alpha=255):
        """Rounded rectangle filled with a vertical gradient."""
        # The shape's coverage at 4x, reduced, becomes the alpha of a gradient of the same size.
        lx, ly, lw, lh = self._extent(box, 2)
        hi = Image.new("L", (lw * SS, lh * SS), 0)
        P = self._mapper(lx, ly)
        ImageDraw.Draw(hi).rounded_rectangle(self._box(P, box), self.cont(r) * SS, fill=alpha)
        y0, y1 = self.snap(box[1]), self.snap(box[3])
        col = Image.new("RGBA", (1, lh))
        col.putdata([rgba(mix(top, bottom, min(1.0, max(0.0, (yy + ly + self.oy + 0.5 - y0) / (y1 - y0)))))
                     for yy in range(lh)])
        grad = col.resize((lw, lh), Image.NEAREST)
        grad.putalpha(hi.reduce(SS))
        self._composite(grad, lx, ly)

    def text(self, xy, s, face, size, fill, anchor="la", tracking=0.0, alpha=255, blur=0.0, args=(), cjk_size=None):
        """Text at 1x for crisp hinting; tracking adds space between letters. s is the English phrase, shown in
        the Art's language; args fill its %s places; cjk_size, if given, is the size of its Chinese text. The font
        size is a whole number of pixels at every scale."""
        bold_shift = 0.0
        if self.lang != "en":
            s, face, size, tracking, bold_shift = localise(self.lang, s, face, size, tracking, cjk_size)
        if args:
            s = s % args
        font = self.font(face, self.px(size))
        tracking, bold_shift, blur = self.cont(tracking), self.cont(bold_shift), self.cont(blur)
        x, y = self.snap(xy[0]) - self.ox, self.snap(xy[1]) - self.oy
        if bold_shift:
            self._text1((x, y), s, font, fill, anchor, alpha, blur, bold_shift)
            return
        if tracking:
            widths = [font.getlength(ch) for ch in s]
            total = sum(widths) + tracking * (len(s) - 1)
            if anchor[0] == "m":
                x -= total / 2
            elif anchor[0] == "r":
                x -= total
            anchor = "l" + anchor[1]
            for ch, w in zip(s, widths):
                self._text1((x, y), ch, font, fill, anchor, alpha, blur)
                x += w + tracking
        else:
            self._text1((x, y), s, font, fill, anchor, alpha, blur)

    def text_length(self, s, face, size, cjk_size=None):
        """Advance width of a phrase as text() sets it (without letter spacing), in 96 DPI pixels."""
        if self.lang != "en":
            s, face, size, _, _ = localise(self.lang, s, face, size, 0.0, cjk_size)
        length = self.font(face, self.px(size)).getlength(s)
        return length if self.dpi == BASE_DPI else length / self.s

    def _text1(self, xy, s, font, fill, anchor, alpha, blur, bold_shift=0.0):
        probe = ImageDraw.Draw(Image.new("L", (1, 1)))
        bx0, by0, bx1, by1 = probe.textbbox(xy, s, font=font, anchor=anchor)
        pad = 2 + int(math.ceil(3 * blur))
        lx, ly = int(math.floor(bx0)) - pad, int(math.floor(by0)) - pad
        lay = Image.new("RGBA", (int(math.ceil(bx1)) - lx + pad, int(math.ceil(by1)) - ly + pad), (0, 0, 0, 0))
        ImageDraw.Draw(lay).text((xy[0] - lx, xy[1] - ly), s, font=font, fill=rgba(fill, alpha), anchor=anchor)
        if bold_shift:  # a second pass beside the first thickens the strokes of a face that has no bold
            ImageDraw.Draw(lay).text((xy[0] - lx + bold_shift, xy[1] - ly), s, font=font, fill=rgba(fill, alpha),
                                     anchor=anchor)
        if blur:
            lay = lay.filter(ImageFilter.GaussianBlur(blur))
        self._composite(lay, lx, ly)

    def paste(self, img, xy):
        """Composites an image already drawn at this scale with its top-left at xy."""
        self._composite(img.convert("RGBA"), int(self.snap(xy[0]) - self.ox), int(self.snap(xy[1]) - self.oy))

    def rgb(self):
        """The finished image: RGB, with any near-white pixel pulled below the key colour's tolerance."""
        out = self.img.convert("RGB")
        r, g, b = out.split()
        near = [ch.point(lambda v: 255 if v >= 253 else 0) for ch in (r, g, b)]
        mask = Image.composite(near[0], Image.new("L", out.size, 0), near[1])
        mask = Image.composite(mask, Image.new("L", out.size, 0), near[2])
        if mask.getbbox():
            out.paste((250, 250, 250), mask=mask)
        return out


def vgradient(size, top, bottom):
    col = Image.new("RGB", (1, size[1]))
    col.putdata([mix(top, bottom, y / max(1, size[1] - 1)) for y in range(size[1])])
    return col.resize(size, Image.NEAREST)


def spectrum_strip(width, height, fade=0.18):
    """A horizontal spectrum, fading out at both ends."""
    strip = Image.new("RGBA", (width, 1))
    px = []
    for x in range(width):
        t = x / max(1, width - 1)
        a = min(1.0, t / fade, (1 - t) / fade)
        px.append(rgba(hue(0.02 + 0.78 * t, 0.85, 1.0), 255 * max(0.0, a)))
    strip.putdata(px)
    return strip.resize((width, height), Image.NEAREST)


# ---- Motifs shared by several images ----------------------------------------------------------------------------


def draw_prism(art, cx, cy, s, glass, rim, beam=(226, 232, 236), opacity=1.0, reach=0.95, beam_in=1.05, weight=1.0):
    """The product's mark: a glass prism splitting a beam of light into a spectrum. s is its width; reach and
    beam_in are the lengths of the outgoing spectrum and of the incoming beam, in widths; weight thickens the lines
    for small sizes."""
    top = (cx, cy - 0.50 * s)
    left = (cx - 0.50 * s, cy + 0.38 * s)
    right = (cx + 0.50 * s, cy + 0.38 * s)
    entry = (cx - 0.24 * s, cy - 0.04 * s)
    exitp = (cx + 0.20 * s, cy + 0.02 * s)
    start = (cx - beam_in * s, cy + 0.22 * s * beam_in / 1.05)
    art.line([start, entry], beam, width=max(1.0, 0.055 * s * weight), opacity=opacity)
    bands = 6
    for i in range(bands):
        a0 = math.radians(-14 + 8 * i)
        a1 = math.radians(-14 + 8 * (i + 1))
        r = reach * s
        pts = [exitp, (exitp[0] + r * math.cos(a0), exitp[1] + r * math.sin(a0)),
               (exitp[0] + r * math.cos(a1), exitp[1] + r * math.sin(a1))]
        art.polygon(pts, hue(0.0 + 0.8 * i / (bands - 1), 0.9, 1.0), alpha=235, opacity=opacity)
    art.polygon([top, right, left], glass, alpha=235, opacity=opacity)
    art.line([top, right, left, top], rim, width=max(1.0, 0.045 * s * weight), opacity=opacity)
    art.line([entry, exitp], beam, width=max(1.0, 0.03 * s), alpha=150, opacity=opacity)


def draw_module_stick(art, box, body, edge, chip, pins, notch, led_colours=None, spd_chip=None):
    """A DDR4 module seen from the front: board, memory chips, contact pins, and an optional light bar."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    if led_colours:
        bar = (x0 + 0.03 * w, y0 - 0.16 * h, x1 - 0.03 * w, y0 + 0.02 * h)
        art.rrect(bar, 0.06 * h, fill=shade(body, 0.8), outline=edge, width=1)
        n = len(led_colours)
        seg = (bar[2] - bar[0] - 8) / n
        for i, c in enumerate(led_colours):
            lb = (bar[0] + 4 + i * seg + 1, bar[1] + 3, bar[0] + 4 + (i + 1) * seg - 1, bar[3] - 3)
            art.rrect(lb, 2, fill=c, alpha=200, blur=6)
            art.rrect(lb, 2, fill=c)
    art.rrect(box, 0.06 * h, fill=body, outline=edge, width=1)
    notch_x = x0 + 0.42 * w
    art.rect((notch_x, y1 - 0.16 * h, notch_x + 0.03 * w, y1 + 1), notch)
    pin_top = y1 - 0.14 * h
    x = x0 + 0.04 * w
    while x < x1 - 0.04 * w:
        if not (notch_x - 2 < x < notch_x + 0.03 * w + 1):
            art.rect((x, pin_top, x + max(1.0, 0.006 * w), y1 - 1), pins)
        x += max(2.0, 0.014 * w)
    cw = 0.085 * w
    gap = (w - 8 * cw) / 9.0
    for i in range(8):
        cx0 = x0 + gap + i * (cw + gap)
        art.rrect((cx0, y0 + 0.22 * h, cx0 + cw, y0 + 0.62 * h), 1.5, fill=chip, outline=shade(chip, 1.4))
    if spd_chip:
        sx = x0 + 0.44 * w
        art.rrect((sx, y0 + 0.67 * h, sx + 0.06 * w, y0 + 0.80 * h), 1, fill=spd_chip, blur=3)
        art.rrect((sx, y0 + 0.67 * h, sx + 0.06 * w, y0 + 0.80 * h), 1, fill=spd_chip)


def sparkle(art, cx, cy, r, colour, alpha=255, blur=0.0):
    k = 0.22
    pts = [(cx, cy - r), (cx + k * r, cy - k * r), (cx + r, cy), (cx + k * r, cy + k * r), (cx, cy + r),
           (cx - k * r, cy + k * r), (cx - r, cy), (cx - k * r, cy - k * r)]
    art.polygon(pts, colour, alpha=alpha, blur=blur)


def arrow_head(art, tip, direction, size, colour):
    dx, dy = direction
    n = math.hypot(dx, dy)
    dx, dy = dx / n, dy / n
    back = (tip[0] - dx * size, tip[1] - dy * size)
    art.polygon([tip, (back[0] - dy * size * 0.6, back[1] + dx * size * 0.6),
                 (back[0] + dy * size * 0.6, back[1] - dx * size * 0.6)], colour)


def section_title(art, th, x, y, text):
    art.rect((x, y - 6, x + 3, y + 6), th.accent)
    art.text((x + 10, y), text, "bold", 12, th.value, anchor="lm", tracking=1.6)


# ---- Page backgrounds -------------------------------------------------------------------------------------------


def draw_chrome(lay, th, page_title, lang, dpi):
    """Window face shared by every page: title bar with the product mark, page tabs column, frame, footer."""
    W, H = lay["SKIN_PAGE_W"], lay["SKIN_PAGE_H"]
    art = Art(vgradient((scale_px(W, dpi), scale_px(H, dpi)), mix(th.window, th.panel, 0.25), th.window), lang=lang,
              dpi=dpi)
    art.rect((0, 0, W, 48), th.titlebar)
    art.rect((0, 48, W, 49), th.frame)
    art.paste(spectrum_strip(art.px(W), art.span(48, 49)), (0, 48))
    art.paste(vgradient((art.span(0, 150), art.span(49, H)), th.sidebar, shade(th.sidebar, 0.8)), (0, 49))
    art.rect((149, 49, 150, H), mix(th.sidebar, th.frame, 0.5))
    for role, _ in TABS[1:]:
        y = lay.rect(role)[1]
        art.rect((16, y, 134, y + 1), mix(th.sidebar, th.frame, 0.6))
    y_end = lay.rect(TABS[-1][0])[1] + lay.rect(TABS[-1][0])[3]
    art.rect((16, y_end, 134, y_end + 1), mix(th.sidebar, th.frame, 0.6))

    draw_prism(art, 27, 25, 22, glass=(24, 56, 68), rim=(150, 214, 224), reach=0.62, beam_in=0.72)
    art.text((56, 24), PRODUCT_NAME, "bold", 17, th.bright, anchor="lm")
    art.rect((196, 15, 197, 34), th.frame)
    art.text((212, 24), page_title, "regular", 15, th.value, anchor="lm")

    # The sidebar's foot: a lit light bar, the thing this program drives.
    for i in range(5):
        c = hue(i / 5.0 * 0.8, 0.8, 1.0)
        cx = 39 + i * 18
        art.rrect((cx - 6, 606, cx + 6, 618), 3, fill=c, alpha=160, blur=5)
        art.rrect((cx - 6, 606, cx + 6, 618), 3, fill=c)
    art.text((75, 638), "RGB DDR4", "bold", 11, th.heading, anchor="mm", tracking=2.0)

    art.rect((150, 626, W - 2, 627), mix(th.window, th.frame, 0.6))
    # Window frame; the main window's outline drops column 0, so the frame is doubled at the left.
    art.rect((0, 0, W, 1), th.frame)
    art.rect((0, H - 2, W, H), th.frame)
    art.rect((0, 0, 2, H), th.frame)
    art.rect((W - 2, 0, W, H), th.frame)
    return art


def draw_lighting_page(lay, th, lang, dpi):
    art = draw_chrome(lay, th, "Lighting", lang, dpi)
    px, py, pw, ph = lay.rect("POWER")
    art.text((px - 9, py + ph / 2), "LIGHTS", "bold", 11, th.value, anchor="rm", tracking=1.5)

    col_l, col_r = 732, 960
    # Colour panel: the wheel sits on the panel colour, which is also the wheel's own background.
    art.rrect((col_l, 60, col_r, 432), 10, fill=th.panel, outline=th.frame)
    section_title(art, th, 748, 84, "COLOUR")
    art.text((col_r - 16, 84), "click to pick", "regular", 11, th.heading, anchor="rm")

    bx = [lay["SKIN_RED_BOX_X"], lay["SKIN_GREEN_BOX_X"], lay["SKIN_BLUE_BOX_X"]]
    by, bw, bh = lay["SKIN_COLOUR_BOX_Y"], lay["SKIN_COLOUR_BOX_W"], lay["SKIN_COLOUR_BOX_H"]
    names = [("R", (236, 96, 96)), ("G", (96, 206, 124)), ("B", (104, 146, 246))]
    for x, (n, c) in zip(bx, names):
        art.text((x + bw / 2, by - 11), n, "bold", 12, c, anchor="mm")
        art.rrect((x - 3, by - 3, x + bw + 3, by + bh + 3), 4, fill=th.well, outline=th.frame)

    sl, st, sr, sb = (lay["SKIN_SWATCH_" + k] for k in ("LEFT", "TOP", "RIGHT", "BOTTOM"))
    hx, hl = lay["SKIN_HEX_TEXT_X"], lay["SKIN_HEX_TEXT_LEFT"]
    art.text((hx, st - 11), "HEX", "bold", 11, th.heading, anchor="lm", tracking=1.5)
    art.text((sr, st - 11), "PREVIEW", "bold", 11, th.heading, anchor="rm", tracking=1.5)
    art.rrect((hl, sb - 31, sl - 10, sb + 2), 5, fill=th.well, outline=th.frame)
    art.rrect((sl - 4, st - 4, sr + 4, sb + 4), 6, fill=th.well, outline=th.frame)
    art.rect((sl, st, sr, sb), shade(th.panel, 0.5))

    # Speed panel around the segmented speed control.
    s5 = lay.rect("SPEED_5")
    art.rrect((col_l, 448, col_r, 560), 10, fill=th.panel, outline=th.frame)
    section_title(art, th, 748, 472, "SPEED")
    art.text((s5[0] + s5[2], 472), "slow \u2192 fast", "regular", 11, th.heading, anchor="rm")

    # The one empty cell of the mode grid shows a lit module and how the page works.
    lit = [hue(i / 5.0 * 0.8, 0.85, 1.0) for i in range(5)]
    draw_module_stick(art, (372, 492, 658, 552), body=(20, 44, 52), edge=(40, 78, 90), chip=(12, 26, 32),
                      pins=(150, 128, 70), notch=th.window, led_colours=lit)
    art.text((515, 578), "Pick a mode, a colour and a speed,", "regular", 12, th.value, anchor="mm")
    art.text((515, 594), "then press Apply.", "regular", 12, th.value, anchor="mm")

    art.text((170, 650), "Choices reach the modules when you press Apply; Reset returns to Prismel.", "regular", 12,
             th.heading, anchor="lm")
    return art


def draw_module_info_page(lay, th, lang, dpi):
    art = draw_chrome(lay, th, "Module information", lang, dpi)
    sx, sy, sw, _ = lay.rect("MODULE_SELECTOR")
    sh = lay["SKIN_MODULE_SELECTOR_ITEM_H"] + 6
    art.text((sx - 12, sy + sh / 2), "MODULE", "bold", 11, th.value, anchor="rm", tracking=1.2)
    art.rrect((sx - 4, sy - 4, sx + sw + 4, sy + sh + 4), 6, fill=th.list_row, outline=th.frame)
    draw_module_stick(art, (640, 92, 910, 146), body=(16, 36, 44), edge=(36, 70, 82), chip=(10, 22, 28),
                      pins=(110, 96, 56), notch=th.window, spd_chip=th.accent)
    art.text((775, 160), "SPD", "bold", 10, th.accent, anchor="mm", tracking=2.0)

    x_first = lay["SKIN_MODULE_HEADING_X"]
    y_head = lay["SKIN_MODULE_HEADING_Y"]
    line_y, step, count = lay["SKIN_MODULE_LINE_Y"], lay["SKIN_MODULE_LINE_STEP"], lay["SKIN_MODULE_LINE_COUNT"]
    left, right = x_first - 17, 930
    rows_top = line_y - 6
    rows_bottom = rows_top + count * step
    art.rrect((left, y_head - 17, right, rows_bottom + 6), 10, fill=th.panel, outline=th.frame)
    art.rect((left + 1, y_head - 8, right - 1, y_head + 24), th.well)
    art.rect((left + 1, y_head + 24, right - 1, y_head + 25), th.frame)
    for i in range(count):
        top = rows_top + i * step
        fill = th.list_row if i % 2 == 0 else mix(th.panel, th.list_row, 0.35)
        art.rect((left + 8, top + 1, right - 8, top + step - 1), fill, alpha=150)
    c1 = lay["SKIN_MODULE_COLUMN_1_X"]
    art.rect((c1 - 10, rows_top + 3, c1 - 9, rows_bottom - 3), th.frame)
    # The timing columns of the JEDEC and XMP sub-pages (CL, tRCD, tRP, tRAS, tRC), fainter: the facts sub-page's
    # values end well before the first of them.
    for column in range(2, 7):
        cx = lay["SKIN_MODULE_COLUMN_%d_X" % column]
        art.rect((cx - 10, rows_top + 3, cx - 9, rows_bottom - 3), mix(th.panel, th.frame, 0.6))

    _, by, _, bh = lay.rect("SUBPAGE_BACK")
    fx, _, fw, _ = lay.rect("SUBPAGE_FORWARD")
    art.text((fx + fw + 12, by + bh / 2), "Facts  \u00b7  JEDEC timings  \u00b7  XMP profiles", "regular", 12,
             th.heading, anchor="lm")
    art.text((170, 650), "Every value is read from the selected module's SPD data.", "regular", 12, th.heading,
             anchor="lm")
    return art


def draw_about_page(lay, th, version, lang, dpi):
    art = draw_chrome(lay, th, "About", lang, dpi)
    wx, wy, ww, wh = lay.rect("WEB")
    cx = wx + ww / 2
    art.rrect((cx - 250, 70, cx + 250, 380), 14, fill=th.panel, outline=th.frame)
    art.circle(cx, 128, 46, fill=th.accent, alpha=40, blur=14)
    draw_prism(art, cx, 132, 74, glass=(24, 56, 68), rim=(160, 222, 232))
    art.text((cx, 204), PRODUCT_NAME, "bold", 34, th.bright, anchor="mm")
    art.text((cx, 238), "Version %s", "regular", 15, th.value, anchor="mm", args=(version,))
    art.text((cx, 262), TAGLINE, "regular", 12, th.heading, anchor="mm")
    art.rect((cx - 120, wy + wh + 16, cx + 120, wy + wh + 17), th.frame)
    art.text((cx, wy + wh + 40), MAKER_NOTICE, "regular", 12, th.value, anchor="mm")
    strip_x = int(cx - 150)
    art.paste(spectrum_strip(art.span(strip_x, strip_x + 300), art.span(352, 354), fade=0.3), (strip_x, 352))

    # What the program does, in three tiles under the card.
    tiles = [("Ten lighting modes", "Static to Colour cycle"), ("Any colour", "pick it or type it"),
             ("Module details", "SPD, JEDEC and XMP")]
    tw, gap = 160, 10
    left = cx - (3 * tw + 2 * gap) / 2
    for i, (title, line) in enumerate(tiles):
        x0 = left + i * (tw + gap)
        art.rrect((x0, 404, x0 + tw, 520), 10, fill=mix(th.window, th.panel, 0.7), outline=th.frame)
        icx = x0 + tw / 2
        if i == 0:
            for k in range(5):
                c = hue(k / 5.0 * 0.8, 0.8, 1.0)
                art.rrect((icx - 37 + k * 15, 430, icx - 27 + k * 15, 440), 2.5, fill=c, alpha=150, blur=4)
                art.rrect((icx - 37 + k * 15, 430, icx - 27 + k * 15, 440), 2.5, fill=c)
        elif i == 1:
            for k in range(24):
                a0, a1 = 2 * math.pi * k / 24, 2 * math.pi * (k + 1) / 24
                art.polygon([(icx, 436), (icx + 15 * math.sin(a0), 436 - 15 * math.cos(a0)),
                             (icx + 15 * math.sin(a1), 436 - 15 * math.cos(a1))], hue(k / 24.0, 0.85, 1.0))
        else:
            draw_module_stick(art, (icx - 34, 426, icx + 34, 446), body=(20, 44, 52), edge=(44, 84, 96),
                              chip=(12, 26, 32), pins=(150, 128, 70), notch=mix(th.window, th.panel, 0.7))
        art.text((icx, 474), title, "bold", 13, th.bright, anchor="mm")
        art.text((icx, 494), line, "regular", 12, th.value, anchor="mm")
    art.text((170, 650), "Zorva Prismel runs in the tray; quit it from the tray icon's menu.", "regular", 12,
             th.heading, anchor="lm")
    return art


# ---- Buttons ----------------------------------------------------------------------------------------------------


def over_page(page, rect):
    """An Art of the page's part under a button, drawn in page coordinates."""
    x, y, w, h = rect
    box = (page.px(x), page.px(y), page.px(x + w), page.px(y + h))
    return Art(page.img.crop(box), origin=(x, y), lang=page.lang, dpi=page.dpi)


def draw_window_button(page, rect, kind, hot, th):
    art = over_page(page, rect)
    x, y, w, h = rect
    cx, cy = x + w / 2, y + h / 2
    if hot:
        art.rrect((x + 3, y + 3, x + w - 3, y + h - 3), 6, fill=(188, 44, 56) if kind == "close" else th.frame)
    c = th.bright if hot else th.value
    if kind == "close":
        art.line([(cx - 5.5, cy - 5.5), (cx + 5.5, cy + 5.5)], c, width=2)
        art.line([(cx - 5.5, cy + 5.5), (cx + 5.5, cy - 5.5)], c, width=2)
    else:
        art.line([(cx - 6.5, cy + 4), (cx + 6.5, cy + 4)], c, width=2)
    return art.rgb()


def draw_tab(page, rect, role, label, hot, th):
    art = over_page(page, rect)
    x, y, w, h = rect
    if hot:
        art.rect((x, y + 1, x + w - 1, y + h), mix(th.sidebar, th.card_hot, 0.8))
        art.rect((x, y + 12, x + 4, y + h - 12), th.accent, blur=4)
        art.rect((x, y + 12, x + 4, y + h - 12), th.accent)
    c = th.accent if hot else th.value
    cx, cy = x + w / 2, y + 44
    if hot:
        tab_icon(art, role, cx, cy, c, th, blur=5)
    tab_icon(art, role, cx, cy, c, th)
    art.text((cx, y + 86), label, "bold", 14, th.bright if hot else th.value, anchor="mm")
    return art.rgb()


def tab_icon(art, role, cx, cy, c, th, blur=0.0):
    if role == "TAB_MODULE_INFO":
        art.rrect((cx - 28, cy - 12, cx + 28, cy + 10), 2, outline=c, width=2, blur=blur)
        if not blur:
            for i in range(4):
                x0 = cx - 23 + i * 12
                art.rect((x0, cy - 7, x0 + 9, cy + 2), c)
            for i in range(13):
                x0 = cx - 24 + i * 4
                art.rect((x0, cy + 11, x0 + 2, cy + 16), c, alpha=200)
    elif role == "TAB_LIGHTING":
        art.circle(cx, cy - 4, 11, outline=c, width=2, blur=blur)
        if not blur:
            art.rect((cx - 5, cy + 9, cx + 5, cy + 11), c)
            art.rect((cx - 4, cy + 13, cx + 4, cy + 15), c)
            for k in range(7):
                a = math.radians(-180 + 30 * k)
                art.line([(cx + 15 * math.cos(a), cy - 4 + 15 * math.sin(a)),
                          (cx + 20 * math.cos(a), cy - 4 + 20 * math.sin(a))], c, width=2)
    else:
        art.circle(cx, cy, 16, outline=c, width=2, blur=blur)
        if not blur:
            art.circle(cx, cy - 7.5, 2.2, fill=c)
            art.rrect((cx - 1.6, cy - 2.5, cx + 1.6, cy + 9), 1, fill=c)


def draw_mode_button(page, rect, role, name, hot, th):
    art = over_page(page, rect)
    x, y, w, h = rect
    card = (x + 3, y + 3, x + w - 3, y + h - 3)
    if hot:
        art.rrect(card, 10, fill=th.accent, alpha=120, blur=4)
        art.gradient_rrect(card, 10, mix(th.card_hot, th.accent, 0.12), th.card_hot)
        art.rrect(card, 10, outline=th.accent, width=2)
    else:
        art.gradient_rrect(card, 10, mix(th.card, th.frame, 0.25), th.card)
        art.rrect(card, 10, outline=mix(th.card, th.frame, 0.9), width=1)
    layer = mode_picture(role, art.dpi, th)
    if hot:
        glow = layer.filter(ImageFilter.GaussianBlur(art.cont(5)))
        art.paste(glow, (x + 14, y + 12))
        art.paste(layer, (x + 14, y + 12))
    else:
        a = layer.getchannel("A").point(lambda v: int(v * 0.55))
        dim = layer.copy()
        dim.putalpha(a)
        art.paste(dim, (x + 14, y + 12))
    art.text((x + w / 2, y + 111), name, "bold", 16, th.bright if hot else th.value, anchor="mm")
    return art.rgb()


_mode_pictures = {}


def mode_picture(role, dpi, th):
    """A mode card's picture, 153 x 80 at 100 %; the same for both looks and every language, so drawn once."""
    if (role, dpi) not in _mode_pictures:
        pic = Art(Image.new("RGBA", (scale_px(153, dpi), scale_px(80, dpi)), (0, 0, 0, 0)), dpi=dpi)
        MODE_PICTURES[role](pic, th)
        _mode_pictures[role, dpi] = pic.img
    return _mode_pictures[role, dpi]


LED_Y0, LED_Y1 = 22, 42


def led_boxes():
    w, gap = 20, 8
    x0 = (153 - (5 * w + 4 * gap)) / 2
    return [(x0 + i * (w + gap), LED_Y0, x0 + i * (w + gap) + w, LED_Y1) for i in range(5)]


def leds(art, colours, alphas=None, glow=True):
    for i, b in enumerate(led_boxes()):
        c = colours[i]
        if c is None:
            art.rrect(b, 4, fill=(40, 66, 76), outline=(58, 92, 104))
            continue
        a = 255 if alphas is None else alphas[i]
        if glow:
            art.rrect(b, 4, fill=c, alpha=a * 0.7, blur=5)
        art.rrect(b, 4, fill=c, alpha=a)


def pic_static(art, th):
    leds(art, [th.user] * 5)
    art.line([(12, 62), (141, 62)], th.user, width=3)


def pic_breathing(art, th):
    pts = [(x, 40 + 22 * math.cos((x - 12) / 129.0 * 4 * math.pi)) for x in range(12, 142)]
    art.polygon([(12, 66)] + pts + [(141, 66)], th.user, alpha=50)
    art.line(pts, th.user, width=3)


def pulse_train(art, th, starts, width):
    base, top = 64, 16
    pts = [(10, base)]
    for s in starts:
        pts += [(s, base), (s, top), (s + width, top), (s + width, base)]
    pts.append((143, base))
    for s in starts:
        art.rect((s, top, s + width, base), th.user, alpha=60)
    art.line(pts, th.user, width=3)


def pic_single_flash(art, th):
    pulse_train(art, th, [28, 70, 112], 10)


def pic_double_flash(art, th):
    pulse_train(art, th, [24, 40, 86, 102], 7)


def pic_rainbow(art, th):
    leds(art, [hue(i / 5.0 * 0.8, 0.85, 1.0) for i in range(5)])
    w, h = art.span(13, 139), art.span(58, 64)
    strip = spectrum_strip(w, h, fade=0.001)
    mask = Image.new("L", (w * SS, h * SS), 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, w * SS - 1, h * SS - 1), art.cont(3) * SS, fill=255)
    strip.putalpha(mask.reduce(SS))
    art.paste(strip, (13, 58))


def pic_prismel(art, th):
    draw_prism(art, 74, 42, 58, glass=(26, 60, 72), rim=(170, 226, 236))


def pic_meteor(art, th):
    leds(art, [th.meteor] * 5, alphas=[30, 60, 110, 170, 255])
    for k, yy in enumerate((56, 62, 68)):
        art.line([(20 + 14 * k, yy), (120 - 8 * k, yy)], th.meteor, width=2, alpha=90 + 50 * (k == 1))
    arrow_head(art, (140, 62), (1, 0), 9, th.meteor)


def pic_marquee(art, th):
    leds(art, [None, None, th.meteor, None, None])
    art.line([(22, 62), (131, 62)], th.meteor, width=2)
    arrow_head(art, (14, 62), (-1, 0), 9, th.meteor)
    arrow_head(art, (139, 62), (1, 0), 9, th.meteor)


def pic_twinkle(art, th):
    leds(art, [None] * 5)
    boxes = led_boxes()
    for i, r in ((0, 11), (4, 16), (1, 8), (3, 12)):
        b = boxes[i]
        cx, cy = (b[0] + b[2]) / 2, (b[1] + b[3]) / 2
        sparkle(art, cx, cy, r, (236, 244, 248), blur=3)
        sparkle(art, cx, cy, r, (236, 244, 248))
    sparkle(art, 64, 64, 6, th.meteor)
    sparkle(art, 110, 60, 4, th.meteor)
    sparkle(art, 30, 62, 5, th.meteor)


def pic_colour_cycle(art, th):
    palette = [(240, 70, 70), (240, 200, 60), (70, 220, 110), (60, 150, 245), (210, 80, 235)]
    leds(art, palette)
    pts = [(76 + 62 * math.cos(math.radians(a)), 48 + 22 * math.sin(math.radians(a))) for a in range(160, 20, -4)]
    art.line(pts, th.value, width=2)
    end = pts[-1]
    prev = pts[-3]
    arrow_head(art, (end[0] + 3, end[1] - 4), (end[0] - prev[0], end[1] - prev[1]), 8, th.value)


MODE_PICTURES = {
    "STATIC": pic_static,
    "BREATHING": pic_breathing,
    "SINGLE_FLASH": pic_single_flash,
    "DOUBLE_FLASH": pic_double_flash,
    "RAINBOW": pic_rainbow,
    "PRISMEL": pic_prismel,
    "METEOR": pic_meteor,
    "MARQUEE": pic_marquee,
    "TWINKLE": pic_twinkle,
    "COLOUR_CYCLE": pic_colour_cycle,
}


def segmented_bar(lay, roles):
    """The rounded outline shared by a row of adjoining buttons."""
    first, last = lay.rect(roles[0]), lay.rect(roles[-1])
    return (first[0], first[1], last[0] + last[2], last[1] + last[3])


def draw_segment(art, th, bar, rect, index, hot, radius):
    x, y, w, h = rect
    if hot:
        art.gradient_rrect(bar, radius, (26, 116, 130), (14, 72, 84))
        art.rrect(bar, radius, outline=th.accent, width=1.5)
        # Close the selected segment's sides where it meets its neighbours.
        if x > bar[0]:
            art.rect((x, y + 1, x + 1.5, y + h - 1), th.accent)
        if x + w < bar[2]:
            art.rect((x + w - 1.5, y + 1, x + w, y + h - 1), th.accent)
    else:
        art.gradient_rrect(bar, radius, mix(th.card, th.frame, 0.3), th.card)
        art.rrect(bar, radius, outline=th.frame, width=1)
        if index > 0:
            art.rect((x, y + 7, x + 1, y + h - 7), th.frame)


def draw_speed_button(page, lay, th, n, hot):
    roles = SPEEDS
    rect = lay.rect(roles[n])
    art = over_page(page, rect)
    bar = segmented_bar(lay, roles)
    draw_segment(art, th, bar, rect, n, hot, 12)
    x, y, w, h = rect
    cx = x + w / 2
    digit_colour = th.bright if hot else th.value
    if hot:
        art.text((cx, y + 17), str(n + 1), "digits", 14, th.accent, anchor="mm", blur=3)
    art.text((cx, y + 17), str(n + 1), "digits", 14, digit_colour, anchor="mm")
    for k in range(5):
        bx0 = cx - 11.5 + k * 5
        top = y + 40 - (2 + 2 * k)
        lit = k <= n
        c = (th.accent if hot else th.value) if lit else mix(th.card, th.frame, 1.0)
        art.rect((bx0, top, bx0 + 3, y + 40), c)
    return art.rgb()


def draw_subpage_button(page, lay, th, role, hot):
    roles = ["SUBPAGE_BACK", "SUBPAGE_FORWARD"]
    rect = lay.rect(role)
    art = over_page(page, rect)
    draw_segment(art, th, segmented_bar(lay, roles), rect, roles.index(role), hot, 7)
    x, y, w, h = rect
    cx, cy = x + w / 2, y + h / 2
    d = -1 if role == "SUBPAGE_BACK" else 1
    c = th.bright if hot else th.value
    art.line([(cx - 2 * d, cy - 5), (cx + 3 * d, cy), (cx - 2 * d, cy + 5)], c, width=2)
    return art.rgb()


def draw_action_button(page, rect, primary, hot, th):
    """Apply and Reset. The window draws the caption, centred above the bottom six rows, so the face ends there."""
    art = over_page(page, rect)
    x, y, w, h = rect
    face = (x + 2, y + 1, x + w - 2, y + h - 6)
    lip = (x + 2, y + 4, x + w - 2, y + h - 2)
    if primary:
        top, bottom, lipc = ((44, 180, 196), (28, 138, 152), (12, 70, 80)) if hot else \
            ((30, 142, 158), (20, 106, 120), (10, 54, 62))
    else:
        top, bottom, lipc = ((66, 110, 124), (48, 86, 98), (20, 40, 48)) if hot else \
            ((44, 80, 92), (32, 60, 70), (14, 30, 36))
    if hot:
        art.rrect(face, 7, fill=th.accent if primary else th.value, alpha=110, blur=4)
    art.rrect(lip, 7, fill=lipc)
    art.gradient_rrect(face, 7, top, bottom)
    art.rrect(face, 7, outline=mix(top, (250, 250, 250), 0.25), width=1, alpha=120)
    return art.rgb()


def draw_power(page, rect, on, th):
    art = over_page(page, rect)
    x, y, w, h = rect
    track = (x + 1, y + 2, x + w - 1, y + h - 2)
    r = (track[3] - track[1]) / 2
    if on:
        art.rrect(track, r, fill=th.accent, alpha=150, blur=3)
        art.rrect(track, r, fill=(26, 168, 184))
        art.circle(track[2] - r, y + h / 2, r - 2, fill=(232, 240, 244))
    else:
        art.rrect(track, r, fill=(30, 48, 56), outline=th.frame, width=1)
        art.circle(track[0] + r, y + h / 2, r - 2, fill=(112, 130, 138))
    return art.rgb()


def draw_web_button(page, rect, hot, th):
    art = over_page(page, rect)
    x, y, w, h = rect
    c = th.accent if hot else th.value
    label = "Visit our website \u203a"
    cjk = 11  # Chinese glyphs fill the em square: at 11 pixels they keep clear of the underline
    if hot:
        art.text((x + w / 2, y + 7), label, "bold", 12, th.accent, anchor="mm", blur=2.5, cjk_size=cjk)
    art.text((x + w / 2, y + 7), label, "bold", 12, c, anchor="mm", cjk_size=cjk)
    tw = art.text_length(label, "bold", 12, cjk_size=cjk)
    art.rect((x + w / 2 - tw / 2, y + h - 2, x + w / 2 + tw / 2, y + h - 1), c, alpha=255 if hot else 110)
    return art.rgb()


def draw_wheel(lay, th, dpi):
    """Hue around the disc (red at the top, clockwise), saturation from the centre outwards, full value.
    Saturation starts slightly above zero so the centre is never near-white, and value is full, so no pixel of
    the disc can equal the dark background colour. At dpi the image is the wheel's scaled rectangle, which may be
    a pixel wider than high or the other way round; the disc fits the smaller side."""
    x, y, w, h = lay.rect("COLOUR_WHEEL")
    w, h = scale_px(x + w, dpi) - scale_px(x, dpi), scale_px(y + h, dpi) - scale_px(y, dpi)
    bg = th.wheel_bg
    cx, cy = (w - 1) / 2.0, (h - 1) / 2.0
    radius = min(w, h) / 2.0 - 2.0 * dpi / BASE_DPI
    s_min = 0.04
    n = 4
    px = []
    for yy in range(h):
        for xx in range(w):
            d = math.hypot(xx - cx, yy - cy)
            if d > radius + 1:
                px.append(bg)
                continue
            if d < radius - 1:  # wholly inside: one sample, at the centre
                dx, dy = xx - cx, yy - cy
                hh = (math.atan2(dx, -dy) / (2 * math.pi)) % 1.0
                rr, gg, bb = colorsys.hsv_to_rgb(hh, s_min + (1 - s_min) * min(1.0, d / radius), 1.0)
                colour = (int(round(rr * 255)), int(round(gg * 255)), int(round(bb * 255)))
                # cannot equal the background at full value; kept as a guard
                px.append((bg[0] + 1, bg[1], bg[2]) if colour == bg else colour)
                continue
            samples = [((i + 0.5) / n - 0.5, (j + 0.5) / n - 0.5) for i in range(n) for j in range(n)]
            acc = [0.0, 0.0, 0.0]
            inside = 0
            for sx, sy in samples:
                dx, dy = xx + sx - cx, yy + sy - cy
                r = math.hypot(dx, dy)
                if r > radius:
                    continue
                inside += 1
                hh = (math.atan2(dx, -dy) / (2 * math.pi)) % 1.0
                rr, gg, bb = colorsys.hsv_to_rgb(hh, s_min + (1 - s_min) * min(1.0, r / radius), 1.0)
                acc[0] += rr * 255
                acc[1] += gg * 255
                acc[2] += bb * 255
            cov = inside / len(samples)
            if inside == 0:
                px.append(bg)
                continue
            px.append(tuple(int(round(bg[k] * (1 - cov) + acc[k] / inside * cov)) for k in range(3)))
    img = Image.new("RGB", (w, h))
    img.putdata(px)
    return img


# ---- Icon -------------------------------------------------------------------------------------------------------


def draw_icon_master(th, small=False, size=256):
    """The icon at 256 pixels; the small form has a larger prism and heavier lines so it reads at 16 pixels."""
    art = Art(Image.new("RGBA", (size, size), (0, 0, 0, 0)))
    s = size
    m = 0.0 if small else 0.03
    art.gradient_rrect((s * m, s * m, s * (1 - m), s * (1 - m)), s * 0.2, (26, 60, 74), (8, 18, 24))
    if small:
        draw_prism(art, s * 0.44, s * 0.56, s * 0.78, glass=(30, 70, 84), rim=(200, 238, 244), reach=0.5,
                   beam_in=0.62, weight=2.2)
    else:
        art.rrect((s * m, s * m, s * (1 - m), s * (1 - m)), s * 0.2, outline=(60, 120, 136), width=s * 0.025)
        draw_prism(art, s * 0.47, s * 0.54, s * 0.60, glass=(30, 70, 84), rim=(190, 232, 240))
    return art.img


def icon_image(master, size):
    return master.convert("RGBa").resize((size, size), Image.LANCZOS).convert("RGBA")


def write_ico(path, images):
    """An icon file of 32-bit images with alpha and an AND mask, one per size."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for img in images:
        w, h = img.size
        xor = bytearray()
        for yy in range(h - 1, -1, -1):
            for xx in range(w):
                r, g, b, a = img.getpixel((xx, yy))
                xor += bytes((b, g, r, a))
        mask_stride = ((w + 31) // 32) * 4
        andm = bytearray()
        for yy in range(h - 1, -1, -1):
            row = bytearray(mask_stride)
            for xx in range(w):
                if img.getpixel((xx, yy))[3] == 0:
                    row[xx // 8] |= 0x80 >> (xx % 8)
            andm += row
        header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
        blob = header + bytes(xor) + bytes(andm)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        for e in entries:
            f.write(e)
        for b in blobs:
            f.write(b)


# ---- Roster -----------------------------------------------------------------------------------------------------


def file_name(macro):
    return macro[len("IDB_"):].lower() + ".bmp"


def roster(lay):
    """(resource id, file name, drawer(pages) -> RGB image, has words) for every bitmap, in resource order. A
    bitmap with words is drawn in every language, over the pages of that language."""
    th = Theme(lay)
    items = []

    def add(macro, draw):
        items.append((lay[macro], file_name(macro), draw, macro in worded))

    worded = {"IDB_" + role for role, _ in PAGE_ROLES} | {"IDB_WEB", "IDB_WEB_HOT"}
    worded |= {"IDB_%s%s" % (role, hot) for role, _ in TABS for hot in ("", "_HOT")}
    worded |= {"IDB_MODE_%s%s" % (role, hot) for role, _ in MODES for hot in ("", "_HOT")}

    for role, _ in PAGE_ROLES:
        add("IDB_" + role, lambda p, role=role: p[role].rgb())
    for kind in ("MINIMISE", "CLOSE"):
        for hot in (False, True):
            add("IDB_%s%s" % (kind, "_HOT" if hot else ""),
                lambda p, kind=kind, hot=hot: draw_window_button(p["PAGE_LIGHTING"], lay.rect(kind), kind.lower(),
                                                                 hot, th))
    for role, label in TABS:
        for hot in (False, True):
            add("IDB_%s%s" % (role, "_HOT" if hot else ""),
                lambda p, role=role, label=label, hot=hot: draw_tab(p["PAGE_LIGHTING"], lay.rect(role), role, label,
                                                                    hot, th))
    for role, name in MODES:
        for hot in (False, True):
            add("IDB_MODE_%s%s" % (role, "_HOT" if hot else ""),
                lambda p, role=role, name=name, hot=hot: draw_mode_button(p["PAGE_LIGHTING"],
                                                                          lay.rect("MODE_" + role), role, name, hot,
                                                                          th))
    for n in range(5):
        for hot in (False, True):
            add("IDB_%s%s" % (SPEEDS[n], "_HOT" if hot else ""),
                lambda p, n=n, hot=hot: draw_speed_button(p["PAGE_LIGHTING"], lay, th, n, hot))
    for role, primary in (("APPLY", True), ("RESET", False)):
        for hot in (False, True):
            add("IDB_%s%s" % (role, "_HOT" if hot else ""),
                lambda p, role=role, primary=primary, hot=hot: draw_action_button(p["PAGE_LIGHTING"], lay.rect(role),
                                                                                  primary, hot, th))
    for on in (True, False):
        add("IDB_POWER_%s" % ("ON" if on else "OFF"),
            lambda p, on=on: draw_power(p["PAGE_LIGHTING"], lay.rect("POWER"), on, th))
    add("IDB_COLOUR_WHEEL", lambda p: draw_wheel(lay, th, p["PAGE_LIGHTING"].dpi))
    for role in ("SUBPAGE_BACK", "SUBPAGE_FORWARD"):
        for hot in (False, True):
            add("IDB_%s%s" % (role, "_HOT" if hot else ""),
                lambda p, role=role, hot=hot: draw_subpage_button(p["PAGE_MODULE_INFO"], lay, th, role, hot))
    for hot in (False, True):
        add("IDB_WEB%s" % ("_HOT" if hot else ""), lambda p, hot=hot: draw_web_button(p["PAGE_ABOUT"],
                                                                                        lay.rect("WEB"), hot, th))
    return th, items


ICON_FILE = "prismel.ico"
RC_FILE = "skin.rc"
PATCH_ROW_GAP = 3  # rows without a change that a patch rectangle may still span
PATCH_COLUMN_GAP = 12  # likewise columns; wider gaps start a new rectangle


def variant_name(name, lang, extension):
    return "%s.%s.%s" % (name[:-len(".bmp")], lang, extension)


def patch_rectangles(base, variant):
    """(x, y, w, h) rectangles that together cover every pixel where variant differs from base."""
    bands = ImageChops.difference(base, variant).split()
    changed = ImageChops.lighter(ImageChops.lighter(bands[0], bands[1]), bands[2]).point(lambda v: 255 if v else 0)
    w, h = changed.size
    rows = [y for y in range(h) if changed.crop((0, y, w, y + 1)).getbbox()]
    runs = []
    for y in rows:
        if runs and y - runs[-1][1] <= PATCH_ROW_GAP + 1:
            runs[-1][1] = y
        else:
            runs.append([y, y])
    rects = []
    for y0, y1 in runs:
        band = changed.crop((0, y0, w, y1 + 1))
        columns = [x for x, v in enumerate(band.resize((w, 1), Image.BOX).getdata()) if v]
        start = prev = columns[0]
        for x in columns[1:] + [None]:
            if x is None or x - prev > PATCH_COLUMN_GAP + 1:
                rects.append((start, y0, prev - start + 1, y1 - y0 + 1))
                start = x
            prev = x
    return rects


def encode_patch(lay, base, variant):
    """The patch resource the program applies to base to show variant: the magic, the bitmap's width and height
    and the rectangle count, then per rectangle its x, y, width and height and its pixels, top row first, as blue,
    green, red bytes. Every number is a 16-bit little-endian value."""
    assert base.size == variant.size
    rects = patch_rectangles(base, variant)
    out = bytearray(struct.pack("<IHHH", lay["SKIN_PATCH_MAGIC"], base.width, base.height, len(rects)))
    for x, y, w, h in rects:
        out += struct.pack("<HHHH", x, y, w, h)
        out += variant.crop((x, y, x + w, y + h)).tobytes("raw", "BGR")
    return bytes(out)


def art_scales(lay):
    """(dpi, percent, resource type) of every drawing above 96 DPI, smallest first."""
    base, step, largest = lay["SKIN_BASE_DPI"], lay["SKIN_ART_DPI_STEP"], lay["SKIN_ART_LARGEST_DPI"]
    if base != BASE_DPI:
        raise SystemExit("gen_skin.py draws its numbers at %d DPI, SkinLayout.h says %d" % (BASE_DPI, base))
    return [(base + k * step, (base + k * step) * 100 // base, lay["SKIN_SCALED_RESOURCE_TYPE"] + k - 1)
            for k in range(1, (largest - base) // step + 1)]


def scaled_name(name, percent, lang=None):
    """NAME.<percent>.png, or NAME.<percent>.<lang>.png for a language's patch."""
    stem = name[:-len(".bmp")]
    return "%s.%d.%s.png" % (stem, percent, lang) if lang else "%s.%d.png" % (stem, percent)


def output_names(lay, items):
    names = [n for _, n, _, _ in items]
    for lang, _ in LANGUAGES[1:]:
        names += [variant_name(n, lang, ext) for _, n, _, worded in items if worded for ext in ("bmp", "skp")]
    for _, percent, _ in art_scales(lay):
        names += [scaled_name(n, percent) for _, n, _, _ in items]
        for lang, _ in LANGUAGES[1:]:
            names += [scaled_name(n, percent, lang) for _, n, _, worded in items if worded]
    return names + [ICON_FILE, RC_FILE]


def patch_image(base, variant):
    """The language patch of a scaled drawing: variant's pixels, opaque, where it differs from base, and
    transparent black everywhere else."""
    assert base.size == variant.size
    bands = ImageChops.difference(base, variant).split()
    changed = ImageChops.lighter(ImageChops.lighter(bands[0], bands[1]), bands[2]).point(lambda v: 255 if v else 0)
    return Image.composite(variant.convert("RGBA"), Image.new("RGBA", base.size, (0, 0, 0, 0)), changed)


def save_png(img, path):
    img.save(path, format="PNG", compress_level=6)


def draw_pages(lay, th, version, lang, dpi=BASE_DPI):
    return {
        "PAGE_LIGHTING": draw_lighting_page(lay, th, lang, dpi),
        "PAGE_MODULE_INFO": draw_module_info_page(lay, th, lang, dpi),
        "PAGE_ABOUT": draw_about_page(lay, th, version, lang, dpi),
    }


def draw_images(lay, th, items, version, dpi, lang):
    """{file name: image} of every bitmap drawn at dpi in lang; a language other than English draws only the
    bitmaps with words."""
    pages = draw_pages(lay, th, version, lang, dpi)
    return {name: draw(pages) for _, name, draw, worded in items if lang == "en" or worded}


def write_scale(header, out, version, dpi):
    """Draws and writes every file of one scale: at 96 DPI the BMP files and their language variants and patches,
    above it the PNG files and their language patches. Returns None, or the reason it stopped."""
    try:
        lay = Layout(header)
        th, items = roster(lay)
        english = draw_images(lay, th, items, version, dpi, "en")
        if dpi == BASE_DPI:
            for name, img in english.items():
                img.save(os.path.join(out, name), format="BMP")
        else:
            percent = {d: p for d, p, _ in art_scales(lay)}[dpi]
            for name, img in english.items():
                save_png(img, os.path.join(out, scaled_name(name, percent)))
        for lang, _ in LANGUAGES[1:]:
            for name, img in draw_images(lay, th, items, version, dpi, lang).items():
                if dpi == BASE_DPI:
                    img.save(os.path.join(out, variant_name(name, lang, "bmp")), format="BMP")
                    with open(os.path.join(out, variant_name(name, lang, "skp")), "wb") as f:
                        f.write(encode_patch(lay, english[name], img))
                else:
                    save_png(patch_image(english[name], img), os.path.join(out, scaled_name(name, percent, lang)))
    except SystemExit as e:  # a worker process must hand the reason back rather than end
        return str(e.code)
    return None


def resource_script(lay, items):
    """skin.rc: the English bitmaps, the icon and the scaled drawings, then per other language its patches."""
    rc = ["// Skin bitmaps and icon, generated by tools/gen_skin.py from res/SkinLayout.h. Do not edit.",
          "LANGUAGE " + LANGUAGES[0][1]]
    rc += ['%d BITMAP "%s"' % (rid, name) for rid, name, _, _ in items]
    rc.append('%d ICON "%s"' % (lay["IDI_PRISMEL"], ICON_FILE))
    for dpi, percent, kind in art_scales(lay):
        rc += ["// %d %% (%d DPI)" % (percent, dpi)]
        rc += ['%d %d "%s"' % (rid, kind, scaled_name(name, percent)) for rid, name, _, _ in items]
    for lang, statement in LANGUAGES[1:]:
        rc += ["", "// %s" % lang, "LANGUAGE " + statement]
        rc += ['%d %d "%s"' % (rid, lay["SKIN_PATCH_RESOURCE_TYPE"], variant_name(name, lang, "skp"))
               for rid, name, _, worded in items if worded]
        for _, percent, kind in art_scales(lay):
            rc += ['%d %d "%s"' % (rid, kind, scaled_name(name, percent, lang))
                   for rid, name, _, worded in items if worded]
    rc.append("LANGUAGE " + LANGUAGES[0][1])
    return "\n".join(rc) + "\n"


ICON_SIZES = [(16, True), (20, True), (24, True), (32, False), (40, False), (48, False)]  # (pixels, small master)


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--header", required=True, help="path of SkinLayout.h")
    ap.add_argument("--out", required=True, help="folder to write the skin into")
    ap.add_argument("--version", default="1.0.0", help="version shown on the about page")
    ap.add_argument("--list", action="store_true", help="only print the names of the files it would write")
    ap.add_argument("--jobs", type=int, default=2, choices=(1, 2), help="processes that draw the scales")
    args = ap.parse_args(argv)

    lay = Layout(args.header)
    th, items = roster(lay)
    ids = [i for i, _, _, _ in items]
    if len(set(ids)) != len(ids):
        raise SystemExit("SkinLayout.h gives two bitmaps the same id")
    if args.list:
        print("\n".join(output_names(lay, items)))
        return 0
    for path in FONT_FILES.values():
        if not os.path.exists(path):
            raise SystemExit("font missing: %s (install fonts-liberation, fonts-dseg and fonts-wqy-microhei)" % path)

    os.makedirs(args.out, exist_ok=True)
    # Largest first, so two processes finish at about the same time. Each scale writes its own files, so the
    # order in which they finish changes nothing.
    dpis = [dpi for dpi, _, _ in reversed(art_scales(lay))] + [BASE_DPI]
    jobs = [(args.header, args.out, args.version, dpi) for dpi in dpis]
    if args.jobs > 1:
        with multiprocessing.get_context("fork").Pool(args.jobs) as pool:
            failures = pool.starmap(write_scale, jobs, chunksize=1)
    else:
        failures = [write_scale(*job) for job in jobs]
    for failure in failures:
        if failure is not None:
            raise SystemExit(failure)

    master, small = draw_icon_master(th), draw_icon_master(th, small=True)
    write_ico(os.path.join(args.out, ICON_FILE), [icon_image(small if s else master, n) for n, s in ICON_SIZES])
    with open(os.path.join(args.out, RC_FILE), "w", encoding="ascii", newline="\n") as f:
        f.write(resource_script(lay, items))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
