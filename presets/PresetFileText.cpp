#include "PresetFileText.h"

#include <cstdio>

#include "PresetText.h"

namespace qv {

namespace {
std::string keyOf(const std::string& line)
{
    std::string key = line.substr(0, line.find('='));
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t'))
        key.pop_back();
    return key;
}

// A value never spans lines: a line break in it would start a new key or section.
std::string oneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    }
    return text;
}

void setKey(IniSection& section, const char* key, const std::string& value)
{
    std::string line = std::string(key) + "=" + oneLine(value);
    for (std::string& existing : section.lines) {
        if (compareNoCase(keyOf(existing).c_str(), key) == 0) {
            existing = line;
            return;
        }
    }
    section.lines.push_back(line);
}

IniSection* find(std::vector<IniSection>& sections, const std::string& name)
{
    for (IniSection& s : sections) {
        if (equalNoCase(s.name, name))
            return &s;
    }
    return nullptr;
}

bool hasKey(const IniSection& section, const char* key)
{
    for (const std::string& line : section.lines) {
        if (compareNoCase(keyOf(line).c_str(), key) == 0)
            return true;
    }
    return false;
}

std::string presetSection(int n)
{
    char name[32];
    std::snprintf(name, sizeof name, "Preset%d", n);
    return name;
}
}  // namespace

std::string composePresetFile(const std::vector<IniSection>& old, const PresetFileWrite& write)
{
    std::vector<IniSection> sections = old;
    if (write.fullSave) {
        for (int n = 1;; ++n) {
            IniSection* s = find(sections, presetSection(n));
            if (s == nullptr || !hasKey(*s, "Version"))
                break;
            s->name.clear();  // removed below
        }
        std::vector<IniSection> kept;
        for (IniSection& s : sections) {
            if (!s.name.empty())
                kept.push_back(std::move(s));
        }
        sections.swap(kept);
    }
    IniSection* plugin = find(sections, "Plug-in");
    if (plugin == nullptr) {
        sections.push_back(IniSection{"Plug-in", {}});
        plugin = &sections.back();
    }
    setKey(*plugin, "PluginName", write.pluginName);
    setKey(*plugin, "CLSID", write.pluginKey);
    if (write.fullSave)
        setKey(*plugin, "DefaultPreset", "1");

    int n = 1;
    for (const PresetRecord* r : write.records) {
        std::string name = presetSection(n++);
        IniSection section{name, {}};
        setKey(section, "Version", std::to_string(r->version));
        setKey(section, "Name", r->name);
        setKey(section, "Bank", r->bank);
        setKey(section, "Data", r->data);
        if (IniSection* existing = find(sections, name)) {
            existing->lines = section.lines;
        } else {
            sections.push_back(std::move(section));
        }
    }

    std::string text;
    for (const IniSection& s : sections) {
        text += "[" + oneLine(s.name) + "]\r\n";
        for (const std::string& line : s.lines)
            text += oneLine(line) + "\r\n";
    }
    return text;
}

}  // namespace qv
