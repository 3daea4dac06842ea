#pragma once
// Runs a WAV file through a real DirectShow graph with the equalizer filter: File Source (Async.),
// WAVE Parser, the filter, Sample Grabber and Null Renderer, connected directly and run to the end.

#include <windows.h>
#include <mmreg.h>
#include <strmif.h>
#include <qedit.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ParameterModel.h"

namespace qv {

struct GraphRunResult {
    bool ok = false;
    std::string error;          // what failed, when !ok
    WAVEFORMATEX format{};      // the format the grabber received
    std::vector<uint8_t> data;  // every output sample's bytes, in order
    int64_t duration = -1;      // the graph's duration in 100 ns units, seen through the filter; -1 if none
};

// `settings` (or null) goes to the filter through IEqualizerControl before the graph runs.
// `filterDll` (or null for the registered server) names the DLL to create the filter from.
// With `restartMidStream` the graph is first stopped as soon as output arrives, seeked back to the
// start and run again; the result is that second run, which must not remember the first.
GraphRunResult runWavThroughFilter(const wchar_t* wavPath, const ParameterRecord* settings,
                                   const wchar_t* filterDll = nullptr, bool restartMidStream = false);

// A Sample Grabber callback owned by its caller, not by the grabber: only BufferCB is left to write.
class BufferCallback : public ISampleGrabberCB {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISampleGrabberCB)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample*) override { return S_OK; }
};

// Building blocks of such graphs.
extern const CLSID kWaveParser;
extern const CLSID kSampleGrabber;
extern const CLSID kNullRenderer;
HRESULT findPin(IBaseFilter* filter, PIN_DIRECTION direction, IPin** out);
// Connects the first output pin of `from` straight to the first input pin of `to`.
HRESULT connect(IGraphBuilder* graph, IBaseFilter* from, IBaseFilter* to);
// The equalizer filter from `dll` (kept loaded in *module), or from the registered server for null.
HRESULT createFilter(const wchar_t* dll, HMODULE* module, IBaseFilter** out);

}  // namespace qv
