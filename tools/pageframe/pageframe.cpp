// Shows the filter's property page in the system's OLE property frame, as a media player does, and
// saves the frame as a BMP: pageframe OUT.bmp [FILTER.dll]. The filter is a fresh one at its
// defaults, with a 44.1 kHz stereo format as if connected.
#include <windows.h>
#include <mmreg.h>

#include <cstdio>

#include "IEqualizerControl.h"
#include "PageFrame.h"
#include "PluginContract.h"
#include "WindowPicture.h"
#include "resources/editor_ids.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: pageframe OUT.bmp [" QV_FILTER_FILE_NAME "]\n");
        return 2;
    }
    const wchar_t* dllPath = argc > 2 ? argv[2] : L"" QV_FILTER_FILE_NAME;
    OleInitialize(nullptr);
    int status = 1;
    HMODULE dll = LoadLibraryW(dllPath);
    const DWORD cookie = dll ? qv::serveClassInProcess(dll, CLSID_qvEqualizerPropertyPage) : 0;
    IUnknown* filter = nullptr;
    IClassFactory* factory = nullptr;
    if (cookie && SUCCEEDED(qv::classFactory(dll, CLSID_qvEqualizer, &factory))) {
        factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&filter));
        factory->Release();
    }
    if (filter) {
        IEqualizerControl* control = nullptr;
        if (SUCCEEDED(filter->QueryInterface(IID_IEqualizerControl, reinterpret_cast<void**>(&control)))) {
            WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
            control->SetStreamFormat(&format);
            control->Release();
        }
        const HRESULT hr = qv::showPropertyFrame(filter, IDC_PAGE_CLIP_LEFT, [&](HWND frame, HWND) {
            qv::pumpMessages(500);
            if (qv::saveWindowBmp(frame, argv[1]))
                status = 0;
        });
        if (FAILED(hr))
            std::fprintf(stderr, "pageframe: the frame did not show the page (0x%08lX)\n",
                         static_cast<unsigned long>(hr));
        filter->Release();
    } else {
        std::fprintf(stderr, "pageframe: no filter from %ls\n", dllPath);
    }
    if (cookie)
        CoRevokeClassObject(cookie);
    OleUninitialize();
    return status;
}
