// qvrender: an offline host for the equalizer. Loads the VST plug-in through "main" as a host does
// (or the DirectShow filter in a real graph) and streams a WAV file through it.

#include <cstdio>
#include <string>

#include "Render.h"
#include "RenderOptions.h"

int main(int argc, char** argv)
{
    qv::RenderOptions options;
    std::string error;
    if (argc < 2) {
        std::fputs(qv::renderUsage(), stderr);
        return 2;
    }
    if (!qv::parseRenderOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "qvrender: %s\n\n%s", error.c_str(), qv::renderUsage());
        return 2;
    }
    return qv::runRenderTool(options);
}
