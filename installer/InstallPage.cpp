// Steps 4 and 5: the install run with its progress, and the result.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "InstallActions.h"
#include "SetupResources.h"
#include "SetupText.h"
#include "Wizard.h"

namespace qvsetup {

namespace {

constexpr UINT_PTR kStartTimer = 1;

class PageUi : public InstallUi {
public:
    explicit PageUi(HWND page) : page_(page) {}
    int ask(const std::string& text) override { return qvsetup::ask(text); }
    void warn(const std::string& text) override { qvsetup::warn(text); }
    void showPaths(const std::string& source, const std::string& destination) override
    {
        SetDlgItemTextA(page_, IDC_SOURCE, source.c_str());
        SetDlgItemTextA(page_, IDC_DESTINATION, destination.c_str());
        UpdateWindow(page_);
    }
    void stepProgress() override
    {
        SendDlgItemMessageA(page_, IDC_PROGRESS, PBM_STEPIT, 0, 0);
        UpdateWindow(page_);
    }

private:
    HWND page_;
};

void runInstall(HWND page)
{
    if (gState.installStarted)
        return;
    gState.installStarted = true;
    SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETRANGE32, 0, gState.filesToInstall);
    SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETSTEP, 1, 0);
    SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETPOS, 0, 0);
    PageUi ui(page);
    if (installRun(gState, ui)) {
        finishInstall(gState, ui);
        PropSheet_SetCurSel(GetParent(page), nullptr, 3);
    }
}

BOOL confirmCancelDuringInstall()
{
    if (!gState.installStarted)
        return ask("Exit the setup:marlin?") == IDYES ? FALSE : TRUE;
    if (ask("Abort current installation?") == IDYES)
        gState.abortRequested = true;
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK installPage(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    static bool timerStarted = false;
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(page, IDC_STATUS, "Please wait while the selected components are being installed...");
        return TRUE;
    case WM_PAINT:
        paintPage(page, 4, "Installing components...");
        if (!timerStarted) {
            timerStarted = true;
            SetTimer(page, kStartTimer, 100, nullptr);
        }
        return TRUE;
    case WM_TIMER:
        KillTimer(page, kStartTimer);
        runInstall(page);
        return TRUE;
    case WM_NOTIFY:
        switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
            gPage = page;
            gState.abortRequested = false;
            gState.installStarted = false;
            PropSheet_SetWizButtons(GetParent(page), PSWIZB_NEXT);
            return pageResult(page, 0);
        case PSN_QUERYCANCEL:
            return pageResult(page, confirmCancelDuringInstall());
        }
        break;
    }
    return FALSE;
}

namespace {

bool complete() { return filesFullyInstalled(gState) >= gState.filesToInstall; }

std::string resultText()
{
    if (complete())
        return format("The qv:equalizer plug-in release 3c was successfully installed in:\n\"%s\"\n\n"
                      "Documentation and more information is available through the \"Zorvath Velquin:qv R3\" "
                      "item on your Start menu.\n\nClick [ Finish ] to exit the setup:marlin.",
                      gState.installDirectory.c_str());
    return format("The qv:equalizer plug-in was not successfully installed!\n\nComponents to install: \t %d\n"
                  "Installed components:\t %d\n\n%s\n\nClick [ Finish ] to exit the setup:marlin.",
                  gState.filesToInstall, filesFullyInstalled(gState), gState.report.text().c_str());
}

}  // namespace

INT_PTR CALLBACK resultPage(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paintPage(page, 5, complete() ? "Installation complete" : "Installation incomplete!");
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == PSN_SETACTIVE) {
            gPage = page;
            SetDlgItemTextA(page, IDC_RESULT, resultText().c_str());
            HWND sheet = GetParent(page);
            ShowWindow(GetDlgItem(sheet, IDCANCEL), SW_HIDE);
            PropSheet_SetWizButtons(sheet, PSWIZB_FINISH);
            InvalidateRect(page, nullptr, TRUE);
            return pageResult(page, 0);
        }
        break;
    }
    return FALSE;
}

}  // namespace qvsetup
