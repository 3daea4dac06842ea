/*
 * Skin resource identifiers of both plug-in DLLs, in one table.
 *
 * The VST DLL and the DirectShow DLL carry the same images; the DirectShow DLL keeps some of them
 * under ids of its own. Images that the control library loads by itself (type icons, band handles,
 * menu mark, graph cursor) have the same id in both, so the library needs no per-DLL table.
 * DirectShow sprite ids are the VST ones minus SKIN_DS_SPRITE_SHIFT (SKIN_DS_RAW_FIRST .. SKIN_DS_RAW_LAST).
 *
 * Plain #defines only: this file is read by C++ and by windres.
 */
#ifndef QV_SKIN_IDS_H
#define QV_SKIN_IDS_H

/* ---- VST DLL ("Zorvath qvEqualizer R3.dll") ---- */

/* RT_BITMAP */
#define SKIN_VST_BMP_BACKGROUND     102  /* 24-bit 506x411 editor background */
#define SKIN_VST_BMP_TYPE_PEAK      104  /* 4-bit 26x15, key 0xC0C0C0 */
#define SKIN_VST_BMP_TYPE_HIGHPASS  105  /* 4-bit 29x15 */
#define SKIN_VST_BMP_TYPE_LOWPASS   106  /* 4-bit 29x15 */
#define SKIN_VST_BMP_TYPE_LOWSHELF  107  /* 4-bit 29x15 */
#define SKIN_VST_BMP_TYPE_HIGHSHELF 108  /* 4-bit 29x15 */
#define SKIN_VST_BMP_CLIP_OFF       111  /* 24-bit 12x9 */
#define SKIN_VST_BMP_CLIP_HELD      112  /* 24-bit 12x9, has clipped */
#define SKIN_VST_BMP_CLIP_ACTIVE    113  /* 24-bit 12x9, clipping now */
#define SKIN_VST_BMP_HANDLES        119  /* 24-bit 60x40, key 0xFF00FF */
#define SKIN_VST_BMP_GRAPH          130  /* 24-bit 471x140 */
#define SKIN_VST_BMP_MENUMARK       7500 /* 4-bit 7x11, key 0xFF00FF */

/* RT_GROUP_CURSOR */
#define SKIN_VST_CUR_GRAPH 120

/* RT_RCDATA sprites: width*height*4 bytes, red, green, blue, transparency */
#define SKIN_VST_RAW_THUMB       131 /* 29x16 */
#define SKIN_VST_RAW_EDIT        132 /* 40x21 */
#define SKIN_VST_RAW_ARROW       133 /* 15x21 */
#define SKIN_VST_RAW_ARROW_DOWN  134
#define SKIN_VST_RAW_BAND        135 /* 24x21 */
#define SKIN_VST_RAW_BAND_DOWN   136
#define SKIN_VST_RAW_TYPE        137 /* 27x21 */
#define SKIN_VST_RAW_TYPE_DOWN   138
#define SKIN_VST_RAW_FLAT        139 /* 50x21 */
#define SKIN_VST_RAW_FLAT_DOWN   140
#define SKIN_VST_RAW_SETUP       141 /* 61x21 */
#define SKIN_VST_RAW_SETUP_DOWN  142
#define SKIN_VST_RAW_BUTTON      143 /* 76x21 */
#define SKIN_VST_RAW_BUTTON_DOWN 144
#define SKIN_VST_RAW_METER       145 /* 12x144, opaque */
#define SKIN_VST_RAW_METER_LIT   146 /* 12x144, opaque */
#define SKIN_VST_RAW_FIRST       131
#define SKIN_VST_RAW_LAST        146

/* ---- DirectShow DLL ("qvEqualizer.dll") ---- */

#define SKIN_DS_BMP_BACKGROUND     103
#define SKIN_DS_BMP_TYPE_PEAK      104
#define SKIN_DS_BMP_TYPE_HIGHPASS  105
#define SKIN_DS_BMP_TYPE_LOWPASS   106
#define SKIN_DS_BMP_TYPE_LOWSHELF  107
#define SKIN_DS_BMP_TYPE_HIGHSHELF 108
#define SKIN_DS_BMP_CLIP_OFF       136
#define SKIN_DS_BMP_CLIP_HELD      137
#define SKIN_DS_BMP_CLIP_ACTIVE    138
#define SKIN_DS_BMP_HANDLES        119
#define SKIN_DS_BMP_GRAPH          126
#define SKIN_DS_BMP_MENUMARK       7500

#define SKIN_DS_CUR_GRAPH 120

#define SKIN_DS_RAW_THUMB       124
#define SKIN_DS_RAW_EDIT        125
#define SKIN_DS_RAW_ARROW       126
#define SKIN_DS_RAW_ARROW_DOWN  127
#define SKIN_DS_RAW_BAND        128
#define SKIN_DS_RAW_BAND_DOWN   129
#define SKIN_DS_RAW_TYPE        130
#define SKIN_DS_RAW_TYPE_DOWN   131
#define SKIN_DS_RAW_FLAT        132
#define SKIN_DS_RAW_FLAT_DOWN   133
#define SKIN_DS_RAW_SETUP       134
#define SKIN_DS_RAW_SETUP_DOWN  135
#define SKIN_DS_RAW_BUTTON      136
#define SKIN_DS_RAW_BUTTON_DOWN 137
#define SKIN_DS_RAW_METER       138
#define SKIN_DS_RAW_METER_LIT   139
#define SKIN_DS_RAW_FIRST       124
#define SKIN_DS_RAW_LAST        139

/* Offset from a VST sprite id down to the DirectShow one. An expression, not a number: the id
   checks of tests/resources read every numeric SKIN_DS_RAW_ define as a sprite. */
#define SKIN_DS_SPRITE_SHIFT (SKIN_VST_RAW_FIRST - SKIN_DS_RAW_FIRST)

/* ---- Both DLLs: the editor's art at 150 % and 200 % (resources/skin/150, resources/skin/200) ----
 * One table for both DLLs: SKIN_SCALED_ID(item, step) with step 1 at 150 %, 2 at 200 %. Sizes are
 * the 100 % ones scaled and rounded half up, except the clip lamps (18x13, 24x18: they reach down to
 * the meter) and the handle sheet (cells of 14 and 18 pixels, handles of 13 and 17). Menu mark,
 * cursor and the Preset Manager's icons have no scaled art. */
#define SKIN_SCALED_ID(item, step) (10000 * (step) + (item))
#define SKIN_SCALED_BMP_BACKGROUND     1
#define SKIN_SCALED_BMP_GRAPH          2
#define SKIN_SCALED_BMP_HANDLES        3
#define SKIN_SCALED_BMP_TYPE_PEAK      4
#define SKIN_SCALED_BMP_TYPE_HIGHPASS  5
#define SKIN_SCALED_BMP_TYPE_LOWPASS   6
#define SKIN_SCALED_BMP_TYPE_LOWSHELF  7
#define SKIN_SCALED_BMP_TYPE_HIGHSHELF 8
#define SKIN_SCALED_BMP_CLIP_OFF       9
#define SKIN_SCALED_BMP_CLIP_HELD      10
#define SKIN_SCALED_BMP_CLIP_ACTIVE    11
/* Sprites in the order of the VST ids: SKIN_SCALED_RAW_FIRST + (VST id - SKIN_VST_RAW_FIRST). */
#define SKIN_SCALED_RAW_FIRST          31
#define SKIN_SCALED_RAW_LAST           46

#endif
