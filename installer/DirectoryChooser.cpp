// The folder chooser: the system's Open dialog listing folders only, with the file name and type
// fields hidden and the current folder shown in their place.
#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "Wizard.h"

namespace qvsetup {

namespace {

constexpr int kFileNameEdit = 1152;   // edt1
constexpr int kFileNameCombo = 1148;  // cmb13, the name field of the newer dialogs
constexpr int kTypeCombo = 1136;      // cmb1
constexpr int kTypeLabel = 1089;      // stc2
constexpr int kNameLabel = 1090;      // stc3
// Stands in the hidden name field so that OK always returns "<folder>\<this>".
constexpr const char* kDummyName = "qv~folder";

void showCurrentFolder(HWND dialog)
{
    char folder[1024] = "";
    if (SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder)) > 0)
        SetDlgItemTextA(dialog, kNameLabel, folder);
}

// The lowest edge of the dialog's visible children, in its client coordinates.
int lowestChild(HWND dialog)
{
    int lowest = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        RECT c;
        GetWindowRect(child, &c);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&c), 2);
        lowest = c.bottom > lowest ? c.bottom : lowest;
    }
    return lowest;
}

void setUp(HWND dialog)
{
    const int before = lowestChild(dialog);
    for (int id : {kFileNameEdit, kFileNameCombo, kTypeCombo, kTypeLabel})
        ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    // Shorter by what the hidden row took, and no more: the Cancel button stands beside it.
    const int saved = before - lowestChild(dialog);
    RECT r;
    GetWindowRect(dialog, &r);
    const int w = r.right - r.left, h = r.bottom - r.top - (saved > 0 ? saved : 0);
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w,
                 h, SWP_NOZORDER);
    SetDlgItemTextA(dialog, IDOK, "OK");
    if (HWND label = GetDlgItem(dialog, kNameLabel)) {
        RECT l;
        GetWindowRect(label, &l);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&l), 2);
        SetWindowPos(label, nullptr, 0, 0, l.right - l.left + 200, l.bottom - l.top, SWP_NOMOVE | SWP_NOZORDER);
    }
    showCurrentFolder(dialog);
}

constexpr UINT kSetDummy = WM_APP + 7;

void setDummyName(HWND dialog)
{
    for (int id : {kFileNameEdit, kFileNameCombo})
        SendMessageA(dialog, CDM_SETCONTROLTEXT, id, reinterpret_cast<LPARAM>(kDummyName));
}

UINT_PTR CALLBACK hook(HWND child, UINT message, WPARAM, LPARAM lParam)
{
    HWND dialog = GetParent(child);
    if (message == kSetDummy) {
        setDummyName(dialog);
        return 0;
    }
    if (message != WM_NOTIFY)
        return 0;
    const UINT code = reinterpret_cast<OFNOTIFYA*>(lParam)->hdr.code;
    if (code == CDN_INITDONE)
        setUp(dialog);
    setDummyName(dialog);
    // The dialog clears the name field after telling of a new folder; fill it again after that.
    PostMessageA(child, kSetDummy, 0, 0);
    if (code == CDN_FOLDERCHANGE)
        showCurrentFolder(dialog);
    return 0;
}

}  // namespace

bool chooseDirectory(HWND owner, const char* title, const std::string& start, std::string& folder)
{
    std::vector<char> result(1024, '\0');
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = gInstance;
    // A pattern no file name can match (":" is not allowed in one), so that only folders are listed.
    ofn.lpstrFilter = "biff\0::\0";
    ofn.lpstrFile = result.data();
    ofn.nMaxFile = static_cast<DWORD>(result.size());
    ofn.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
    ofn.lpstrTitle = title ? title : "Select directory";
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
    ofn.lpfnHook = hook;
    if (!GetOpenFileNameA(&ofn)) {
        if (CommDlgExtendedError() == 0xFFFF)
            warn("Unable to open directory selection dialog");
        return false;
    }
    result.back() = '\0';
    std::string path = result.data();
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos)
        return false;
    path.resize(slash);
    // A drive root comes back as "C:"; without its backslash it would name the drive's current folder.
    if (!path.empty() && path.back() == ':')
        path += '\\';
    folder = path;
    return true;
}

}  // namespace qvsetup
