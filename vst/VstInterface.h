#pragma once
// Our declarations of the VST 2 C interface, written from what this plug-in needs: the effect
// record a host reads, the dispatcher opcodes 0..24 we answer, and the host callback.

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define QV_VSTCALL __cdecl
#else
#define QV_VSTCALL
#endif

namespace vst {

using VstInt32 = int32_t;
using VstIntPtr = intptr_t;

struct AEffect;

using AudioMasterCallback = VstIntPtr(QV_VSTCALL*)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                   void* ptr, float opt);
using DispatcherProc = VstIntPtr(QV_VSTCALL*)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt);
using ProcessProc = void(QV_VSTCALL*)(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
using SetParameterProc = void(QV_VSTCALL*)(AEffect* effect, VstInt32 index, float value);
using GetParameterProc = float(QV_VSTCALL*)(AEffect* effect, VstInt32 index);

constexpr VstInt32 fourCharCode(char a, char b, char c, char d)
{
    return static_cast<VstInt32>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                 (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                 (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                 static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

constexpr VstInt32 kEffectMagic = fourCharCode('V', 's', 't', 'P');

// The effect record. 144 bytes on 32-bit Windows; the same fields, naturally aligned, on 64-bit.
struct AEffect {
    VstInt32 magic;
    DispatcherProc dispatcher;
    ProcessProc process;  // accumulating
    SetParameterProc setParameter;
    GetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;
    VstInt32 realQualities;
    VstInt32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    ProcessProc processReplacing;
    char future[60];
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(AEffect) == 144, "the 32-bit effect record is 144 bytes");
#endif
static_assert(sizeof(void*) != 8 || sizeof(AEffect) == 192, "the 64-bit effect record");

enum EffectFlags : VstInt32 {
    effFlagsHasEditor = 1,
    effFlagsCanMono = 8,
    effFlagsCanReplacing = 16,
    effFlagsProgramChunks = 32,
};

enum EffectOpcodes : VstInt32 {
    effOpen = 0,
    effClose,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    effGetVu,
    effSetSampleRate,
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    effEditDraw,
    effEditMouse,
    effEditKey,
    effEditIdle,
    effEditTop,
    effEditSleep,
    effIdentify,
    effGetChunk,
    effSetChunk,
};

enum AudioMasterOpcodes : VstInt32 {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterSizeWindow = 15,  // index: width, value: height of the editor
};

struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

}  // namespace vst
