#pragma once
// Message numbers, notification codes and style bits shared by the skinned controls and their parent.
// Plain numbers, so that platform-free code and tests can use them without windows.h.

namespace qv {

// Push button
// Every skinned control: the display scale in percent (100, 150 or 200) in wParam. Sizes, offsets and
// drag steps follow it; sprites and fonts given afterwards are the caller's, at that scale.
constexpr unsigned QV_SETSCALE = 2001;

constexpr unsigned PB_SETCHECK = 2025;
constexpr unsigned PB_GETCHECK = 2026;
constexpr unsigned PB_REDRAW = 2027;
constexpr unsigned PB_SETDBLCLK = 2028;
constexpr unsigned PB_SETICON = 2029;
constexpr unsigned PB_SETICONKEY = 2030;
constexpr unsigned PBN_RCLICK = 2031;
constexpr unsigned PB_CANCELPRESS = 2032;
constexpr unsigned PB_SETSPRITES = 2033;
constexpr unsigned PB_SETFOCUSRECT = 2034;
constexpr unsigned PB_SETTINT = 2036;
// WM_COMMAND notification codes of the push button
constexpr unsigned PBN_CLICKED = 0;
constexpr unsigned PBN_PRESSED = 1;
constexpr unsigned PBN_DBLCLK = 2;
constexpr unsigned PBN_ENTER = 3;
constexpr unsigned PBN_LEAVE = 4;

// Slider
constexpr unsigned SL_GETPOS = 2125;
constexpr unsigned SL_SETPOS = 2126;
constexpr unsigned SL_SETRANGE = 2127;
constexpr unsigned SLN_CHANGED = 2129;
constexpr unsigned SLN_DBLCLK = 2130;
constexpr unsigned SL_SETSQUARELAW = 2131;
constexpr unsigned SL_SETTICKSTEP = 2132;
constexpr unsigned SL_SETPAGESTEP = 2133;
constexpr unsigned SL_SETTICKOFFSET = 2134;
constexpr unsigned SL_SETBITMAP = 2135;
constexpr unsigned SL_SETTHUMB = 2136;
constexpr unsigned SLN_RELEASED = 2137;
constexpr unsigned SL_SETGROOVE = 2138;
constexpr unsigned SL_SETTHUMBLEN = 2139;

// Edit field
constexpr unsigned EDN_STEP = 2225;
constexpr unsigned ED_SETSQUARELAW = 2226;
constexpr unsigned ED_SETFLAGS = 2227;
constexpr unsigned ED_ACKCHANGE = 2228;
constexpr unsigned EDN_SETTLED = 2229;
constexpr unsigned ED_SETSPRITE = 2230;
constexpr unsigned EDN_CHANGE_CODE = 0x0300;  // WM_COMMAND code posted after in-place entry
constexpr unsigned ED_FLAG_INVERT = 0x0002;

// EQ graph
constexpr unsigned EQ_SETBANDS = 2525;
constexpr unsigned EQN_CHANGED = 2526;
constexpr unsigned EQ_SETRANGE = 2527;
constexpr unsigned EQ_GETRANGE = 2528;
constexpr unsigned EQ_SETSAMPLERATE = 2529;
constexpr unsigned EQN_RCLICK = 2531;
constexpr unsigned EQN_DBLCLK = 2532;
constexpr unsigned EQN_RELEASED = 2533;
// wParam: a const FrequencyAnalyzer* configured for the graph's axes, drawn behind the curve while it
// is not idle, or null for none; borrowed. The parent repaints after each analyzer frame.
constexpr unsigned EQ_SETANALYZER = 2534;

// Meter
constexpr unsigned MT_SETRANGE = 2625;
constexpr unsigned MT_SETLEVELS = 2626;
constexpr unsigned MT_GETHOLD = 2627;
constexpr unsigned MT_RESETMAX = 2628;
constexpr unsigned MT_GETMAX = 2629;
constexpr unsigned MT_SETSPRITES = 2630;
constexpr unsigned MT_SETFALL = 2631;

// Static image
constexpr unsigned SI_SETIMAGE = 2874;
constexpr unsigned SIN_CLICK = 2875;

// Window style bits (low word), read once at creation.
constexpr unsigned PBS_ARROW = 0x0001;
constexpr unsigned PBS_MENUMARK = 0x0002;
constexpr unsigned SLS_VERTICAL = 0x0001;
constexpr unsigned SLS_PLAIN = 0x0002;
constexpr unsigned EDS_LINEAR = 0x0001;
constexpr unsigned EDS_RIGHT = 0x0002;
constexpr unsigned MTS_VERTICAL = 0x0001;
constexpr unsigned MTS_TOPDOWN = 0x0002;
constexpr unsigned MTS_PEAK = 0x0008;
constexpr unsigned MTS_CENTREZERO = 0x0010;
constexpr unsigned MTS_MARKER = 0x0040;

// Warm, yellowish lift for checked buttons and a focused or grabbed slider thumb.
constexpr unsigned kDefaultTint = 0xEB78F8FFu;

// Images the library loads by itself.
constexpr int kMenuMarkBitmap = 7500;
constexpr int kHandleStripBitmap = 119;
constexpr int kGraphCursor = 120;

// Level meaning "silence" for meters and the level readout.
constexpr int kSilentLevel = -9999;

}  // namespace qv
