#pragma once
// The skinned control library: registration of the seven window classes, the drawing primitives
// they share and a few utilities the editor uses as well.

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "ControlProtocol.h"
#include "ScaleMath.h"

namespace qv {

// Registers "qv:PushButton", "qv:Slider", "qv:Edit", "qv:StaticText", "qv:StaticImage",
// "qv:EQGraph" and "qv:Meter" for `instance`; returns false if one fails.
bool RegisterSkinClasses(HINSTANCE instance);
void UnregisterSkinClasses(HINSTANCE instance);

// Module whose resources the controls load their own images from (type icons, menu mark, handle
// strip, graph cursor): the instance the classes were registered with.
HINSTANCE skinInstance();

HBITMAP LoadSkinBitmap(HINSTANCE instance, int id, HPALETTE* palette);
const uint8_t* GetSkinSprite(HINSTANCE instance, int id);
// Size in bytes of an RT_RCDATA resource, 0 if missing: lets callers check a sprite's dimensions.
size_t GetSkinSpriteSize(HINSTANCE instance, int id);

void DrawSprite(HDC dc, int x, int y, int width, int height, const uint8_t* sprite, int fade, uint32_t tint,
                int borderMode);
void DrawSpriteRect(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, const uint8_t* sprite,
                    int fade, int sourceWidth);
void BlitKeyed(HDC dc, int x, int y, HBITMAP bitmap, int sourceX, int sourceY, int width, int height, COLORREF key);
void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour);
// Focus frames `thickness` pixels wide, drawn inwards from `rect`: one pixel at 100 %, more at a
// display scale so that they look as heavy as the lines around them.
void DrawGreyFrame(HDC dc, const RECT& rect, int thickness = 1);
void DrawRedFrame(HDC dc, const RECT& rect, int thickness = 1);
void DrawMarchingRect(HWND window, int x1, int y1, int x2, int y2, int phase, HDC dc);
void GetRectInParent(HWND window, RECT* rect);
void CenterOnParent(HWND window);
void FormatDbPair(HWND window, HFONT font, Scale scale, char* out, size_t outSize, int levelA, int levelB);

// Handle of the open in-place entry field, null when none; value controls ignore the wheel then.
HWND inPlaceEntryWindow();

}  // namespace qv
