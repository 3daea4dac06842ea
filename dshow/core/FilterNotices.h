#pragma once
// The notices the filter posts to its registered windows (the property page's dialog) as WM_COMMAND:
// the window's command id in the low word of wParam, the notice code in the high word.

#include <cstdint>

namespace qv {

enum FilterNotice : uint16_t {
    kNoticeInputTypeSet = 0,      // a media type was set on the input pin
    kNoticeOutputTypeSet = 1,     // a media type was set on the output pin
    kNoticeSettingsLoaded = 100,  // IPersistStream::Load replaced the settings
};

// The command id the property page registers its dialog with.
constexpr uint16_t kPageNotifyCommand = 32700;

}  // namespace qv
