// The setup program: start-up checks, then the wizard.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "InstallActions.h"
#include "win/SetupWin.h"
#include "SetupText.h"
#include "Wizard.h"

using namespace qvsetup;

namespace {

const GUID kClsidFilterGraph = {0xE436EBB3, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID kIidGraphBuilder = {0x56A868A9, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

std::string visitSupport()
{
    return format("\n\nPlease visit %s and read the\nInstallation/Uninstallation FAQ for more information.",
                  kSupportAddress);
}

bool haveRuntime()
{
    HMODULE runtime = LoadLibraryA("msvcrt.dll");
    if (!runtime)
        return false;
    FreeLibrary(runtime);
    return true;
}

bool haveDirectShow()
{
    const bool com = SUCCEEDED(CoInitialize(nullptr));
    bool ok = false;
    {
        qv::ComPtr<IUnknown> graph;
        ok = SUCCEEDED(CoCreateInstance(kClsidFilterGraph, nullptr, CLSCTX_INPROC_SERVER, kIidGraphBuilder,
                                        reinterpret_cast<void**>(graph.put()))) &&
             graph;
    }  // released before COM goes
    if (com)
        CoUninitialize();
    return ok;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    gInstance = instance;
    if (!haveRuntime()) {
        warn("The required file msvcrt.dll was not found on this system." + visitSupport());
        return 0;
    }
    // Without the rights every write below Program Files and the machine's registry fails: refuse
    // before anything is touched rather than leave half an installation.
    if (!haveAdministratorRights()) {
        warn(kSetupNeedsAdministrator);
        return 0;
    }
    if (!haveDirectShow()) {
        warn("Microsoft DirectShow/DirectX Media is not installed on this system." + visitSupport());
        return 0;
    }
    int dpi = USER_DEFAULT_SCREEN_DPI;
    if (const qv::WindowDC screen(nullptr); screen)
        dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    // 22 pixels at 100 %, grown with the display's scale as the pages' own font is.
    const qv::Font heading(CreateFontA(MulDiv(22, dpi, USER_DEFAULT_SCREEN_DPI), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_DONTCARE, "Arial"));
    gHeadingFont = heading ? heading.get() : static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version) || version.dwPlatformId == VER_PLATFORM_WIN32s) {
        warn("The software you are trying to install does not run on this operating system, installation aborted.");
        return -1;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    gState.comInitialised = SUCCEEDED(CoInitialize(nullptr));
    setDefaults(gState);
    runWizard();
    gState.log.reset();
    if (gState.comInitialised)
        CoUninitialize();
    return 0;
}
