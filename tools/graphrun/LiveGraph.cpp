#include "LiveGraph.h"

#include <control.h>
#include <qedit.h>
#include <uuids.h>

#include <cmath>
#include <cstring>
#include <cstdio>
#include <mutex>
#include <vector>

#include "GraphRun.h"

namespace qv {
namespace {

// Keeps every output sample's square (float samples), for levels over any recent stretch.
class LevelTap : public BufferCallback {
public:
    HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE* buffer, long length) override
    {
        if (!buffer || length <= 0)
            return S_OK;
        const size_t count = static_cast<size_t>(length) / sizeof(float);
        std::lock_guard<std::mutex> lock(mutex_);
        for (size_t i = 0; i < count; ++i) {
            float v;
            std::memcpy(&v, buffer + i * sizeof v, sizeof v);
            squares_.push_back(static_cast<double>(v) * v);
        }
        return S_OK;
    }
    size_t count() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return squares_.size();
    }
    double recentMeanSquare(size_t n) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (n > squares_.size())
            n = squares_.size();
        double sum = 0;
        for (size_t i = squares_.size() - n; i < squares_.size(); ++i)
            sum += squares_[i];
        return n ? sum / static_cast<double>(n) : 0.0;
    }

private:
    mutable std::mutex mutex_;
    std::vector<double> squares_;
};

template <class T>
void release(T*& p)
{
    if (p)
        p->Release();
    p = nullptr;
}

std::string failure(const char* what, HRESULT hr)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s failed (0x%08lX)", what, static_cast<unsigned long>(hr));
    return text;
}

}  // namespace

struct LiveGraph::State {
    HMODULE module = nullptr;
    IGraphBuilder* graph = nullptr;
    IBaseFilter* filters[5] = {};  // source, parser, equalizer, grabber, renderer
    IMediaControl* control = nullptr;
    LevelTap tap;
    double rate = 0;  // samples per second over all channels

    ~State()
    {
        if (control)
            control->Stop();
        release(control);
        for (IBaseFilter*& f : filters)
            release(f);
        release(graph);
        if (module)
            FreeLibrary(module);
    }
};

LiveGraph::LiveGraph() = default;
LiveGraph::~LiveGraph() { stop(); }

void LiveGraph::stop() { state_.reset(); }

IBaseFilter* LiveGraph::equalizer() const { return state_ ? state_->filters[2] : nullptr; }

bool LiveGraph::start(const wchar_t* wavPath, const wchar_t* filterDll, std::string* error)
{
    stop();
    auto s = std::make_unique<State>();
    auto fail = [error](const char* what, HRESULT hr) {
        if (error)
            *error = failure(what, hr);
        return false;
    };
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(&s->graph));
    if (FAILED(hr))
        return fail("creating the filter graph", hr);
    const CLSID* classes[5] = {&CLSID_AsyncReader, &kWaveParser, nullptr, &kSampleGrabber, &kNullRenderer};
    for (int i = 0; i < 5; ++i) {
        hr = classes[i] ? CoCreateInstance(*classes[i], nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                           reinterpret_cast<void**>(&s->filters[i]))
                        : createFilter(filterDll, &s->module, &s->filters[i]);
        if (SUCCEEDED(hr))
            hr = s->graph->AddFilter(s->filters[i], nullptr);
        if (FAILED(hr))
            return fail("creating the filters", hr);
    }
    IFileSourceFilter* file = nullptr;
    hr = s->filters[0]->QueryInterface(IID_IFileSourceFilter, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr))
        hr = file->Load(wavPath, nullptr);
    release(file);
    if (FAILED(hr))
        return fail("opening the WAV file", hr);
    ISampleGrabber* grab = nullptr;
    hr = s->filters[3]->QueryInterface(IID_ISampleGrabber, reinterpret_cast<void**>(&grab));
    if (SUCCEEDED(hr))
        hr = grab->SetCallback(&s->tap, 1);
    release(grab);
    if (FAILED(hr))
        return fail("setting up the Sample Grabber", hr);
    for (int i = 0; i < 4; ++i) {
        hr = connect(s->graph, s->filters[i], s->filters[i + 1]);
        if (FAILED(hr))
            return fail("connecting the filters", hr);
    }
    IPin* out = nullptr;
    AM_MEDIA_TYPE mt{};
    hr = findPin(s->filters[2], PINDIR_OUTPUT, &out);
    if (SUCCEEDED(hr))
        hr = out->ConnectionMediaType(&mt);
    release(out);
    if (FAILED(hr))
        return fail("reading the output format", hr);
    // The parser may describe float samples with the extensible format: go by the subtype.
    if (mt.pbFormat && mt.cbFormat >= 16 && IsEqualGUID(mt.subtype, MEDIASUBTYPE_IEEE_FLOAT)) {
        const auto* wf = reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
        s->rate = static_cast<double>(wf->nSamplesPerSec) * wf->nChannels;
    }
    CoTaskMemFree(mt.pbFormat);
    if (mt.pUnk)
        mt.pUnk->Release();
    if (s->rate <= 0)
        return fail("playing a file that is not 32-bit float", E_INVALIDARG);
    hr = s->graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&s->control));
    if (SUCCEEDED(hr))
        hr = s->control->Run();
    if (FAILED(hr))
        return fail("running the graph", hr);
    state_ = std::move(s);
    return true;
}

double LiveGraph::outputSeconds() const { return state_ ? state_->tap.count() / state_->rate : 0.0; }

double LiveGraph::recentLevelDb(double seconds) const
{
    if (!state_)
        return -999.0;
    const double ms = state_->tap.recentMeanSquare(static_cast<size_t>(seconds * state_->rate));
    return ms > 0 ? 10.0 * std::log10(ms) : -999.0;
}

}  // namespace qv
