// The uninstaller's one dialog: the component list with its ticks and the buttons over it.
#include <windows.h>

#include <commctrl.h>

#include "InstallLog.h"
#include "ScopedWin.h"
#include "SetupText.h"
#include "UninstallActions.h"
#include "UninstallDialog.h"
#include "UninstallResources.h"

namespace qvsetup {

namespace {

struct DialogState {
    UninstallContext* context = nullptr;
    qv::ImageList images;
    std::string cell;  // the text last handed to the list; it must outlive the notification
};

DialogState gDialog;

HWND listOf(HWND dialog) { return GetDlgItem(dialog, IDC_COMPONENTS); }

void setTick(HWND list, int item, bool ticked)
{
    LVITEMA it = {};
    it.mask = LVIF_IMAGE;
    it.iItem = item;
    it.iImage = ticked ? 1 : 0;
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

bool isTicked(HWND list, int item)
{
    LVITEMA it = {};
    it.mask = LVIF_IMAGE;
    it.iItem = item;
    return SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)) && it.iImage == 1;
}

void fillList(HWND dialog, bool ticked)
{
    HWND list = listOf(dialog);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    buildComponentList(*gDialog.context);
    const size_t total = gDialog.context->list.total();
    for (size_t i = 0; i < total; ++i) {
        LVITEMA it = {};
        it.mask = LVIF_TEXT | LVIF_IMAGE;
        it.iItem = static_cast<int>(i);
        it.pszText = LPSTR_TEXTCALLBACKA;
        it.iImage = ticked ? 1 : 0;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
    }
}

void setUpList(HWND dialog)
{
    HWND list = listOf(dialog);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    // The check marks and the columns grow with the display's scale, as the dialog's font does.
    int dpi = USER_DEFAULT_SCREEN_DPI;
    if (const qv::WindowDC dc(list); dc)
        dpi = GetDeviceCaps(dc.get(), LOGPIXELSX);
    const int mark = MulDiv(13, dpi, USER_DEFAULT_SCREEN_DPI);
    gDialog.images.reset(ImageList_Create(mark, mark, ILC_MASK | ILC_COLOR24, 2, 0));
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (int id : {IDI_UNTICKED, IDI_TICKED}) {
        const qv::Icon icon(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, mark, mark, 0)));
        ImageList_AddIcon(gDialog.images.get(), icon.get());
    }
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(gDialog.images.get()));
    RECT client;
    GetClientRect(list, &client);
    struct Column {
        const char* title;
        int width;
    };
    // The component column fits the plug-in's name in the dialog's font.
    const int component = MulDiv(250, dpi, USER_DEFAULT_SCREEN_DPI), type = MulDiv(62, dpi, USER_DEFAULT_SCREEN_DPI);
    const Column columns[] = {{"Component", component}, {"Type", type}, {"Path", client.right - component - type}};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA c = {};
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        c.pszText = const_cast<char*>(columns[i].title);
        c.cx = columns[i].width;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    }
    fillList(dialog, true);
}

void supplyText(NMLVDISPINFOA* info)
{
    if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0)
        return;
    const ComponentList& list = gDialog.context->list;
    const size_t item = static_cast<size_t>(info->item.iItem);
    std::string& text = gDialog.cell;
    text.clear();
    if (item < list.directX.size()) {
        // Name and path are read when shown: the registration may have changed meanwhile.
        const int product = list.directX[item]->product;
        text = info->item.iSubItem == 0   ? className(product)
               : info->item.iSubItem == 1 ? "DirectX"
                                          : serverPath(product);
    } else if (item - list.directX.size() < list.vstPaths.size()) {
        const std::string& path = list.vstPaths[item - list.directX.size()];
        text = info->item.iSubItem == 0 ? vstComponentName(path) : info->item.iSubItem == 1 ? "VST" : path;
    }
    lstrcpynA(info->item.pszText, text.c_str(), info->item.cchTextMax);
}

void tickAll(HWND dialog, bool ticked)
{
    HWND list = listOf(dialog);
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        setTick(list, i, ticked);
}

void uninstall(HWND dialog)
{
    HWND list = listOf(dialog);
    std::vector<size_t> ticked;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (isTicked(list, i))
            ticked.push_back(static_cast<size_t>(i));
    if (ticked.empty()) {
        warnBox(dialog, "You have not selected any components to uninstall!");
        return;
    }
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const bool ok = uninstallItems(*gDialog.context, dialog, ticked);
    fillList(dialog, false);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    if (!ok) {
        warnBox(dialog, "Uninstall was not successful!");
        return;
    }
    if (gDialog.context->list.ownTotal() != 0)
        return;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    removeRest(*gDialog.context, dialog);
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_UNINSTALL),
                                                         IMAGE_ICON, 16, 16, LR_SHARED)));
        setUpList(dialog);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom != IDC_COMPONENTS)
            break;
        if (header->code == LVN_GETDISPINFOA) {
            supplyText(reinterpret_cast<NMLVDISPINFOA*>(lParam));
        } else if (header->code == NM_CLICK) {
            HWND list = listOf(dialog);
            const int item =
                static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
            if (item >= 0)
                setTick(list, item, !isTicked(list, item));
        }
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SELECTALL:
            tickAll(dialog, true);
            break;
        case IDC_UNSELECTALL:
            tickAll(dialog, false);
            break;
        case IDC_UNINSTALL:
            uninstall(dialog);
            break;
        case IDC_CLOSE:
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        }
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_DESTROY:
        gDialog.images.reset();
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR runUninstallDialog(UninstallContext& context)
{
    gDialog.context = &context;
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_UNINSTALL), nullptr, dialogProc, 0);
}

}  // namespace qvsetup
