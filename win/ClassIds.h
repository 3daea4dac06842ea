#pragma once
// The identifiers of the equalizer's COM classes and of its control interface, written once as
// registry text. The binary GUIDs (dshow/Guids.cpp), the filter's registry keys, the preset store's
// plug-in key and the settings stream's tag are all made from these. Free of any platform header: a
// GUID type comes in as a template argument.

#include <cstddef>
#include <cstdint>

// Macros so that string literals can be joined into longer keys at compile time.
#define QV_EQUALIZER_CLSID_TEXT     "{7A3D5E10-4B2C-41F8-9E61-2C7B8D04A9F3}"
#define QV_PROPERTY_PAGE_CLSID_TEXT "{7A3D5E11-4B2C-41F8-9E61-2C7B8D04A9F3}"
#define QV_CONTROL_IID_TEXT         "{7A3D5E1F-4B2C-41F8-9E61-2C7B8D04A9F3}"
#define QV_ANALYZER_IID_TEXT        "{7A3D5E20-4B2C-41F8-9E61-2C7B8D04A9F3}"

namespace qv {

constexpr char kEqualizerClsidText[] = QV_EQUALIZER_CLSID_TEXT;
constexpr char kPropertyPageClsidText[] = QV_PROPERTY_PAGE_CLSID_TEXT;
constexpr char kControlIidText[] = QV_CONTROL_IID_TEXT;    // IEqualizerControl
constexpr char kAnalyzerIidText[] = QV_ANALYZER_IID_TEXT;  // IEqualizerAnalyzer

namespace detail {

constexpr uint32_t hexDigit(char c)
{
    return c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
           : c >= 'A' && c <= 'F' ? static_cast<uint32_t>(c - 'A' + 10)
           : c >= 'a' && c <= 'f' ? static_cast<uint32_t>(c - 'a' + 10)
                                  : throw "not a hexadecimal digit";  // stops the compilation
}

constexpr uint32_t hexNumber(const char* text, std::size_t first, std::size_t digits)
{
    uint32_t v = 0;
    for (std::size_t i = 0; i < digits; ++i)
        v = v << 4 | hexDigit(text[first + i]);
    return v;
}

}  // namespace detail

// The GUID that "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" names, at compile time.
template <class Guid>
constexpr Guid guidFromText(const char (&text)[39])
{
    Guid g{};
    g.Data1 = detail::hexNumber(text, 1, 8);
    g.Data2 = static_cast<uint16_t>(detail::hexNumber(text, 10, 4));
    g.Data3 = static_cast<uint16_t>(detail::hexNumber(text, 15, 4));
    constexpr std::size_t kData4[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (std::size_t i = 0; i < 8; ++i)
        g.Data4[i] = static_cast<uint8_t>(detail::hexNumber(text, kData4[i], 2));
    return g;
}

// The 16 bytes of a GUID as it lies in memory and in streams: the first three fields little-endian.
struct GuidBytes {
    uint8_t bytes[16];
};

constexpr GuidBytes guidBytesFromText(const char (&text)[39])
{
    struct Fields {
        uint32_t Data1;
        uint16_t Data2;
        uint16_t Data3;
        uint8_t Data4[8];
    };
    const Fields g = guidFromText<Fields>(text);
    GuidBytes out{};
    for (int i = 0; i < 4; ++i)
        out.bytes[i] = static_cast<uint8_t>(g.Data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        out.bytes[4 + i] = static_cast<uint8_t>(g.Data2 >> (8 * i));
        out.bytes[6 + i] = static_cast<uint8_t>(g.Data3 >> (8 * i));
    }
    for (int i = 0; i < 8; ++i)
        out.bytes[8 + i] = g.Data4[i];
    return out;
}

}  // namespace qv
