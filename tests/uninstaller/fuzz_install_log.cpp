// The install log is a text file anyone can edit; whatever it holds, the uninstaller lists only
// distinct plug-in paths of bounded length and number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "InstallLog.h"
#include "SetupText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto paths = qvsetup::installedVstPaths(text, [](const std::string&) { return true; });
    if (paths.size() > qvsetup::kMaxLogPaths)
        std::abort();
    for (const std::string& p : paths)
        if (!qvsetup::isVstPluginPath(p) || p.find('\n') != std::string::npos || p.find('\r') != std::string::npos)
            std::abort();
    return 0;
}
