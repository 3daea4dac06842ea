#include "PluginHost.h"

#include <cstring>

namespace qv {

vst::VstIntPtr PluginHost::s_versionAnswer = 2400;
std::vector<AutomationEvent> PluginHost::s_automation;
std::vector<SIZE> PluginHost::s_sizeRequests;

namespace {

vst::VstIntPtr QV_VSTCALL hostCallback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                                       void*, float opt)
{
    switch (opcode) {
    case vst::audioMasterVersion:
        return PluginHost::s_versionAnswer;
    case vst::audioMasterAutomate:
        PluginHost::s_automation.push_back({index, opt});
        return 0;
    case vst::audioMasterSizeWindow:
        PluginHost::s_sizeRequests.push_back(SIZE{index, static_cast<LONG>(value)});
        return 1;
    default:
        return 0;
    }
}

using EntryProc = vst::AEffect*(QV_VSTCALL*)(vst::AudioMasterCallback);

}  // namespace

PluginHost::~PluginHost() { unload(); }

bool PluginHost::load(const std::string& dllPath, std::string& error)
{
    unload();
    module_ = LoadLibraryA(dllPath.c_str());
    if (!module_) {
        error = "cannot load the plug-in \"" + dllPath + "\" (Windows error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    auto entry = reinterpret_cast<EntryProc>(reinterpret_cast<void*>(GetProcAddress(module_, "main")));
    if (!entry) {
        error = "\"" + dllPath + "\" is not a VST 2 plug-in: it exports no \"main\"";
        unload();
        return false;
    }
    effect_ = entry(hostCallback);
    if (!effect_) {
        error = "the plug-in's \"main\" returned no effect";
        unload();
        return false;
    }
    if (effect_->magic != vst::kEffectMagic) {
        error = "the plug-in's \"main\" returned a record without the VST magic";
        effect_ = nullptr;
        unload();
        return false;
    }
    return true;
}

void PluginHost::unload()
{
    if (effect_) {
        effect_->dispatcher(effect_, vst::effClose, 0, 0, nullptr, 0.0f);
        effect_ = nullptr;
    }
    if (module_) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

vst::VstIntPtr PluginHost::dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                    float opt)
{
    return effect_ ? effect_->dispatcher(effect_, opcode, index, value, ptr, opt) : 0;
}

std::string PluginHost::text(vst::VstInt32 opcode, vst::VstInt32 index)
{
    // Hosts give generous buffers; the guard bytes show any write beyond the terminator.
    char buffer[256];
    std::memset(buffer, '#', sizeof buffer);
    dispatch(opcode, index, 0, buffer);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

}  // namespace qv
