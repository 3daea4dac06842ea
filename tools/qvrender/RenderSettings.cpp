#include "RenderSettings.h"

#include <cstdio>

#include "DataText.h"
#include "EqTextExport.h"
#include "EqTextImport.h"
#include "ParameterText.h"

namespace qv {

namespace {

// A value in the user's units, with the type's name where it has one.
std::string valueText(int index, int32_t v)
{
    char display[kParamTextSize], label[kParamTextSize];
    parameterDisplay(index, v, display, sizeof display);
    parameterLabel(index, label, sizeof label);
    char text[64];
    if (rowOf(index) == kRowEnabled || rowOf(index) == kRowFilter)
        std::snprintf(text, sizeof text, "%ld%s%s%s", static_cast<long>(v), display[0] == '-' ? "" : " (",
                      display[0] == '-' ? "" : display, display[0] == '-' ? "" : ")");
    else
        std::snprintf(text, sizeof text, "%s%s%s", display, label[0] ? " " : "", label);
    return text;
}

}  // namespace

void RenderSettings::applyParam(int index, float normalized)
{
    if (!isValidIndex(index))
        return;
    if (!(normalized >= 0.0f && normalized <= 1.0f)) {
        const float limited = normalized > 1.0f ? 1.0f : 0.0f;  // NaN reads as 0
        char name[kParamTextSize], text[160];
        parameterName(index, name, sizeof name);
        std::snprintf(text, sizeof text, "--param %d=%g: %g is outside 0 .. 1; using %g", index,
                      static_cast<double>(normalized), static_cast<double>(normalized), static_cast<double>(limited));
        paramWarnings.push_back(std::string(text) + " (" + name + " " +
                                valueText(index, normalizedToValue(index, limited)) + ")");
        normalized = limited;
    }
    record.values[index] = normalizedToValue(index, normalized);
    touched[index] = true;
}

void RenderSettings::applyData(const std::string& dataText)
{
    const DataFields d = readDataText(dataText.c_str());
    for (int i = 0; i < d.count; ++i) {
        if (d.present[i]) {
            record.values[dataParamIndex(i)] = d.values[i];
            touched[dataParamIndex(i)] = true;
        }
    }
}

bool RenderSettings::applyEqText(const std::string& bytes, std::vector<std::string>& notes, std::string& error)
{
    const EqImport eq = importEqTextBytes(bytes.data(), bytes.size());
    notes = eq.notes;
    if (!eq.usable) {
        error = eq.refusal;
        return false;
    }
    // Every band and the output gain: a band the file leaves unused is off, not the earlier setting.
    for (int i = 0; i < kDataValueCount; ++i) {
        record.values[dataParamIndex(i)] = eq.record.values[dataParamIndex(i)];
        touched[dataParamIndex(i)] = true;
    }
    return true;
}

std::string eqTextOf(const RenderSettings& settings, std::vector<std::string>& notes)
{
    EqExport eq = exportEqText(settings.record);
    notes = eq.notes;
    return eq.text;
}

std::vector<std::string> limitSettings(RenderSettings& s, uint32_t sampleRate)
{
    std::vector<std::string> warnings = s.paramWarnings;
    const int32_t freqLimit = freqLimitForRate(static_cast<float>(sampleRate));
    // Types first: each Q is limited by its band's type.
    for (int row : {kRowFilter, kRowEnabled, kRowFreq, kRowQ, kRowGain}) {
        for (int column = 0; column < kColumns; ++column) {
            const int index = paramIndex(row, column);
            if (column == 0 && index != kOutputGainIndex)
                continue;  // placeholders: nothing depends on them
            const int32_t type = s.record.values[paramIndex(kRowFilter, column)];
            const int32_t v = s.record.values[index];
            const int32_t limited = clampValue(index, v, type, freqLimit);
            if (limited == v)
                continue;
            const bool asked = s.touched[index];
            s.record.values[index] = limited;
            s.touched[index] = true;
            if (!asked)
                continue;  // a default beyond a low rate's top frequency: the plug-in would limit it alike
            char name[kParamTextSize];
            parameterName(index, name, sizeof name);
            warnings.push_back(std::string(name) + ": " + valueText(index, v) + " is outside " +
                               valueText(index, clampValue(index, INT32_MIN, type, freqLimit)) + " .. " +
                               valueText(index, clampValue(index, INT32_MAX, type, freqLimit)) + "; using " +
                               valueText(index, limited));
        }
    }
    return warnings;
}

std::string settingsTable(const RenderSettings& s)
{
    std::string out;
    char line[128];
    auto text = [&s](int row, int column) {
        char display[kParamTextSize];
        parameterDisplay(paramIndex(row, column), s.record.values[paramIndex(row, column)], display, sizeof display);
        return std::string(display);
    };
    if (s.touched[kOutputGainIndex]) {
        std::snprintf(line, sizeof line, "  %-40s %6s dB\n", "output", text(kRowGain, 0).c_str());
        out += line;
    }
    for (int band = 1; band < kColumns; ++band) {
        bool touched = false;
        for (int row = 0; row < kRows; ++row)
            touched = touched || s.touched[paramIndex(row, band)];
        if (!touched)
            continue;
        std::snprintf(line, sizeof line, "  band %d  %-4s %-9s %5s Hz  Q %-5s %6s dB\n", band,
                      s.record.values[paramIndex(kRowEnabled, band)] ? "on" : "off", text(kRowFilter, band).c_str(),
                      text(kRowFreq, band).c_str(), text(kRowQ, band).c_str(), text(kRowGain, band).c_str());
        out += line;
    }
    return out;
}

}  // namespace qv
