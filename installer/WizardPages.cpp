// Steps 1 to 3: the welcome, the install directory and components, the VST host directories.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>
#include <shellapi.h>

#include "FileTable.h"
#include "InstallActions.h"
#include "SetupResources.h"
#include "SetupText.h"
#include "Wizard.h"

namespace qvsetup {

namespace {

constexpr UINT kCentre = WM_APP + 1;

const char kWelcome[] =
    "This program will install the qv:equalizer plug-in release 3c.\n(DirectX and VST versions.)\n\n"
    "Click [ Next ] to continue or [ Cancel ] to exit the setup:marlin.\n\n"
    "qv:equalizer plug-in and setup:marlin\n"
    "Copyright (c) Zorvath. All rights reserved."
    "\n\n\nFor more information about this release,\nclick the [ View Readme... ] button.";

const char kDirectoryText[] =
    "Type in the desired installation directory or select a directory using the [ Browse ] button. If the "
    "folder does not exist, it will be automatically created. Select the components you wish to install "
    "using the checkboxes below.\n\nClick [ Next ] to start the installation.\n";

const char kVstText[] = "Please add paths to plug-in directories for all the VST host applications where you wish "
                        "to use the Zorvath plug-in(s).";

// Steps 2 and 3 confirm leaving.
bool confirmExit(HWND page) { return pageResult(page, ask("Exit the setup:marlin?") == IDYES ? FALSE : TRUE); }

void centreOnScreen(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void activate(HWND page, DWORD buttons)
{
    gPage = page;
    fitPage(page);
    PropSheet_SetWizButtons(GetParent(page), buttons);
}

}  // namespace

INT_PTR CALLBACK welcomePage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(page, IDC_WELCOME, kWelcome);
        // The sheet takes its final size after its first page is made.
        PostMessageA(page, kCentre, 0, 0);
        return TRUE;
    case kCentre:
        fitSheet(GetParent(page), page);
        centreOnScreen(GetParent(page));
        return TRUE;
    case WM_PAINT:
        paintPage(page, 1, "qv:equalizer plug-in installation");
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_README) {
            const HINSTANCE result =
                ShellExecuteA(page, "open", "readme.txt", nullptr, gState.sourceDirectory.c_str(), SW_SHOWNORMAL);
            if (reinterpret_cast<INT_PTR>(result) <= 32)
                warn(format("Unable to load the readme.txt file from the path:\n\"%s\\%s\"",
                            gState.sourceDirectory.c_str(), "readme.txt"));
        }
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == PSN_SETACTIVE) {
            activate(page, PSWIZB_NEXT);
            return pageResult(page, 0);
        }
        break;
    }
    return FALSE;
}

namespace {

void updateComponentLabels(HWND page)
{
    const bool directX = IsDlgButtonChecked(page, IDC_DIRECTX) == BST_CHECKED;
    const bool vst = IsDlgButtonChecked(page, IDC_VST) == BST_CHECKED;
    auto size = [](const FileEntry& e) { return sourceFileSize(gState, e.name); };
    SetDlgItemTextA(
        page, IDC_DIRECTX,
        format("DirectX Plug-in(s) (requires %s)", formatSize(componentSize(directXLabelMask(directX), size)).c_str())
            .c_str());
    SetDlgItemTextA(
        page, IDC_VST,
        format("VST Plug-in(s) (requires %s)", formatSize(componentSize(vstLabelMask(directX), size)).c_str()).c_str());
    gState.mask = (gState.mask & ~(kComponentDirectX | kComponentVst)) | (directX ? kComponentDirectX : 0u) |
                  (vst ? kComponentVst : 0u);
}

bool createInstallDirectory(const std::string& dir)
{
    // A drive root is never created; it counts only when the drive is there.
    if (isThreeCharacterRoot(dir))
        return isDirectory(dir);
    if (isDirectory(dir))
        return true;
    if (CreateDirectoryA(dir.c_str(), nullptr))
        return true;
    for (const std::string& step : creationSteps(dir))
        if (!isDirectory(step) && !CreateDirectoryA(step.c_str(), nullptr))
            return false;
    return isDirectory(dir);
}

// Next on step 2: -1 stays, otherwise the page to go to (0 for the next in order).
LONG_PTR validateDirectoryPage(HWND page)
{
    if (!(gState.mask & (kComponentDirectX | kComponentVst))) {
        warn("You have not selected any components to install!");
        return -1;
    }
    gState.filesToInstall = countFiles(gState.mask);
    gState.installDirectory = itemText(page, IDC_INSTALLDIR).substr(0, 1023);
    const std::string& dir = gState.installDirectory;
    switch (checkInstallDir(dir)) {
    case DirCheck::Empty:
        warn("You have not selected or typed any destination directory!");
        return -1;
    case DirCheck::NotRooted:
        warn("The installation directory specified does not start with a logical drive or UNC path!");
        return -1;
    case DirCheck::Illegal:
        warn("The installation directory specified contains illegal character(s) or character sequence!");
        return -1;
    case DirCheck::Ok:
        break;
    }
    if (!createInstallDirectory(dir)) {
        warn("Unable to create installation directory, please verify that it is a valid path.");
        return -1;
    }
    return (gState.mask & kComponentVst) ? IDD_STEP3 : 0;
}

}  // namespace

INT_PTR CALLBACK directoryPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(page, IDC_INSTRUCTION, kDirectoryText);
        SendDlgItemMessageA(page, IDC_INSTALLDIR, EM_LIMITTEXT, 1023, 0);
        SetDlgItemTextA(page, IDC_INSTALLDIR, gState.installDirectory.c_str());
        CheckDlgButton(page, IDC_DIRECTX, (gState.mask & kComponentDirectX) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(page, IDC_VST, (gState.mask & kComponentVst) ? BST_CHECKED : BST_UNCHECKED);
        updateComponentLabels(page);
        return TRUE;
    case WM_PAINT:
        paintPage(page, 2, "Installation directory");
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DIRECTX:
        case IDC_VST:
            if (HIWORD(wParam) == BN_CLICKED)
                updateComponentLabels(page);
            break;
        case IDC_BROWSE: {
            std::string folder;
            if (chooseDirectory(page, "Select installation directory", gState.installDirectory, folder)) {
                gState.installDirectory = folder.substr(0, 1023);
                SetDlgItemTextA(page, IDC_INSTALLDIR, gState.installDirectory.c_str());
            }
            break;
        }
        }
        return TRUE;
    case WM_NOTIFY:
        switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
            activate(page, PSWIZB_BACK | PSWIZB_NEXT);
            return pageResult(page, 0);
        case PSN_WIZNEXT:
            return pageResult(page, validateDirectoryPage(page));
        case PSN_QUERYCANCEL:
            return confirmExit(page);
        }
        break;
    }
    return FALSE;
}

namespace {

HWND vstList(HWND page) { return GetDlgItem(page, IDC_VSTLIST); }

void appendVstDirectory(HWND page, const std::string& dir)
{
    const LRESULT index = SendMessageA(vstList(page), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(dir.c_str()));
    if (index >= 0)
        SendMessageA(vstList(page), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    EnableWindow(GetDlgItem(page, IDC_REMOVE), TRUE);
}

void fillVstList(HWND page)
{
    struct Source {
        HKEY root;
        const char* key;
        const char* value;
    };
    static const Source sources[] = {
        {HKEY_CURRENT_USER, "Software\\FruityLoops\\FL SETTINGS\\", "VST Plugins"},
        {HKEY_LOCAL_MACHINE, "Software\\VST", "VSTPluginsPath"},
        {HKEY_CURRENT_USER, "Software\\Sonic Syndicate\\Orion\\VstEffectsDir", "0"},
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\nTrack.Exe", "Path"},
    };
    EnableWindow(GetDlgItem(page, IDC_REMOVE), FALSE);
    for (const Source& s : sources) {
        std::string dir;
        if (qv::readRegistryString(s.root, s.key, s.value, dir) && !dir.empty() && fitsVstSlot(dir))
            appendVstDirectory(page, dir);
    }
}

std::string listText(HWND list, LRESULT index)
{
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

void addVstDirectory(HWND page)
{
    if (static_cast<size_t>(SendMessageA(vstList(page), LB_GETCOUNT, 0, 0)) >= kMaxVstDirectories) {
        warn(format("You can add at most %u VST host application plug-in directories.",
                    static_cast<unsigned>(kMaxVstDirectories)));
        return;
    }
    std::string folder;
    if (!chooseDirectory(page, "Select VST host application plug-in directory", std::string(), folder))
        return;
    if (!fitsVstSlot(folder)) {
        warn(format("The VST host application plug-in directory is too long:\n\"%s\"", folder.c_str()));
        return;
    }
    appendVstDirectory(page, folder);
}

void removeVstDirectory(HWND page)
{
    HWND list = vstList(page);
    const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected < 0)
        return;
    if (ask(format("Remove VST host application plug-in directory: \n\"%s\"?", listText(list, selected).c_str())) !=
        IDYES)
        return;
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (count <= 0) {
        EnableWindow(GetDlgItem(page, IDC_REMOVE), FALSE);
        return;
    }
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(selected < count ? selected : count - 1), 0);
}

void storeVstDirectories(HWND page)
{
    HWND list = vstList(page);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    gState.vstDirectories.clear();
    for (LRESULT i = 0; i < count && static_cast<size_t>(i) < kMaxVstDirectories; ++i)
        gState.vstDirectories.push_back(listText(list, i));
}

}  // namespace

INT_PTR CALLBACK vstPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(page, IDC_VSTTEXT, kVstText);
        fillVstList(page);
        return TRUE;
    case WM_PAINT:
        paintPage(page, 3, "VST plug-in directories");
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ADD)
            addVstDirectory(page);
        else if (LOWORD(wParam) == IDC_REMOVE)
            removeVstDirectory(page);
        return TRUE;
    case WM_NOTIFY:
        switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
            gState.vstDirectories.clear();
            activate(page, PSWIZB_BACK | PSWIZB_NEXT);
            return pageResult(page, 0);
        case PSN_WIZNEXT:
            storeVstDirectories(page);
            if (gState.vstDirectories.empty()) {
                warn("You have not specified any VST plug-in host applications.");
                return pageResult(page, -1);
            }
            return pageResult(page, IDD_STEP4);
        case PSN_WIZBACK:
            storeVstDirectories(page);
            return pageResult(page, IDD_STEP2);
        case PSN_QUERYCANCEL:
            return confirmExit(page);
        }
        break;
    }
    return FALSE;
}

}  // namespace qvsetup
