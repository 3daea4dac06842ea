#include "Wizard.h"

#include <commctrl.h>
#include <prsht.h>

#include <vector>

#include "SetupResources.h"
#include "SetupText.h"
#include "win/SetupWin.h"

namespace qvsetup {

HINSTANCE gInstance = nullptr;
HFONT gHeadingFont = nullptr;
HWND gPage = nullptr;

int ask(const std::string& text) { return showBox(gPage, kSetupCaption, BoxKind::Question, text); }
void warn(const std::string& text) { showBox(gPage, kSetupCaption, BoxKind::Warning, text); }

// The side picture's background colour shows the page through.
static void drawTransparent(HDC dc, HBITMAP bitmap, int x, int y, COLORREF key)
{
    BITMAP info;
    if (!GetObject(bitmap, sizeof info, &info))
        return;
    const int w = info.bmWidth, h = info.bmHeight;
    qv::CompatibleDC image(dc), mask(dc);
    qv::Bitmap maskBits(CreateBitmap(w, h, 1, 1, nullptr));
    if (!image || !mask || !maskBits)
        return;
    qv::SelectedObject imageSelected(image.get(), bitmap), maskSelected(mask.get(), maskBits.get());
    SetBkColor(image.get(), key);
    BitBlt(mask.get(), 0, 0, w, h, image.get(), 0, 0, SRCCOPY);  // key colour -> white, the rest black
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, x, y, w, h, image.get(), 0, 0, SRCINVERT);
    BitBlt(dc, x, y, w, h, mask.get(), 0, 0, SRCAND);
    BitBlt(dc, x, y, w, h, image.get(), 0, 0, SRCINVERT);
}

// The side picture at the display's scale: the drawing made for it at 100 % and 200 %, the larger
// one shrunk smoothly over the page's colour between them, never a small picture stretched.
static void drawSide(HDC dc, int dpi)
{
    const COLORREF key = RGB(189, 189, 189);
    const bool large = dpi > USER_DEFAULT_SCREEN_DPI;
    const qv::Bitmap side(static_cast<HBITMAP>(
        LoadImageA(gInstance, MAKEINTRESOURCEA(large ? IDB_SIDE_200 : IDB_SIDE), IMAGE_BITMAP, 0, 0, 0)));
    if (!side)
        return;
    if (!large || dpi == 192) {
        drawTransparent(dc, side.get(), MulDiv(10, dpi, USER_DEFAULT_SCREEN_DPI), 0, key);
        return;
    }
    BITMAP info;
    if (!GetObject(side.get(), sizeof info, &info))
        return;
    qv::CompatibleDC full(dc);
    qv::Bitmap fullBits(CreateCompatibleBitmap(dc, info.bmWidth, info.bmHeight));
    if (!full || !fullBits)
        return;
    {
        qv::SelectedObject selected(full.get(), fullBits.get());
        RECT all = {0, 0, info.bmWidth, info.bmHeight};
        FillRect(full.get(), &all, GetSysColorBrush(COLOR_3DFACE));
        drawTransparent(full.get(), side.get(), 0, 0, key);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, MulDiv(10, dpi, USER_DEFAULT_SCREEN_DPI), 0, MulDiv(info.bmWidth, dpi, 192),
                   MulDiv(info.bmHeight, dpi, 192), full.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
}

void paintPage(HWND page, int step, const char* heading)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(page, &ps);
    drawSide(dc, GetDeviceCaps(dc, LOGPIXELSY));
    RECT at = {60, 0, 0, 0};
    MapDialogRect(page, &at);
    {
        const qv::SelectedObject font(dc, gHeadingFont);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        TextOutA(dc, at.left, at.top, heading, lstrlenA(heading));
    }
    EndPaint(page, &ps);

    const std::string title = format("%s - [Step %d of 5]", kSetupCaption, step);
    HWND sheet = GetParent(page);
    char current[64] = "";
    GetWindowTextA(sheet, current, sizeof current);
    if (title != current)
        SetWindowTextA(sheet, title.c_str());
}

// The size a page's template gives it in its own dialog units (273 x 165).
static SIZE templateSize(HWND page)
{
    RECT r = {0, 0, 273, 165};
    MapDialogRect(page, &r);
    return {r.right, r.bottom};
}

void fitPage(HWND page)
{
    const SIZE need = templateSize(page);
    RECT r;
    GetWindowRect(page, &r);
    if (r.right - r.left < need.cx || r.bottom - r.top < need.cy)
        SetWindowPos(page, nullptr, 0, 0, need.cx > r.right - r.left ? need.cx : r.right - r.left,
                     need.cy > r.bottom - r.top ? need.cy : r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void fitSheet(HWND sheet, HWND page)
{
    RECT pr;
    GetWindowRect(page, &pr);
    MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&pr), 2);
    const SIZE need = templateSize(page);
    const int dx = need.cx - (pr.right - pr.left), dy = need.cy - (pr.bottom - pr.top);
    if (dx <= 0 && dy <= 0)
        return;
    const int grow = dx > 0 ? dx : 0, lower = dy > 0 ? dy : 0;
    RECT sr;
    GetWindowRect(sheet, &sr);
    SetWindowPos(sheet, nullptr, 0, 0, sr.right - sr.left + grow, sr.bottom - sr.top + lower,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The sheet's own buttons and rule below the page area follow its new size.
    for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT c;
        GetWindowRect(child, &c);
        MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&c), 2);
        if (c.top < pr.bottom)
            continue;  // a page
        const bool rule = c.right - c.left > (sr.right - sr.left) / 2;
        SetWindowPos(child, nullptr, rule ? c.left : c.left + grow, c.top + lower,
                     rule ? c.right - c.left + grow : c.right - c.left, c.bottom - c.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    fitPage(page);
}

INT_PTR pageResult(HWND page, LONG_PTR result)
{
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

std::string itemText(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    const int length = item ? GetWindowTextLengthA(item) : 0;
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    if (item)
        GetWindowTextA(item, text.data(), length + 1);
    return text.data();
}

bool runWizard()
{
    struct PageDef {
        int id;
        DLGPROC proc;
    };
    // Plain Next goes from step 2 to step 4 and from 4 to 5; step 3 is reached only by jumps.
    const PageDef defs[] = {{IDD_STEP1, welcomePage},
                            {IDD_STEP2, directoryPage},
                            {IDD_STEP4, installPage},
                            {IDD_STEP5, resultPage},
                            {IDD_STEP3, vstPage}};
    HPROPSHEETPAGE pages[5];
    int made = 0;
    for (const PageDef& def : defs) {
        PROPSHEETPAGEA page = {};
        page.dwSize = sizeof page;
        page.hInstance = gInstance;
        page.pszTemplate = MAKEINTRESOURCEA(def.id);
        page.pfnDlgProc = def.proc;
        if (HPROPSHEETPAGE made1 = CreatePropertySheetPageA(&page))
            pages[made++] = made1;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_WIZARD | PSH_USEICONID;
    header.hInstance = gInstance;
    header.pszIcon = MAKEINTRESOURCEA(IDI_SETUP);
    header.pszCaption = kSetupCaption;
    header.nPages = static_cast<UINT>(made);
    header.phpage = pages;
    if (made == 5) {
        if (PropertySheetA(&header) >= 0)
            return true;
        header.dwSize = PROPSHEETHEADERA_V1_SIZE;
        if (PropertySheetA(&header) >= 0)
            return true;
    } else {
        for (int i = 0; i < made; ++i)
            DestroyPropertySheetPage(pages[i]);
    }
    warn("Unable to open the setup:marlin, try freeing some system resources!");
    return false;
}

}  // namespace qvsetup
