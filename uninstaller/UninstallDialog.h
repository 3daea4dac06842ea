#pragma once
#include <windows.h>

#include "UninstallActions.h"

namespace qvsetup {

// Shows the uninstaller's dialog modally until it is closed.
INT_PTR runUninstallDialog(UninstallContext& context);

}  // namespace qvsetup
