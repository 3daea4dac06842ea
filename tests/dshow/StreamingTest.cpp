// The filter's streaming side driven directly: our own peers around it, real quartz allocators and
// samples, so odd buffers, state and the copy path can be checked sample by sample.
#include <gtest/gtest.h>

#include <windows.h>
#include <strmif.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "IEqualizerControl.h"
#include "PluginContract.h"

namespace {

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// A pin that answers only what the filter's pins ask of their peers; the rest is not implemented.
struct StubPin : IPin {
    explicit StubPin(PIN_DIRECTION d) : direction(d) {}
    PIN_DIRECTION direction;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPin)) {
            *ppv = static_cast<IPin*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Disconnect() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* d) override
    {
        *d = direction;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE BeginFlush() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }
};

// The upstream end: only what a connecting input pin asks of its connector.
struct FakeOutput : StubPin {
    FakeOutput() : StubPin(PINDIR_OUTPUT) {}
};

// The downstream end: records what it is given; may refuse the first allocator offered.
struct FakeInput : StubPin, IMemInputPin {
    FakeInput() : StubPin(PINDIR_INPUT) {}
    bool refuseFirstAllocator = false;
    int allocatorsOffered = 0;
    IMemAllocator* allocator = nullptr;
    std::vector<IMediaSample*> samples;
    std::vector<std::vector<BYTE>> data;
    int endOfStream = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IMemInputPin)) {
            *ppv = static_cast<IMemInputPin*>(this);
            return S_OK;
        }
        return StubPin::QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EndOfStream() override
    {
        ++endOfStream;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BeginFlush() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { return S_OK; }

    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator**) override { return VFW_E_NO_ALLOCATOR; }
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* a, BOOL) override
    {
        if (refuseFirstAllocator && allocatorsOffered++ == 0)
            return E_FAIL;
        allocator = a;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* s) override
    {
        samples.push_back(s);
        BYTE* p = nullptr;
        s->GetPointer(&p);
        data.emplace_back(p, p + s->GetActualDataLength());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample**, long, long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override { return S_FALSE; }
};

struct Rig {
    HMODULE module = LoadLibraryW(L"" QV_FILTER_FILE_NAME);
    IBaseFilter* filter = nullptr;
    IPin* in = nullptr;
    IPin* out = nullptr;
    IMemInputPin* mem = nullptr;
    IMemAllocator* allocator = nullptr;
    FakeOutput upstream;
    FakeInput downstream;
    WAVEFORMATEX wf{};
    AM_MEDIA_TYPE mt{};

    Rig(WORD tag, WORD channels, bool refuse)
    {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        auto get =
            reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
        IClassFactory* factory = nullptr;
        get(CLSID_qvEqualizer, IID_IClassFactory, reinterpret_cast<void**>(&factory));
        factory->CreateInstance(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter));
        factory->Release();
        filter->FindPin(L"Input", &in);
        filter->FindPin(L"Output", &out);
        in->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&mem));
        const WORD bits = tag == 1 ? 16 : 32;
        wf = {tag, channels, 44100, 44100u * channels * (bits / 8), static_cast<WORD>(channels * (bits / 8)), bits, 0};
        mt.majortype = MEDIATYPE_Audio;
        mt.subtype = tag == 1 ? MEDIASUBTYPE_PCM : MEDIASUBTYPE_IEEE_FLOAT;
        mt.formattype = FORMAT_WaveFormatEx;
        mt.cbFormat = sizeof wf;
        mt.pbFormat = reinterpret_cast<BYTE*>(&wf);
        downstream.refuseFirstAllocator = refuse;
    }
    ~Rig()
    {
        filter->Stop();
        if (allocator)
            allocator->Release();
        mem->Release();
        in->Release();
        out->Release();
        filter->Release();
        CoUninitialize();
        FreeLibrary(module);
    }
    HRESULT connect(long prefix = 0, long size = 4096)
    {
        HRESULT hr = in->ReceiveConnection(&upstream, &mt);
        if (FAILED(hr))
            return hr;
        // As an upstream pin would: take the input's allocator, size it, tell the input.
        mem->GetAllocator(&allocator);
        ALLOCATOR_PROPERTIES want{2, size, 1, prefix}, got{};
        allocator->SetProperties(&want, &got);
        mem->NotifyAllocator(allocator, FALSE);
        return out->Connect(&downstream, &mt);
    }
    IMediaSample* sample(const void* bytes, long length)
    {
        IMediaSample* s = nullptr;
        allocator->GetBuffer(&s, nullptr, nullptr, 0);
        BYTE* p = nullptr;
        s->GetPointer(&p);
        std::memcpy(p, bytes, static_cast<size_t>(length));
        s->SetActualDataLength(length);
        return s;
    }
    IEqualizerControl* control()
    {
        IEqualizerControl* c = nullptr;
        filter->QueryInterface(IID_IEqualizerControl, reinterpret_cast<void**>(&c));
        return c;
    }
};

}  // namespace

TEST(Streaming, SharesBuffersAndCutsPartialFrames)
{
    Rig rig(1, 2, false);
    ASSERT_EQ(rig.connect(), S_OK);
    EXPECT_EQ(rig.downstream.allocator, rig.allocator);  // in place: downstream got upstream's buffers

    IEqualizerControl* c = rig.control();
    WAVEFORMATEX wf{};
    EXPECT_EQ(c->GetStreamFormat(&wf), S_OK);
    EXPECT_EQ(wf.nBlockAlign, 4);
    c->SetBypass(1);  // bypass leaves the samples as they are, so the trip must be exact

    std::vector<short> pcm(256);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<short>(i * 251 - 32768);
    ASSERT_EQ(rig.allocator->Commit(), S_OK);
    IMediaSample* early = rig.sample(pcm.data(), 400);
    EXPECT_EQ(rig.mem->Receive(early), VFW_E_WRONG_STATE);  // stopped: refused
    early->Release();
    ASSERT_EQ(rig.filter->Pause(), S_OK);
    IMediaSample* s = rig.sample(pcm.data(), 403);  // 100 frames and three stray bytes
    EXPECT_EQ(rig.mem->Receive(s), S_OK);
    ASSERT_EQ(rig.downstream.samples.size(), 1u);
    EXPECT_EQ(rig.downstream.samples[0], s);  // the same sample, processed in place
    ASSERT_EQ(rig.downstream.data[0].size(), 400u);
    EXPECT_EQ(std::memcmp(rig.downstream.data[0].data(), pcm.data(), 400), 0);
    s->Release();

    IMediaSample* empty = rig.sample(pcm.data(), 3);  // less than a frame
    EXPECT_EQ(rig.mem->Receive(empty), S_OK);
    EXPECT_EQ(rig.downstream.data.back().size(), 0u);
    empty->Release();

    EXPECT_EQ(rig.in->EndOfStream(), S_OK);
    EXPECT_EQ(rig.downstream.endOfStream, 1);

    // A sample announcing a format we do not take ends the stream with an error.
    IMediaSample* changed = rig.sample(pcm.data(), 400);
    WAVEFORMATEX eight = rig.wf;
    eight.wBitsPerSample = 8;
    AM_MEDIA_TYPE mt = rig.mt;
    mt.pbFormat = reinterpret_cast<BYTE*>(&eight);
    changed->SetMediaType(&mt);
    EXPECT_TRUE(FAILED(rig.mem->Receive(changed)));
    changed->Release();
    IMediaSample* after = rig.sample(pcm.data(), 400);
    EXPECT_TRUE(FAILED(rig.mem->Receive(after)));
    after->Release();

    // Stopping clears the error; the next run streams again.
    EXPECT_EQ(rig.filter->Stop(), S_OK);
    ASSERT_EQ(rig.filter->Pause(), S_OK);
    IMediaSample* again = rig.sample(pcm.data(), 400);
    EXPECT_EQ(rig.mem->Receive(again), S_OK);
    again->Release();
    c->Release();
}

TEST(Streaming, CopiesWhenDownstreamRefusesTheUpstreamBuffers)
{
    Rig rig(3, 1, true);
    ASSERT_EQ(rig.connect(), S_OK);
    ASSERT_NE(rig.downstream.allocator, nullptr);
    EXPECT_NE(rig.downstream.allocator, rig.allocator);

    IEqualizerControl* c = rig.control();
    c->SetGain(0, -60);  // output gain -6 dB: every processed sample changes
    ASSERT_EQ(rig.allocator->Commit(), S_OK);
    ASSERT_EQ(rig.filter->Pause(), S_OK);
    std::vector<float> f(64, 0.5f);
    IMediaSample* s = rig.sample(f.data(), 64 * 4);
    EXPECT_EQ(rig.mem->Receive(s), S_OK);
    ASSERT_EQ(rig.downstream.samples.size(), 1u);
    EXPECT_NE(rig.downstream.samples[0], s);
    BYTE* p = nullptr;
    s->GetPointer(&p);
    EXPECT_EQ(std::memcmp(p, f.data(), 64 * 4), 0);  // the upstream buffer is left alone
    ASSERT_EQ(rig.downstream.data[0].size(), 64u * 4);
    const float* y = reinterpret_cast<const float*>(rig.downstream.data[0].data());
    EXPECT_NE(y[63], 0.5f);
    s->Release();
    c->Release();
}

namespace {

constexpr double kTwoPi = 6.283185307179586;

std::vector<float> sine(double hz, double rate, size_t frames, int channels, float amplitude)
{
    std::vector<float> v(frames * channels);
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            v[i * channels + c] = amplitude * static_cast<float>(std::sin(kTwoPi * hz * i / rate));
    return v;
}

// Sends one buffer and returns the level of its second half in dB against the input's.
double gainThrough(Rig& rig, const std::vector<float>& in)
{
    IMediaSample* s = rig.sample(in.data(), static_cast<long>(in.size() * 4));
    EXPECT_EQ(rig.mem->Receive(s), S_OK);
    s->Release();
    const std::vector<BYTE>& bytes = rig.downstream.data.back();
    EXPECT_EQ(bytes.size(), in.size() * 4);
    const float* out = reinterpret_cast<const float*>(bytes.data());
    double eIn = 0, eOut = 0;
    for (size_t i = in.size() / 2; i < in.size() && i < bytes.size() / 4; ++i) {
        eIn += static_cast<double>(in[i]) * in[i];
        eOut += static_cast<double>(out[i]) * out[i];
    }
    return 10 * std::log10(eOut / eIn);
}

}  // namespace

// Edits made while a stream runs reach the next buffer: directly, after bypass, and after the
// stream changes its sample rate on a sample. Misaligned float buffers are metered whole.
TEST(Streaming, EditsRateChangesAndOddBuffersWhileRunning)
{
    Rig rig(3, 2, false);
    IEqualizerControl* c = rig.control();
    HWND page = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(c->SetNotifyWindow(page, 9), S_OK);
    ASSERT_EQ(rig.connect(1, 32768), S_OK);  // a one-byte prefix: every float buffer is misaligned
    // Each pin's connection is announced: code 0 for the input, 1 for the output.
    std::vector<int> codes;
    MSG msg;
    while (PeekMessageA(&msg, page, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        codes.push_back(LOWORD(msg.wParam) == 9 ? HIWORD(msg.wParam) : -1);
    EXPECT_EQ(codes, (std::vector<int>{0, 1}));
    c->SetNotifyWindow(page, 0);
    DestroyWindow(page);
    ASSERT_EQ(rig.allocator->Commit(), S_OK);
    ASSERT_EQ(rig.filter->Pause(), S_OK);
    const size_t frames = 2000;
    const std::vector<float> tone = sine(1000, 44100, frames, 2, 0.1f);
    IMediaSample* probe = rig.sample(tone.data(), 4);
    BYTE* at = nullptr;
    probe->GetPointer(&at);
    probe->Release();
    ASSERT_NE(reinterpret_cast<uintptr_t>(at) % alignof(float), 0u);
    gainThrough(rig, tone);  // past the fade-in at stream start
    EXPECT_NEAR(gainThrough(rig, tone), 0.0, 0.01);

    // The loudest frame first, then quiet: the meter must see the whole buffer.
    std::vector<float> spike = sine(1000, 44100, frames, 2, 0.01f);
    spike[0] = 0.75f;
    spike[1] = -0.5f;
    c->ReadPeakLeft();
    gainThrough(rig, spike);
    EXPECT_NEAR(c->ReadPeakLeft(), 0.75f, 0.01f);
    EXPECT_NEAR(c->ReadPeakRight(), 0.5f, 0.01f);

    // A peak of +12 dB at 1 kHz set while running.
    c->SetFilterType(1, 0);
    c->SetFrequency(1, 1000);
    c->SetQ(1, 40);
    c->SetGain(1, 120);
    c->SetEnabled(1, 1);
    EXPECT_NEAR(gainThrough(rig, tone), 12.0, 0.1);

    // Changed while bypassed: the change is there when bypass goes off.
    c->SetBypass(1);
    c->SetGain(1, -120);
    EXPECT_NEAR(gainThrough(rig, tone), 0.0, 0.001);
    c->SetBypass(0);
    EXPECT_NEAR(gainThrough(rig, tone), -12.0, 0.2);

    // The stream switches to 22050 Hz: 1 kHz must still be where the peak is.
    WAVEFORMATEX half = rig.wf;
    half.nSamplesPerSec = 22050;
    half.nAvgBytesPerSec = 22050 * half.nBlockAlign;
    AM_MEDIA_TYPE mt = rig.mt;
    mt.pbFormat = reinterpret_cast<BYTE*>(&half);
    const std::vector<float> tone22 = sine(1000, 22050, frames, 2, 0.1f);
    IMediaSample* s = rig.sample(tone22.data(), static_cast<long>(tone22.size() * 4));
    s->SetMediaType(&mt);
    EXPECT_EQ(rig.mem->Receive(s), S_OK);
    s->Release();
    EXPECT_NEAR(gainThrough(rig, tone22), -12.0, 0.2);
    c->Release();
}
