#include "EqText.h"

#include <cmath>
#include <cstring>

namespace qv {
namespace {

constexpr std::size_t kMaxTokens = 48;  // a filter line needs about a dozen
constexpr std::size_t kCodeMax = 15;

struct Token {
    enum Kind {
        Word,
        Number,
        Comma,
        Colon,
        Other
    } kind = Other;
    const char* text = nullptr;
    std::size_t length = 0;
    double value = 0;
    bool valid = false;  // Number: finite and within kEqTextMaxNumber
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool is(const Token& t, const char* word)
{
    if (t.kind != Token::Word || t.length != std::strlen(word))
        return false;
    for (std::size_t i = 0; i < t.length; ++i)
        if (upper(t.text[i]) != upper(word[i]))
            return false;
    return true;
}

// Scans a number at p (a sign, digits, a decimal mark, an exponent) without the C library, whose
// decimal mark follows the locale a host may have set. Returns its end.
const char* scanNumber(const char* p, const char* end, Token& t)
{
    const char* start = p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    double mantissa = 0;
    long long exponent = 0;
    int significant = 0;
    bool fraction = false;
    for (; p < end; ++p) {
        if (isDigit(*p)) {
            if (significant < 18) {
                mantissa = mantissa * 10 + (*p - '0');
                if (mantissa > 0)
                    ++significant;
                if (fraction)
                    --exponent;
            } else if (!fraction) {
                ++exponent;
            }
        } else if (!fraction && (*p == '.' || (*p == ',' && p > start && isDigit(p[-1]))) && p + 1 < end &&
                   isDigit(p[1])) {
            fraction = true;
        } else {
            break;
        }
        if (exponent > 100000 || exponent < -100000)
            exponent = exponent > 0 ? 100000 : -100000;
    }
    if (p + 1 < end && (*p == 'e' || *p == 'E') &&
        (isDigit(p[1]) || ((p[1] == '+' || p[1] == '-') && p + 2 < end && isDigit(p[2])))) {
        ++p;
        const bool down = *p == '-';
        if (*p == '+' || *p == '-')
            ++p;
        long long e = 0;
        for (; p < end && isDigit(*p); ++p)
            if (e < 100000)
                e = e * 10 + (*p - '0');
        exponent += down ? -e : e;
    }
    t.kind = Token::Number;
    t.text = start;
    t.length = static_cast<std::size_t>(p - start);
    // Past 10^7 (or below 10^-30) the value is no setting of any filter; skip the power entirely.
    if (mantissa == 0) {
        t.value = 0;
        t.valid = true;
    } else if (exponent + significant > 8) {
        t.valid = false;
    } else {
        const double v = exponent < -60 ? 0.0 : mantissa * std::pow(10.0, static_cast<double>(exponent));
        t.value = negative ? -v : v;
        t.valid = std::isfinite(v) && v <= kEqTextMaxNumber;
    }
    return p;
}

std::size_t tokenize(const char* p, const char* end, Token* tokens)
{
    std::size_t n = 0;
    while (p < end && n < kMaxTokens) {
        const char c = *p;
        Token& t = tokens[n];
        t = Token{};
        if (c == ' ' || c == '\t' || c == '\f' || c == '\v') {
            ++p;
            continue;
        }
        if (isDigit(c) || ((c == '+' || c == '-' || c == '.') && p + 1 < end &&
                           (isDigit(p[1]) || (p[1] == '.' && p + 2 < end && isDigit(p[2]))))) {
            p = scanNumber(p, end, t);
        } else if (isLetter(c)) {
            t.kind = Token::Word;
            t.text = p;
            while (p < end && isLetter(*p))
                ++p;
            t.length = static_cast<std::size_t>(p - t.text);
        } else {
            t.kind = c == ',' ? Token::Comma : (c == ':' ? Token::Colon : Token::Other);
            t.text = p++;
            t.length = 1;
        }
        ++n;
    }
    return n;
}

struct TypeName {
    const char* word;
    EqTextKind kind;
};
constexpr TypeName kTypes[] = {
    {"PK", EqTextKind::Peak},       {"PEQ", EqTextKind::Peak},      {"LS", EqTextKind::LowShelf},
    {"LSC", EqTextKind::LowShelf},  {"LSQ", EqTextKind::LowShelf},  {"HS", EqTextKind::HighShelf},
    {"HSC", EqTextKind::HighShelf}, {"HSQ", EqTextKind::HighShelf}, {"LP", EqTextKind::LowPass},
    {"LPQ", EqTextKind::LowPass},   {"HP", EqTextKind::HighPass},   {"HPQ", EqTextKind::HighPass},
    {"NONE", EqTextKind::None},
};

// The type word with what may follow it: "LP1", "LS 6dB", "LSC 12 dB". Returns the next token.
std::size_t readType(const Token* t, std::size_t n, std::size_t i, EqTextFilter& f)
{
    f.kind = EqTextKind::Unknown;
    for (const TypeName& name : kTypes)
        if (is(t[i], name.word))
            f.kind = name.kind;
    for (std::size_t k = 0; k < t[i].length && f.code.size() < kCodeMax; ++k)
        f.code += upper(t[i].text[k]);
    ++i;
    if (i >= n || t[i].kind != Token::Number || t[i].text[0] == '+' || t[i].text[0] == '-')
        return i;
    const Token& number = t[i];
    const bool decibels = i + 1 < n && is(t[i + 1], "dB");
    if (!decibels && !(number.valid && number.value == 1))
        return i;
    f.code += decibels ? " " : "";
    for (std::size_t k = 0; k < number.length && f.code.size() < kCodeMax; ++k)
        f.code += number.text[k];
    if (decibels)
        f.code += "DB";
    const bool pass = f.kind == EqTextKind::LowPass || f.kind == EqTextKind::HighPass;
    const bool shelf = f.kind == EqTextKind::LowShelf || f.kind == EqTextKind::HighShelf;
    const double per = number.valid ? number.value : -1;
    const bool firstOrder = pass && (decibels ? per == 6 : per == 1);
    const bool secondOrder = pass && decibels && per == 12;  // what LP and HP are anyway
    if (firstOrder) {
        f.kind = f.kind == EqTextKind::LowPass ? EqTextKind::LowPass1 : EqTextKind::HighPass1;
    } else if (shelf && decibels && per > 0) {
        f.slope = per / 12.0;
        f.hasSlope = true;
    } else if (!secondOrder) {
        f.kind = EqTextKind::Unknown;  // steeper passes, "PK 1", a shelf of 0 dB per octave
    }
    return i + (decibels ? 2 : 1);
}

enum class Value {
    Read,
    Absent,
    Rubbish
};

// The value after a key: a key without a number leaves the field absent; a number beyond any
// setting makes the line unreadable.
Value valueAt(const Token* t, std::size_t n, std::size_t& i, double& value)
{
    if (i < n && t[i].kind == Token::Colon)
        ++i;
    if (i >= n || t[i].kind != Token::Number)
        return Value::Absent;
    if (!t[i].valid)
        return Value::Rubbish;
    value = t[i++].value;
    return Value::Read;
}

// Reads a keyed field; false only for rubbish.
bool field(const Token* t, std::size_t n, std::size_t& i, double& value, bool& present)
{
    const Value v = valueAt(t, n, i, value);
    present = present || v == Value::Read;
    return v != Value::Rubbish;
}

bool readFilter(const Token* t, std::size_t n, EqTextFilter& f)
{
    std::size_t i = 1;
    if (i < n && t[i].kind == Token::Number) {
        if (!t[i].valid || t[i].value < 0 || t[i].value != std::floor(t[i].value))
            return false;
        f.number = static_cast<int>(t[i].value);
        ++i;
    }
    if (i < n && t[i].kind == Token::Colon)
        ++i;
    if (i < n && (is(t[i], "ON") || is(t[i], "OFF")))
        f.on = is(t[i++], "ON");
    else
        return false;
    if (i >= n || t[i].kind != Token::Word)
        return false;
    i = readType(t, n, i, f);
    while (i < n) {
        const std::size_t key = i++;
        double v = 0;
        bool present = false;
        if (is(t[key], "Fc")) {
            if (!field(t, n, i, v, present))
                return false;
            if (i < n && is(t[i], "kHz"))
                v *= 1000, ++i;
            if (present)
                f.frequency = v, f.hasFrequency = true;
            // Some writers give the rest by position: "Fc 56.46, 0.00, 1.35".
            if (present && i + 1 < n && t[i].kind == Token::Comma && t[i + 1].kind == Token::Number) {
                ++i;
                if (!field(t, n, i, f.gain, f.hasGain))
                    return false;
                if (i + 1 < n && t[i].kind == Token::Comma) {
                    ++i;
                    if (!field(t, n, i, f.q, f.hasQ))
                        return false;
                }
            }
        } else if (is(t[key], "Gain")) {
            if (!field(t, n, i, v, present))
                return false;
            if (present)
                f.gain = v, f.hasGain = true;
        } else if (is(t[key], "Q")) {
            if (!field(t, n, i, v, present))
                return false;
            if (present)
                f.q = v, f.hasQ = true;
        } else if (is(t[key], "BW")) {
            if (i < n && is(t[i], "Oct"))
                ++i;
            if (!field(t, n, i, v, present))
                return false;
            if (present)
                f.q = qFromOctaves(v), f.hasQ = true;
        }
        // Units and words of no meaning here ("Hz", "dB") are passed over.
    }
    return true;
}

bool readPreamp(const Token* t, std::size_t n, double& gain)
{
    std::size_t i = 1;
    return valueAt(t, n, i, gain) == Value::Read;
}

// Cuts a comment off the line: "#", ";" or "//" up to its end.
const char* commentStart(const char* p, const char* end)
{
    for (; p < end; ++p)
        if (*p == '#' || *p == ';' || (*p == '/' && p + 1 < end && p[1] == '/'))
            return p;
    return end;
}

}  // namespace

double qFromOctaves(double octaves)
{
    if (!(octaves > 0))
        return 0;
    const double two = std::pow(2.0, octaves > 60 ? 60 : octaves);
    return std::sqrt(two) / (two - 1.0);
}

std::string formatDecimal(double value, int places)
{
    places = places < 0 ? 0 : (places > 6 ? 6 : places);
    double scale = 1;
    for (int i = 0; i < places; ++i)
        scale *= 10;
    if (!std::isfinite(value) || std::fabs(value) * scale > 9e15)
        return "?";
    const long long whole = std::llround(std::fabs(value) * scale);
    std::string digits = std::to_string(whole);
    if (digits.size() <= static_cast<std::size_t>(places))
        digits.insert(0, static_cast<std::size_t>(places) + 1 - digits.size(), '0');
    if (places > 0)
        digits.insert(digits.size() - static_cast<std::size_t>(places), ".");
    return (value < 0 && whole != 0 ? "-" : "") + digits;
}

EqTextFile parseEqText(const char* data, std::size_t size)
{
    EqTextFile file;
    if (!data)
        return file;
    // Notepad's encodings: UTF-8 with a byte order mark, and UTF-16 in either byte order, whose
    // keywords and numbers are ASCII once narrowed.
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return parseEqText(data + 3, size - 3);
    if (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        const std::size_t low = bytes[0] == 0xFF ? 0 : 1;
        std::string narrow;
        narrow.reserve(size / 2);
        for (std::size_t i = 2; i + 1 < size; i += 2) {
            const unsigned char c = bytes[i + low], high = bytes[i + 1 - low];
            narrow += high == 0 && c < 128 ? static_cast<char>(c) : '?';
        }
        return parseEqText(narrow.data(), narrow.size());
    }
    const char* end = data + size;
    const char* p = data;
    int line = 0;
    Token tokens[kMaxTokens];
    while (p < end) {
        const char* lineEnd = p;
        while (lineEnd < end && *lineEnd != '\n' && *lineEnd != '\r')
            ++lineEnd;
        line = line < 2000000000 ? line + 1 : line;
        const std::size_t mark = sizeof kEqTextDataComment - 1;
        if (static_cast<std::size_t>(lineEnd - p) > mark && std::memcmp(p, kEqTextDataComment, mark) == 0 &&
            static_cast<std::size_t>(lineEnd - p) - mark < 1024)
            file.settingsData.assign(p + mark, lineEnd);
        const std::size_t n = tokenize(p, commentStart(p, lineEnd), tokens);
        // "Filter Settings file" and the like are titles: a setting has a colon, ON/OFF or a value next.
        const bool preamp =
            n > 1 && is(tokens[0], "Preamp") && (tokens[1].kind == Token::Colon || tokens[1].kind == Token::Number);
        const std::size_t next = n > 1 && tokens[1].kind == Token::Number ? 2 : 1;
        const bool filter = n > next && is(tokens[0], "Filter") &&
                            (tokens[next].kind == Token::Colon || is(tokens[next], "ON") || is(tokens[next], "OFF"));
        if (preamp || filter) {
            bool read;
            if (is(tokens[0], "Preamp")) {
                double gain = 0;
                read = readPreamp(tokens, n, gain);
                if (read)
                    file.preamp = gain, file.hasPreamp = true;
            } else {
                EqTextFilter f;
                f.line = line;
                read = readFilter(tokens, n, f);
                if (read && file.filters.size() < kEqTextMaxFilters)
                    file.filters.push_back(f);
                else if (read)
                    ++file.filtersDropped;
            }
            if (!read) {
                if (file.unreadLines.size() < kEqTextMaxUnread)
                    file.unreadLines.push_back(line);
                ++file.unreadCount;
            }
        }
        p = lineEnd;
        if (p < end && *p == '\r')
            ++p;
        if (p < end && *p == '\n' && (p == lineEnd || *lineEnd == '\r'))
            ++p;
    }
    return file;
}

}  // namespace qv
