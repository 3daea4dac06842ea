// The DLL's entry: exported as "VSTPluginMain" and, by the .def file, as "main".

#include <windows.h>

#include <new>

#include "EqualizerEffect.h"
#include "WindowEditor.h"

namespace {
HINSTANCE gModule;
}

HINSTANCE qvModuleHandle() { return gModule; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        gModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) vst::AEffect* QV_VSTCALL VSTPluginMain(vst::AudioMasterCallback audioMaster)
{
    if (!audioMaster || audioMaster(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    auto* effect = new (std::nothrow) qv::EqualizerEffect(audioMaster, &qv::makeWindowEditor);
    // Without its editor the effect would tell the host it has none: out of memory is a failure.
    if (effect && !effect->editor()) {
        delete effect;
        effect = nullptr;
    }
    return effect ? effect->aeffect() : nullptr;
}
