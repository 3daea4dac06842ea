// Fuzzes the readers of outside preset text: Data texts, integers, names, sorting and path rules,
// and parametric EQ texts with their conversion to settings and back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "DataText.h"
#include "EqText.h"
#include "EqTextExport.h"
#include "EqTextImport.h"
#include "PluginContract.h"
#include "PresetFileText.h"
#include "PresetList.h"
#include "PresetRules.h"
#include "PresetText.h"

namespace {

// Whatever the text, the settings it gives lie in the ranges, and text written from them reads back.
void fuzzEqText(const uint8_t* bytes, size_t size)
{
    const char* text = reinterpret_cast<const char*>(bytes);
    const qv::EqTextFile file = qv::parseEqText(text, size);
    if (file.filters.size() > qv::kEqTextMaxFilters || file.unreadLines.size() > qv::kEqTextMaxUnread)
        __builtin_trap();
    if (size > 4096)
        return;  // the matching is the slow part; long texts add nothing to it
    const qv::EqImport eq = qv::importEqText(file);
    if (eq.usable == !eq.refusal.empty())
        __builtin_trap();
    qv::ParameterRecord limited = eq.record;
    qv::clampRecord(limited, qv::kDefaultFreqLimit);
    for (int i = 0; i < qv::kDataValueCount; ++i)
        if (limited.values[qv::dataParamIndex(i)] != eq.record.values[qv::dataParamIndex(i)])
            __builtin_trap();
    if (!eq.usable || (size % 8) != 0)
        return;  // an export costs a few matches; every eighth input is enough
    const qv::EqExport out = qv::exportEqText(eq.record);
    const qv::EqImport back = qv::importEqTextBytes(out.text.data(), out.text.size());
    for (int i = 0; i < qv::kDataValueCount; ++i)
        if (back.record.values[qv::dataParamIndex(i)] != eq.record.values[qv::dataParamIndex(i)])
            __builtin_trap();
    qv::eqPresetName(std::string(text, size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    fuzzEqText(bytes, size);
    std::string input(reinterpret_cast<const char*>(bytes), size);
    qv::ParameterRecord record = qv::kDefaultParameters;
    qv::applyDataText(input.c_str(), record);
    char text[1024];
    if (!qv::formatDataText(record, text, sizeof text))
        __builtin_trap();
    qv::ParameterRecord again = {};
    if (qv::applyDataText(text, again) != qv::kDataValueCount)
        __builtin_trap();
    qv::leadingInteger(input.c_str());
    qv::sanitizeFileName(input);

    // Split the input into records to exercise the sort and the menu and tree shapes.
    qv::PresetList list;
    std::size_t start = 0;
    while (start <= input.size() && list.count() < 64) {
        std::size_t end = input.find('\n', start);
        if (end == std::string::npos)
            end = input.size();
        std::string line = input.substr(start, end - start);
        auto r = std::make_unique<qv::PresetRecord>();
        std::size_t bar = line.find('|');
        r->bank = qv::cutText(bar == std::string::npos ? std::string() : line.substr(0, bar));
        r->name = qv::cutText(bar == std::string::npos ? line : line.substr(bar + 1));
        r->commandId = list.nextCommandId();
        list.append(std::move(r));
        start = end + 1;
    }
    list.sort();
    for (int i = 1; i < list.count(); ++i) {
        if (qv::sortsAfter(*list.at(i - 1), *list.at(i)))
            __builtin_trap();
    }
    qv::planPresetMenu(list);
    qv::planPresetTree(list);
    if (list.count() > 0)
        qv::moveTargets(list, *list.at(0));
    // The file text never gains a line the records did not ask for.
    std::vector<qv::IniSection> old = {{input, {input}}};
    std::vector<const qv::PresetRecord*> records;
    for (int i = 0; i < list.count(); ++i)
        records.push_back(list.at(i));
    qv::PresetFileWrite write{input, input, (size & 1) != 0, records};
    std::string file = qv::composePresetFile(old, write);
    std::size_t lines = 0;
    for (char c : file)
        lines += c == '\n';
    if (lines > 2 + 4 + 2 + 5 * records.size())
        __builtin_trap();
    qv::resolvePresetPath(input.c_str(), input.c_str(), qv::kPresetFileName);
    return 0;
}
