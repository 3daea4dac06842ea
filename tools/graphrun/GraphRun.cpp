#include "GraphRun.h"

#include <control.h>
#include <evcode.h>
#include <qedit.h>
#include <strmif.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "IEqualizerControl.h"

namespace qv {

// Classes of the system's filters that the headers do not name.
const CLSID kWaveParser = {0xD51BD5A1, 0x7548, 0x11CF, {0xA5, 0x20, 0x00, 0x80, 0xC7, 0x7E, 0xF5, 0x8A}};
const CLSID kSampleGrabber = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const CLSID kNullRenderer = {0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

namespace {

template <class T>
struct Ptr {
    T* p = nullptr;
    ~Ptr()
    {
        if (p)
            p->Release();
    }
    T** put() { return &p; }
    T* operator->() const { return p; }
};

}  // namespace

HRESULT findPin(IBaseFilter* filter, PIN_DIRECTION direction, IPin** out)
{
    *out = nullptr;
    Ptr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.put());
    if (FAILED(hr))
        return hr;
    IPin* pin = nullptr;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
        PIN_DIRECTION d;
        if (SUCCEEDED(pin->QueryDirection(&d)) && d == direction) {
            *out = pin;
            return S_OK;
        }
        pin->Release();
    }
    return VFW_E_NOT_FOUND;
}

HRESULT connect(IGraphBuilder* graph, IBaseFilter* from, IBaseFilter* to)
{
    Ptr<IPin> out, in;
    HRESULT hr = findPin(from, PINDIR_OUTPUT, out.put());
    if (SUCCEEDED(hr))
        hr = findPin(to, PINDIR_INPUT, in.put());
    if (SUCCEEDED(hr))
        hr = graph->ConnectDirect(out.p, in.p, nullptr);
    return hr;
}

HRESULT createFilter(const wchar_t* dll, HMODULE* module, IBaseFilter** out)
{
    if (!dll)
        return CoCreateInstance(CLSID_qvEqualizer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(out));
    *module = LoadLibraryW(dll);
    if (!*module)
        return HRESULT_FROM_WIN32(GetLastError());
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(*module, "DllGetClassObject")));
    if (!get)
        return E_NOINTERFACE;
    Ptr<IClassFactory> factory;
    HRESULT hr = get(CLSID_qvEqualizer, IID_IClassFactory, reinterpret_cast<void**>(factory.put()));
    if (FAILED(hr))
        return hr;
    return factory->CreateInstance(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(out));
}

namespace {

std::string failure(const char* what, HRESULT hr)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s failed (0x%08lX)", what, static_cast<unsigned long>(hr));
    return text;
}

// Collects each delivered buffer, or hands it to the sink; lives on the caller's stack.
class Collector : public BufferCallback {
public:
    HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE* buffer, long length) override
    {
        if (buffer && length > 0) {
            if (sink_) {
                sink_->deliver(buffer, static_cast<size_t>(length));
            } else {
                std::lock_guard<std::mutex> lock(mutex_);
                data_.insert(data_.end(), buffer, buffer + length);
            }
            ++deliveries_;
            SetEvent(arrived_);
        }
        return S_OK;
    }
    std::vector<uint8_t> take()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ResetEvent(arrived_);
        return std::move(data_);
    }
    // Signalled when a buffer has arrived since the last take().
    HANDLE arrived() const { return arrived_; }
    unsigned long deliveries() const { return deliveries_; }
    explicit Collector(GraphSink* sink) : sink_(sink), arrived_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Collector() { CloseHandle(arrived_); }
    Collector(const Collector&) = delete;
    Collector& operator=(const Collector&) = delete;

private:
    GraphSink* sink_;
    std::atomic<unsigned long> deliveries_{0};
    HANDLE arrived_;
    std::mutex mutex_;
    std::vector<uint8_t> data_;
};

// The format the grabber receives; zeros when it is not connected.
WAVEFORMATEX connectedFormat(ISampleGrabber* grab)
{
    WAVEFORMATEX format{};
    AM_MEDIA_TYPE mt{};
    if (SUCCEEDED(grab->GetConnectedMediaType(&mt))) {
        if (mt.pbFormat && mt.cbFormat >= 16)
            std::memcpy(&format, mt.pbFormat, mt.cbFormat < sizeof format ? mt.cbFormat : sizeof format);
        if (mt.pbFormat)
            CoTaskMemFree(mt.pbFormat);
        if (mt.pUnk)
            mt.pUnk->Release();
    }
    return format;
}

// The graph and its filters, from creation to release.
struct Graph {
    Ptr<IGraphBuilder> builder;
    Ptr<IBaseFilter> source, parser, eq, grabber, renderer;
    Ptr<ISampleGrabber> grab;
};

// Creates the filters, adds them to the graph and gives the equalizer its settings.
bool addFilters(Graph& g, const ParameterRecord* settings, const wchar_t* dll, HMODULE* module, std::string& error)
{
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(g.builder.put()));
    if (FAILED(hr)) {
        error = failure("creating the filter graph", hr);
        return false;
    }
    struct Step {
        const char* what;
        const CLSID* clsid;
        IBaseFilter** out;
        const wchar_t* name;
    } steps[] = {
        {"creating File Source", &CLSID_AsyncReader, g.source.put(), L"Source"},
        {"creating WAVE Parser", &kWaveParser, g.parser.put(), L"Parser"},
        {"creating Sample Grabber", &kSampleGrabber, g.grabber.put(), L"Grabber"},
        {"creating Null Renderer", &kNullRenderer, g.renderer.put(), L"Renderer"},
    };
    for (const Step& s : steps) {
        hr =
            CoCreateInstance(*s.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, reinterpret_cast<void**>(s.out));
        if (SUCCEEDED(hr))
            hr = g.builder->AddFilter(*s.out, s.name);
        if (FAILED(hr)) {
            error = failure(s.what, hr);
            return false;
        }
    }
    hr = createFilter(dll, module, g.eq.put());
    if (SUCCEEDED(hr))
        hr = g.builder->AddFilter(g.eq.p, L"Equalizer");
    if (FAILED(hr)) {
        error = failure("creating the equalizer filter", hr);
        return false;
    }
    if (settings) {
        Ptr<IEqualizerControl> control;
        hr = g.eq->QueryInterface(IID_IEqualizerControl, reinterpret_cast<void**>(control.put()));
        if (SUCCEEDED(hr))
            hr = control->SetParameters(settings);
        if (FAILED(hr)) {
            error = failure("applying the settings", hr);
            return false;
        }
    }
    return true;
}

// Opens the file, hooks the collector to the grabber and connects the chain.
bool connectChain(Graph& g, const wchar_t* wavPath, Collector& collector, std::string& error)
{
    Ptr<IFileSourceFilter> file;
    HRESULT hr = g.source->QueryInterface(IID_IFileSourceFilter, reinterpret_cast<void**>(file.put()));
    if (SUCCEEDED(hr))
        hr = file->Load(wavPath, nullptr);
    if (FAILED(hr)) {
        error = failure("opening the WAV file", hr);
        return false;
    }
    hr = g.grabber->QueryInterface(IID_ISampleGrabber, reinterpret_cast<void**>(g.grab.put()));
    if (SUCCEEDED(hr))
        hr = g.grab->SetCallback(&collector, 1);
    if (FAILED(hr)) {
        error = failure("setting up the Sample Grabber", hr);
        return false;
    }
    const struct {
        const char* what;
        IBaseFilter* from;
        IBaseFilter* to;
    } links[] = {
        {"connecting source and parser", g.source.p, g.parser.p},
        {"connecting parser and equalizer", g.parser.p, g.eq.p},
        {"connecting equalizer and grabber", g.eq.p, g.grabber.p},
        {"connecting grabber and renderer", g.grabber.p, g.renderer.p},
    };
    for (const auto& l : links) {
        hr = connect(g.builder.p, l.from, l.to);
        if (FAILED(hr)) {
            error = failure(l.what, hr);
            return false;
        }
    }
    return true;
}

// Runs until output arrives, stops, and seeks back to the start with the output so far dropped.
bool runAndRewind(IMediaControl* control, IMediaSeeking* seeking, Collector& collector, std::string& error)
{
    if (!seeking) {
        error = "the graph cannot seek";
        return false;
    }
    HRESULT hr = control->Run();
    if (FAILED(hr)) {
        error = failure("running the graph", hr);
        return false;
    }
    const bool arrived = WaitForSingleObject(collector.arrived(), 30000) == WAIT_OBJECT_0;
    control->Stop();
    if (!arrived) {
        error = "no output arrived before the restart";
        return false;
    }
    LONGLONG start = 0;
    hr = seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    if (FAILED(hr)) {
        error = failure("seeking back to the start", hr);
        return false;
    }
    collector.take();
    return true;
}

// Waits for the graph's end. A stalled graph must not hang the caller: a minute without output
// ends the wait with VFW_E_TIMEOUT. False when the sink stopped the run (its error is set).
bool waitForEnd(IMediaEvent* events, Collector& collector, GraphSink* sink, HRESULT& hr, long& code, std::string& error)
{
    unsigned long seen = collector.deliveries();
    DWORD quiet = 0;
    for (;;) {
        const DWORD step = 250;
        hr = events->WaitForCompletion(step, &code);
        if (hr != E_ABORT)  // E_ABORT: the step passed without an event
            return true;
        if (sink && !sink->poll(error))
            return false;
        const unsigned long now = collector.deliveries();
        quiet = now == seen ? quiet + step : 0;
        seen = now;
        if (quiet >= 60000) {
            hr = VFW_E_TIMEOUT;
            return true;
        }
    }
}

// Between the end of a stream and Stop (see run).
constexpr DWORD kSettleBeforeStopMs = 50;

GraphRunResult run(const wchar_t* wavPath, const ParameterRecord* settings, const wchar_t* dll, bool restart,
                   GraphSink* sink, HMODULE* module)
{
    GraphRunResult result;
    Graph g;
    Collector collector(sink);
    if (!addFilters(g, settings, dll, module, result.error) || !connectChain(g, wavPath, collector, result.error))
        return result;
    if (sink && !sink->begin(connectedFormat(g.grab.p), result.error))
        return result;
    Ptr<IMediaControl> control;
    Ptr<IMediaEvent> events;
    g.builder->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(control.put()));
    g.builder->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(events.put()));
    if (!control.p || !events.p) {
        result.error = "the graph has no media control";
        return result;
    }
    Ptr<IMediaSeeking> seeking;
    LONGLONG duration = 0;
    if (SUCCEEDED(g.builder->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(seeking.put()))) &&
        SUCCEEDED(seeking->GetDuration(&duration)))
        result.duration = duration;
    // No reference clock: the renderer takes samples as fast as they come instead of in real time.
    Ptr<IMediaFilter> timing;
    if (SUCCEEDED(g.builder->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(timing.put()))))
        timing->SetSyncSource(nullptr);
    if (restart && !runAndRewind(control.p, seeking.p, collector, result.error))
        return result;
    HRESULT hr = control->Run();
    if (FAILED(hr)) {
        result.error = failure("running the graph", hr);
        return result;
    }
    long code = 0;
    const bool waited = waitForEnd(events.p, collector, sink, hr, code, result.error);
    // The end of the stream reaches us while the parser's streaming thread is still on its way back
    // from delivering it. Wine's WAVE parser, stopped in that moment, wakes that thread before it
    // sleeps and then waits for it for ever: a moment's grace first.
    if (waited && SUCCEEDED(hr) && code == EC_COMPLETE)
        Sleep(kSettleBeforeStopMs);
    control->Stop();
    if (!waited)
        return result;
    if (sink && SUCCEEDED(hr) && code == EC_COMPLETE && !sink->poll(result.error))
        return result;
    if (FAILED(hr) || code != EC_COMPLETE) {
        result.error = failure("running to completion", FAILED(hr) ? hr : static_cast<HRESULT>(code));
        return result;
    }
    result.format = connectedFormat(g.grab.p);
    g.grab->SetCallback(nullptr, 1);
    result.data = collector.take();
    result.ok = true;
    return result;
}

}  // namespace

GraphRunResult runWavThroughFilter(const wchar_t* wavPath, const ParameterRecord* settings, const wchar_t* filterDll,
                                   bool restartMidStream, GraphSink* sink)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HMODULE module = nullptr;
    GraphRunResult result = run(wavPath, settings, filterDll, restartMidStream, sink, &module);
    // Everything of the DLL is released with the graph above, so it may go now.
    if (module)
        FreeLibrary(module);
    if (SUCCEEDED(init))
        CoUninitialize();
    return result;
}

}  // namespace qv
