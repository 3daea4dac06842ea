#pragma once
// A minimal VST 2 host: loads a plug-in DLL by name through its "main" export, exactly as a
// sequencer does, and forwards calls to the effect record it returns.

#include <windows.h>

#include <string>
#include <vector>

#include "VstInterface.h"

namespace qv {

struct AutomationEvent {
    int index;
    float value;
};

class PluginHost {
public:
    PluginHost() = default;
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the DLL and calls its entry with our callback. On failure returns false with a message.
    bool load(const std::string& dllPath, std::string& error);
    // Closes the effect (effClose) and unloads the DLL.
    void unload();

    vst::AEffect* effect() const { return effect_; }
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);
    std::string text(vst::VstInt32 opcode, vst::VstInt32 index);  // a parameter or program text

    // What the host answers to audioMasterVersion (0 plays a host too old for the plug-in).
    static vst::VstIntPtr s_versionAnswer;
    // Automation reported by the plug-in through the callback, in order.
    static std::vector<AutomationEvent> s_automation;
    // Sizes the plug-in's editor asked its window to take (audioMasterSizeWindow), in order; granted.
    static std::vector<SIZE> s_sizeRequests;

private:
    HMODULE module_ = nullptr;
    vst::AEffect* effect_ = nullptr;
};

}  // namespace qv
