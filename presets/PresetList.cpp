#include "PresetList.h"

#include <algorithm>

#include "PresetResources.h"
#include "PresetText.h"

namespace qv {

PresetRecord* PresetList::at(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return records_[static_cast<std::size_t>(index)].get();
}

int PresetList::indexOfId(int32_t commandId) const
{
    for (int i = 0; i < count(); ++i) {
        if (records_[static_cast<std::size_t>(i)]->commandId == commandId)
            return i;
    }
    return -1;
}

PresetRecord* PresetList::findById(int32_t commandId) const { return at(indexOfId(commandId)); }

bool isFixedCommandId(int32_t id)
{
    return id == IDC_MOVE_TO_ROOT || id == IDC_MOVE_TO_NEW_BANK || id == kPresetManagerCommand ||
           id == kAddPresetCommand;
}

int32_t commandIdAfter(int32_t largest)
{
    int32_t id = std::max(largest, kFirstPresetId - 1) + 1;
    while (isFixedCommandId(id))
        ++id;
    return id;
}

int32_t PresetList::largestCommandId() const
{
    int32_t largest = kFirstPresetId - 1;
    for (const auto& r : records_)
        largest = std::max(largest, r->commandId);
    return largest;
}

PresetRecord* PresetList::append(std::unique_ptr<PresetRecord> record)
{
    records_.push_back(std::move(record));
    return records_.back().get();
}

void PresetList::removeAt(int index)
{
    if (index >= 0 && index < count())
        records_.erase(records_.begin() + index);
}

std::unique_ptr<PresetList> PresetList::deepCopy() const
{
    auto copy = std::make_unique<PresetList>();
    copy->records_.reserve(records_.size());
    for (const auto& r : records_)
        copy->records_.push_back(std::make_unique<PresetRecord>(*r));
    return copy;
}

bool sortsAfter(const PresetRecord& a, const PresetRecord& b)
{
    int byBank = compareSortText(a.bank, b.bank);
    if (byBank != 0)
        return byBank > 0;
    return compareSortText(a.name, b.name) > 0;
}

void PresetList::sort()
{
    // A stable sort gives exactly the order of repeated adjacent swaps, without their quadratic
    // cost on files with thousands of presets.
    std::stable_sort(records_.begin(), records_.end(), [](const auto& a, const auto& b) { return sortsAfter(*b, *a); });
}

bool PresetList::containsEqual(const PresetRecord& record) const
{
    for (const auto& r : records_) {
        if (equalNoCase(r->name, record.name) && equalNoCase(r->bank, record.bank) && equalNoCase(r->data, record.data))
            return true;
    }
    return false;
}

bool PresetList::hasBank(const std::string& bank) const
{
    for (const auto& r : records_) {
        if (equalNoCase(r->bank, bank))
            return true;
    }
    return false;
}

std::vector<MenuEntry> planPresetMenu(const PresetList& list)
{
    std::vector<MenuEntry> entries;
    for (int i = 0; i < list.count(); ++i) {
        const PresetRecord& r = *list.at(i);
        // A menu choice reaches the editor as a 16-bit command word: a larger id would arrive as
        // another preset's or a fixed command's. Such presets stay in the Preset Manager only.
        if (r.commandId <= 0 || r.commandId > 0xFFFF)
            continue;
        if (r.bank.empty()) {
            entries.push_back(MenuEntry{r.name, r.commandId, {}});
            continue;
        }
        auto sub = std::find_if(entries.begin(), entries.end(),
                                [&](const MenuEntry& e) { return e.commandId == 0 && e.text == r.bank; });
        if (sub == entries.end()) {
            entries.push_back(MenuEntry{r.bank, 0, {i}});
        } else {
            sub->recordIndexes.push_back(i);
        }
    }
    return entries;
}

TreePlan planPresetTree(const PresetList& list)
{
    TreePlan plan;
    for (int i = 0; i < list.count(); ++i) {
        const PresetRecord& r = *list.at(i);
        if (r.bank.empty()) {
            plan.looseIndexes.push_back(i);
            continue;
        }
        auto bank = std::find_if(plan.banks.begin(), plan.banks.end(),
                                 [&](const TreeBank& b) { return equalNoCase(b.name, r.bank); });
        if (bank == plan.banks.end()) {
            plan.banks.push_back(TreeBank{r.bank, {i}});
        } else {
            bank->recordIndexes.push_back(i);
        }
    }
    return plan;
}

std::vector<MoveTarget> moveTargets(const PresetList& list, const PresetRecord& preset)
{
    std::vector<MoveTarget> targets;
    for (int i = 0; i < list.count(); ++i) {
        const PresetRecord& r = *list.at(i);
        if (r.bank.empty() || equalNoCase(r.bank, preset.bank))
            continue;
        bool seen = std::any_of(targets.begin(), targets.end(),
                                [&](const MoveTarget& t) { return equalNoCase(t.bank, r.bank); });
        if (!seen)
            targets.push_back(MoveTarget{r.bank, r.commandId});
    }
    return targets;
}

}  // namespace qv
