#pragma once
// The render tool's commands, as main() runs them and the benchmark calls them.

#include <string>

#include "RenderOptions.h"

namespace qv {

// Runs what the options ask for and prints what a user sees. Returns the process's exit status:
// 0 when it was done (warnings included), 1 when it was not.
int runRenderTool(const RenderOptions& options);

// The same file read and written through the render tool's reader and writer without processing:
// the reference the benchmark measures the renders against. Returns false with a message.
bool copyWithoutProcessing(const std::string& input, const std::string& output, std::string& error);

}  // namespace qv
