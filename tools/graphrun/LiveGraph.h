#pragma once
// A real graph playing a WAV file through the equalizer in real time (File Source, WAVE Parser,
// the filter, Sample Grabber, Null Renderer, on the graph's clock), so that a test or a tool can act
// on the filter while audio flows, and measure what comes out.

#include <windows.h>
#include <strmif.h>

#include <memory>
#include <string>

namespace qv {

class LiveGraph {
public:
    LiveGraph();
    ~LiveGraph();  // stops the graph and lets the filter DLL go
    LiveGraph(const LiveGraph&) = delete;
    LiveGraph& operator=(const LiveGraph&) = delete;

    // Builds and runs the graph over a 32-bit float WAV file; the filter comes from `filterDll`
    // (null: the registered server). False with `error` set on failure.
    bool start(const wchar_t* wavPath, const wchar_t* filterDll, std::string* error);
    void stop();
    IBaseFilter* equalizer() const;

    // Output seconds so far, and the RMS level (dB full scale) of the last `seconds` of output.
    double outputSeconds() const;
    double recentLevelDb(double seconds) const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace qv
