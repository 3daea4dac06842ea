#pragma once
// The in-memory preset list and the decisions made over it: command ids, the sort, the duplicate
// rule of imports, and the shapes of the presets menu, the Preset Manager tree and its move menu.
// Free of any platform header.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qv {

constexpr int32_t kFirstPresetId = 3501;
constexpr int32_t kPresetVersion = 3;  // version of presets made or updated here

// The presets menu's own commands.
constexpr int32_t kPresetManagerCommand = 10500;
constexpr int32_t kAddPresetCommand = 10501;
constexpr int32_t kUpdatePresetCommand = 1503;

// Whether a fixed command of the presets menu or of the Preset Manager's move menu uses this id, so
// that no preset may take it: a preset with such an id would run that command instead of loading.
bool isFixedCommandId(int32_t id);
// The id of a new record when the largest id in use is largest: the next one above it, and above
// 3500, that no fixed command uses.
int32_t commandIdAfter(int32_t largest);

struct PresetRecord {
    int32_t version = kPresetVersion;
    std::string name;  // at most 127 characters
    std::string bank;  // at most 127 characters, empty for none
    std::string data;  // the Data text
    int32_t commandId = 0;
};

class PresetList {
public:
    int count() const { return static_cast<int>(records_.size()); }
    bool empty() const { return records_.empty(); }
    // No record for an index outside 0..count-1.
    PresetRecord* at(int index) const;
    PresetRecord* findById(int32_t commandId) const;
    int indexOfId(int32_t commandId) const;  // -1 when absent

    // The largest command id, 3500 when there is none above it.
    int32_t largestCommandId() const;
    // The id of a new record when this list is the only one in use.
    int32_t nextCommandId() const { return commandIdAfter(largestCommandId()); }
    // Appends a record (its command id is the caller's) and returns it.
    PresetRecord* append(std::unique_ptr<PresetRecord> record);
    void removeAt(int index);
    void clear() { records_.clear(); }
    std::unique_ptr<PresetList> deepCopy() const;
    void swap(PresetList& other) { records_.swap(other.records_); }

    // Banks first, grouped by bank, then the presets without bank, each group by name; equal
    // records keep their order.
    void sort();
    // Whether a record with the same name, bank and Data text (case-insensitive) exists.
    bool containsEqual(const PresetRecord& record) const;
    bool hasBank(const std::string& bank) const;  // case-insensitive

private:
    std::vector<std::unique_ptr<PresetRecord>> records_;
};

// Whether record a sorts after record b.
bool sortsAfter(const PresetRecord& a, const PresetRecord& b);

// The presets part of the editor's presets menu, in order: presets without bank are items, banked
// presets are items of a submenu named exactly (case-sensitively) after their bank.
struct MenuEntry {
    std::string text;
    int32_t commandId = 0;           // of an item; 0 for a submenu
    std::vector<int> recordIndexes;  // of a submenu: the records in list order
};
std::vector<MenuEntry> planPresetMenu(const PresetList& list);

// The Preset Manager tree: banks grouped case-insensitively (named as their first record spells
// them), then the presets without bank.
struct TreeBank {
    std::string name;
    std::vector<int> recordIndexes;
};
struct TreePlan {
    std::vector<TreeBank> banks;    // in order of first appearance
    std::vector<int> looseIndexes;  // presets directly under the root, in list order
};
TreePlan planPresetTree(const PresetList& list);

// The banks a preset can be moved to: each non-empty bank once (case-insensitive), named and
// identified by its first record in list order, except the preset's own bank.
struct MoveTarget {
    std::string bank;
    int32_t commandId;
};
std::vector<MoveTarget> moveTargets(const PresetList& list, const PresetRecord& preset);

}  // namespace qv
