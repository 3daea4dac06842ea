#include "FileTable.h"

#include <limits>

#include "PluginContract.h"

namespace qvsetup {

const FileEntry kFileTable[] = {
    {qv::kFilterFileName, nullptr, nullptr, 2, kComponentDirectX | kEntryRegister},
    {qv::kVstFileName, nullptr, nullptr, 2, kComponentVst},
    {"qvEqualizerR3.ini", nullptr, nullptr, 0, kComponentCommon},
    {"qvEqualizer.chm", nullptr, "qvEqualizer Manual", 0, kComponentCommon},
    {"ReadMe.txt", nullptr, "Velquin-qv R3 Readme", 0, kComponentCommon},
    {"Uninstall.exe", nullptr, "Uninstall Velquin-qv plug-in(s)", 0, kComponentCommon},
    {nullptr, nullptr, nullptr, 0, 0},
};

void forEachFile(uint32_t mask, const std::function<void(const FileEntry&, uint32_t)>& visit)
{
    for (uint32_t c = 0; c < 3; ++c) {
        const uint32_t bit = 1u << c;
        if (!(mask & bit))
            continue;
        for (const FileEntry* e = kFileTable; e->name; ++e)
            if (e->flags & bit)
                visit(*e, bit);
    }
}

int countFiles(uint32_t mask)
{
    int n = 0;
    forEachFile(mask, [&](const FileEntry& e, uint32_t) {
        if (!(e.flags & kEntryDirectory))
            ++n;
    });
    return n;
}

uint32_t componentSize(uint32_t mask, const std::function<uint32_t(const FileEntry&)>& sizeOf)
{
    uint64_t total = 0;
    forEachFile(mask, [&](const FileEntry& e, uint32_t) {
        if (!(e.flags & kEntryDirectory))
            total += sizeOf(e);
    });
    return total > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                        : static_cast<uint32_t>(total);
}

uint32_t directXLabelMask(bool directXChecked)
{
    return directXChecked ? (kComponentDirectX | kComponentCommon) : kComponentDirectX;
}

uint32_t vstLabelMask(bool directXChecked)
{
    return directXChecked ? kComponentVst : (kComponentVst | kComponentCommon);
}

}  // namespace qvsetup
