#include "PresetLookup.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "PresetText.h"

namespace qv {
namespace {

std::string lower(const std::string& s)
{
    std::string out = s;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Edits (insert, delete, replace) from a to b; both are short names.
size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string fullName(const PresetRecord& r) { return r.bank.empty() ? r.name : r.bank + "/" + r.name; }

bool matches(const PresetRecord& r, const std::string& query)
{
    if (equalNoCase(r.name, query))
        return true;
    // A bank or a name may itself hold a slash: compare the whole "BANK/NAME".
    return !r.bank.empty() && equalNoCase(fullName(r), query);
}

}  // namespace

const PresetRecord* findPreset(const PresetList& list, const std::string& query, std::string& error)
{
    std::vector<const PresetRecord*> found;
    for (int i = 0; i < list.count(); ++i)
        if (matches(*list.at(i), query))
            found.push_back(list.at(i));
    if (found.size() == 1)
        return found[0];
    if (found.size() > 1) {
        error = "more than one preset is named \"" + query + "\"; name one by its bank:";
        for (const PresetRecord* r : found)
            error += "\n  " + fullName(*r);
        return nullptr;
    }

    // Close: a few typing mistakes away, or containing what was typed.
    const std::string q = lower(query);
    std::vector<std::pair<size_t, std::string>> close;
    for (int i = 0; i < list.count(); ++i) {
        const PresetRecord& r = *list.at(i);
        const std::string name = lower(r.name), full = lower(fullName(r));
        const size_t distance = std::min(editDistance(q, name), editDistance(q, full));
        const bool contains = !q.empty() && (name.find(q) != std::string::npos || q.find(name) != std::string::npos);
        if (distance <= std::max<size_t>(2, q.size() / 3) || contains)
            close.emplace_back(contains ? 0 : distance, fullName(r));
    }
    std::stable_sort(close.begin(), close.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    error = "no preset is named \"" + query + "\"";
    if (close.empty()) {
        error += " (--list-presets lists them)";
        return nullptr;
    }
    error += "; close matches:";
    for (size_t i = 0; i < close.size() && i < 8; ++i)
        error += "\n  " + close[i].second;
    return nullptr;
}

std::string presetListing(const PresetList& list)
{
    const TreePlan plan = planPresetTree(list);
    std::string out;
    for (const TreeBank& bank : plan.banks) {
        out += bank.name + "\n";
        for (int index : bank.recordIndexes)
            out += "  " + list.at(index)->name + "\n";
    }
    if (!plan.looseIndexes.empty() && !plan.banks.empty())
        out += "(no bank)\n";
    for (int index : plan.looseIndexes)
        out += "  " + list.at(index)->name + "\n";
    return out;
}

}  // namespace qv
