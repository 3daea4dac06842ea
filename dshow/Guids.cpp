#include <windows.h>

#include "ClassIds.h"
#include "IEqualizerControl.h"

extern "C" {
const IID IID_IEqualizerControl = qv::guidFromText<IID>(qv::kControlIidText);
const IID IID_IEqualizerAnalyzer = qv::guidFromText<IID>(qv::kAnalyzerIidText);
const IID IID_IPresetList = {0x36A22460, 0x0CC9, 0x11D0, {0x85, 0x74, 0x00, 0xA0, 0xC9, 0x05, 0x39, 0x12}};
const CLSID CLSID_qvEqualizer = qv::guidFromText<CLSID>(qv::kEqualizerClsidText);
const CLSID CLSID_qvEqualizerPropertyPage = qv::guidFromText<CLSID>(qv::kPropertyPageClsidText);
}
