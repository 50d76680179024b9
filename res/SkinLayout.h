// Layout of the skin: bitmap resource ids, the rectangles of the skinned buttons, the places on the page
// backgrounds that the window paints into, and the theme colours.
//
// One plain "#define NAME number" per line, so that the resource script, the C++ code and the artwork
// generator (tools/gen_skin.py, which parses this file) all read the same numbers. Rectangles are in client
// pixels of the 990 x 675 window; X/Y is the top-left corner, W/H the size. A button's W/H is the size of its
// images. Colours are COLORREF values (red in the low byte).
#pragma once

// ---- Icon and page backgrounds ---------------------------------------------------------------------------
#define IDI_PRISMEL 128
#define IDB_PAGE_LIGHTING 129
#define IDB_PAGE_MODULE_INFO 281
#define IDB_PAGE_ABOUT 298
#define SKIN_PAGE_W 990
#define SKIN_PAGE_H 675

// ---- Language variants -------------------------------------------------------------------------------------
// A bitmap with words is drawn in English; for each other language the resources hold, under the same id and in
// that language, a patch of this type: the rectangles where its words differ (format in skin/SkinPatch.h).
#define SKIN_PATCH_RESOURCE_TYPE 256
#define SKIN_PATCH_MAGIC 0x31504B53

// ---- Scales ---------------------------------------------------------------------------------------------------
// Every number of this file is a length at 96 DPI (100 %). At d DPI a length v is (v * d + 48) / 96 in integer
// arithmetic (half a pixel rounds up), and a rectangle scales its left, top, right and bottom edges so, which keeps
// adjoining rectangles adjoining: its scaled size is the difference of its scaled edges.
// The artwork is drawn at 96 DPI as the BITMAP resources and at each further step of SKIN_ART_DPI_STEP up to
// SKIN_ART_LARGEST_DPI (125, 150, 175 and 200 %). The drawing at 96 + k * SKIN_ART_DPI_STEP DPI (k = 1, 2, ...) of
// bitmap id N is a PNG, resource type SKIN_SCALED_RESOURCE_TYPE + k - 1, name N, in English; for each other
// language a 32-bit PNG of the same size under the same type and name in that language patches it: alpha 255
// where the language's pixel replaces the English one, alpha 0 (and black) everywhere else.
#define SKIN_BASE_DPI 96
#define SKIN_ART_DPI_STEP 24
#define SKIN_ART_LARGEST_DPI 192
#define SKIN_SCALED_RESOURCE_TYPE 257

// ---- Window buttons (every page) --------------------------------------------------------------------------
#define IDB_MINIMISE 279
#define IDB_MINIMISE_HOT 280
#define SKIN_MINIMISE_X 892
#define SKIN_MINIMISE_Y 8
#define SKIN_MINIMISE_W 36
#define SKIN_MINIMISE_H 32

#define IDB_CLOSE 277
#define IDB_CLOSE_HOT 278
#define SKIN_CLOSE_X 940
#define SKIN_CLOSE_Y 8
#define SKIN_CLOSE_W 36
#define SKIN_CLOSE_H 32

// ---- Page tabs (every page); a selected tab shows its hot image as both images ----------------------------
#define IDB_TAB_MODULE_INFO 273
#define IDB_TAB_MODULE_INFO_HOT 274
#define SKIN_TAB_MODULE_INFO_X 0
#define SKIN_TAB_MODULE_INFO_Y 49
#define SKIN_TAB_MODULE_INFO_W 150
#define SKIN_TAB_MODULE_INFO_H 113

#define IDB_TAB_LIGHTING 271
#define IDB_TAB_LIGHTING_HOT 272
#define SKIN_TAB_LIGHTING_X 0
#define SKIN_TAB_LIGHTING_Y 162
#define SKIN_TAB_LIGHTING_W 150
#define SKIN_TAB_LIGHTING_H 113

#define IDB_TAB_ABOUT 170
#define IDB_TAB_ABOUT_HOT 270
#define SKIN_TAB_ABOUT_X 0
#define SKIN_TAB_ABOUT_Y 275
#define SKIN_TAB_ABOUT_W 150
#define SKIN_TAB_ABOUT_H 113

// ---- Lighting page: buttons ---------------------------------------------------------------------------------
#define IDB_APPLY 143
#define IDB_APPLY_HOT 174
#define SKIN_APPLY_X 748
#define SKIN_APPLY_Y 573
#define SKIN_APPLY_W 97
#define SKIN_APPLY_H 36

#define IDB_RESET 147
#define IDB_RESET_HOT 187
#define SKIN_RESET_X 848
#define SKIN_RESET_Y 573
#define SKIN_RESET_W 98
#define SKIN_RESET_H 36

// The power switch has no hot form: the on or the off image serves as both.
#define IDB_POWER_ON 275
#define IDB_POWER_OFF 276
#define SKIN_POWER_X 834
#define SKIN_POWER_Y 14
#define SKIN_POWER_W 35
#define SKIN_POWER_H 20

// Mode buttons, modes 1-10 in order; a selected mode shows its hot image as both images.
#define IDB_MODE_STATIC 250
#define IDB_MODE_STATIC_HOT 251
#define SKIN_MODE_STATIC_X 150
#define SKIN_MODE_STATIC_Y 49
#define SKIN_MODE_STATIC_W 181
#define SKIN_MODE_STATIC_H 136

#define IDB_MODE_BREATHING 252
#define IDB_MODE_BREATHING_HOT 253
#define SKIN_MODE_BREATHING_X 333
#define SKIN_MODE_BREATHING_Y 49
#define SKIN_MODE_BREATHING_W 181
#define SKIN_MODE_BREATHING_H 136

#define IDB_MODE_SINGLE_FLASH 254
#define IDB_MODE_SINGLE_FLASH_HOT 255
#define SKIN_MODE_SINGLE_FLASH_X 516
#define SKIN_MODE_SINGLE_FLASH_Y 49
#define SKIN_MODE_SINGLE_FLASH_W 181
#define SKIN_MODE_SINGLE_FLASH_H 136

#define IDB_MODE_DOUBLE_FLASH 256
#define IDB_MODE_DOUBLE_FLASH_HOT 257
#define SKIN_MODE_DOUBLE_FLASH_X 150
#define SKIN_MODE_DOUBLE_FLASH_Y 187
#define SKIN_MODE_DOUBLE_FLASH_W 181
#define SKIN_MODE_DOUBLE_FLASH_H 136

#define IDB_MODE_RAINBOW 258
#define IDB_MODE_RAINBOW_HOT 259
#define SKIN_MODE_RAINBOW_X 333
#define SKIN_MODE_RAINBOW_Y 187
#define SKIN_MODE_RAINBOW_W 181
#define SKIN_MODE_RAINBOW_H 136

#define IDB_MODE_PRISMEL 260
#define IDB_MODE_PRISMEL_HOT 261
#define SKIN_MODE_PRISMEL_X 516
#define SKIN_MODE_PRISMEL_Y 187
#define SKIN_MODE_PRISMEL_W 181
#define SKIN_MODE_PRISMEL_H 136

#define IDB_MODE_METEOR 262
#define IDB_MODE_METEOR_HOT 263
#define SKIN_MODE_METEOR_X 150
#define SKIN_MODE_METEOR_Y 325
#define SKIN_MODE_METEOR_W 181
#define SKIN_MODE_METEOR_H 136

#define IDB_MODE_MARQUEE 264
#define IDB_MODE_MARQUEE_HOT 265
#define SKIN_MODE_MARQUEE_X 333
#define SKIN_MODE_MARQUEE_Y 325
#define SKIN_MODE_MARQUEE_W 181
#define SKIN_MODE_MARQUEE_H 136

#define IDB_MODE_TWINKLE 266
#define IDB_MODE_TWINKLE_HOT 267
#define SKIN_MODE_TWINKLE_X 516
#define SKIN_MODE_TWINKLE_Y 325
#define SKIN_MODE_TWINKLE_W 181
#define SKIN_MODE_TWINKLE_H 136

#define IDB_MODE_COLOUR_CYCLE 268
#define IDB_MODE_COLOUR_CYCLE_HOT 249
#define SKIN_MODE_COLOUR_CYCLE_X 150
#define SKIN_MODE_COLOUR_CYCLE_Y 463
#define SKIN_MODE_COLOUR_CYCLE_W 181
#define SKIN_MODE_COLOUR_CYCLE_H 136

// The colour wheel is its own hot image. Outside its disc it is exactly SKIN_COLOUR_WHEEL_BACKGROUND, a colour
// that never occurs inside the disc, so a pick of that colour means "not on the wheel".
#define IDB_COLOUR_WHEEL 247
#define SKIN_COLOUR_WHEEL_X 759
#define SKIN_COLOUR_WHEEL_Y 111
#define SKIN_COLOUR_WHEEL_W 169
#define SKIN_COLOUR_WHEEL_H 169

// Speed buttons labelled 1 (slowest) to 5 (fastest); a selected speed shows its hot image as both images.
#define IDB_SPEED_1 283
#define IDB_SPEED_1_HOT 284
#define SKIN_SPEED_1_X 748
#define SKIN_SPEED_1_Y 496
#define SKIN_SPEED_1_W 40
#define SKIN_SPEED_1_H 49

#define IDB_SPEED_2 285
#define IDB_SPEED_2_HOT 286
#define SKIN_SPEED_2_X 788
#define SKIN_SPEED_2_Y 496
#define SKIN_SPEED_2_W 38
#define SKIN_SPEED_2_H 49

#define IDB_SPEED_3 287
#define IDB_SPEED_3_HOT 288
#define SKIN_SPEED_3_X 826
#define SKIN_SPEED_3_Y 496
#define SKIN_SPEED_3_W 38
#define SKIN_SPEED_3_H 49

#define IDB_SPEED_4 289
#define IDB_SPEED_4_HOT 290
#define SKIN_SPEED_4_X 864
#define SKIN_SPEED_4_Y 496
#define SKIN_SPEED_4_W 38
#define SKIN_SPEED_4_H 49

#define IDB_SPEED_5 291
#define IDB_SPEED_5_HOT 292
#define SKIN_SPEED_5_X 902
#define SKIN_SPEED_5_Y 496
#define SKIN_SPEED_5_W 41
#define SKIN_SPEED_5_H 49

// ---- Lighting page: places the window paints into --------------------------------------------------------
// Red, green and blue colour boxes (edit controls).
#define SKIN_RED_BOX_X 763
#define SKIN_GREEN_BOX_X 827
#define SKIN_BLUE_BOX_X 891
#define SKIN_COLOUR_BOX_Y 314
#define SKIN_COLOUR_BOX_W 46
#define SKIN_COLOUR_BOX_H 24

// Colour swatch, filled with the chosen colour (right and bottom exclusive).
#define SKIN_SWATCH_LEFT 886
#define SKIN_SWATCH_TOP 366
#define SKIN_SWATCH_RIGHT 938
#define SKIN_SWATCH_BOTTOM 418

// Hexadecimal colour text ("#rrggbb", font slot 0), and the rectangle repainted when it changes.
#define SKIN_HEX_TEXT_X 759
#define SKIN_HEX_TEXT_Y 395
#define SKIN_HEX_TEXT_LEFT 748
#define SKIN_HEX_TEXT_TOP 391
#define SKIN_HEX_TEXT_RIGHT 836
#define SKIN_HEX_TEXT_BOTTOM 418

// ---- Module information page ---------------------------------------------------------------------------------
#define IDB_SUBPAGE_BACK 296
#define IDB_SUBPAGE_BACK_HOT 297
#define SKIN_SUBPAGE_BACK_X 217
#define SKIN_SUBPAGE_BACK_Y 524
#define SKIN_SUBPAGE_BACK_W 29
#define SKIN_SUBPAGE_BACK_H 24

#define IDB_SUBPAGE_FORWARD 294
#define IDB_SUBPAGE_FORWARD_HOT 295
#define SKIN_SUBPAGE_FORWARD_X 246
#define SKIN_SUBPAGE_FORWARD_Y 524
#define SKIN_SUBPAGE_FORWARD_W 27
#define SKIN_SUBPAGE_FORWARD_H 24

// Module selector (owner-drawn combo box); its items and selection field are SKIN_MODULE_SELECTOR_ITEM_H high.
#define SKIN_MODULE_SELECTOR_X 279
#define SKIN_MODULE_SELECTOR_Y 81
#define SKIN_MODULE_SELECTOR_W 289
#define SKIN_MODULE_SELECTOR_H 20
#define SKIN_MODULE_SELECTOR_ITEM_H 30
// The hidden shadow list of modules sits at the window's corner, this many pixels square.
#define SKIN_SHADOW_LIST_SIZE 20

// Text of the module view (font slot 0, 16 px): the heading, ten lines, seven table columns.
#define SKIN_MODULE_HEADING_X 217
#define SKIN_MODULE_HEADING_Y 185
#define SKIN_MODULE_LINE_Y 225
#define SKIN_MODULE_LINE_STEP 29
#define SKIN_MODULE_LINE_COUNT 10
#define SKIN_MODULE_COLUMN_0_X 217
#define SKIN_MODULE_COLUMN_1_X 340
#define SKIN_MODULE_COLUMN_2_X 590
#define SKIN_MODULE_COLUMN_3_X 659
#define SKIN_MODULE_COLUMN_4_X 725
#define SKIN_MODULE_COLUMN_5_X 779
#define SKIN_MODULE_COLUMN_6_X 843
#define SKIN_MODULE_VALUE_RIGHT 540

// ---- About page -----------------------------------------------------------------------------------------------
#define IDB_WEB 176
#define IDB_WEB_HOT 197
#define SKIN_WEB_X 477
#define SKIN_WEB_Y 283
#define SKIN_WEB_W 130
#define SKIN_WEB_H 15

// ---- Theme colours (COLORREF) ---------------------------------------------------------------------------------
// Colours the code draws with.
#define SKIN_COLOUR_KEY 0x00FFFFFF
#define SKIN_COLOUR_VALUE_TEXT 0x00958C6F
#define SKIN_COLOUR_HEADING_TEXT 0x00635A34
#define SKIN_COLOUR_LIST_ROW 0x003B3617
#define SKIN_COLOUR_SHADOW_LIST 0x006D5F2C
#define SKIN_COLOUR_WHEEL_BACKGROUND 0x00251D0D
#define SKIN_COLOUR_CONTROL_TEXT 0x00FFFFFF
#define SKIN_COLOUR_CONTROL_BACKGROUND 0x00000000
#define SKIN_COLOUR_DIALOG_CLASS 0x000000FF
// The keyboard's focus cue, which the buttons draw along their outline: an amber band with a black line inside it.
#define SKIN_COLOUR_FOCUS_CUE 0x0040D0FF
#define SKIN_COLOUR_FOCUS_CUE_INNER 0x00000000
// The recessed fields of the panels (the panel colour at 70 %): the wells around the colour boxes and the hex
// text, which the colour boxes fill with their own background.
#define SKIN_COLOUR_WELL 0x001A1409
// The colour the wheel and the colour boxes hold at start (red, green, blue).
#define SKIN_DEFAULT_RED 61
#define SKIN_DEFAULT_GREEN 69
#define SKIN_DEFAULT_BLUE 255
// Colours of the artwork alone.
#define SKIN_COLOUR_WINDOW 0x00170F08
#define SKIN_COLOUR_SIDEBAR 0x001E150B
#define SKIN_COLOUR_PANEL 0x00251D0D
#define SKIN_COLOUR_FRAME 0x00493A22
#define SKIN_COLOUR_ACCENT 0x00D6C826
#define SKIN_COLOUR_BRIGHT_TEXT 0x00F2ECE0
