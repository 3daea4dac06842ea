// The uninstaller: the component list of the install directory it stands in.
#include <windows.h>

#include <commctrl.h>

#include "SetupText.h"
#include "UninstallActions.h"
#include "UninstallDialog.h"
#include "win/SetupWin.h"

using namespace qvsetup;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    if (!haveAdministratorRights()) {
        showBox(nullptr, kUninstallCaption, BoxKind::Warning, kUninstallNeedsAdministrator);
        return 0;
    }
    UninstallContext context;
    context.installDirectory = ownDirectory();
    const std::string programs = programsFolder();
    if (!programs.empty())
        context.startMenuGroup = programs + kStartMenuGroup;
    const std::string own = ownProgramsFolder();
    if (!own.empty() && own != programs)
        context.ownStartMenuGroup = own + kStartMenuGroup;
    context.userPresetFile = userPresetFile();
    runUninstallDialog(context);
    return 0;
}
