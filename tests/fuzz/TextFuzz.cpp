// Fuzz target for the wildcard matcher and the conversions of typed text into numbers.
//
// An input is UTF-8: the pattern up to its first line break, the text after it. The matcher's answer is
// compared with a plain reference matcher below, and its steps are held to a bound in the lengths; the
// conversions are run on the whole input and on both halves and held to the properties they promise.
// Any breach prints what was found and aborts, which the fuzzer reports with the input.

#include "core/Conversions.h"
#include "core/Failure.h"
#include "data/Wildcard.h"

#include <QChar>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, const QString& first, const QString& second = {})
{
    std::fprintf(stderr, "%s\n  [%s]\n  [%s]\n", what, qUtf8Printable(first), qUtf8Printable(second));
    std::abort();
}

// ---------------------------------------------------------------------------------------------------------
// The reference matcher: the pattern's meaning written out plainly, and a table over text and pattern.

std::u32string codePointsOf(const QString& text)
{
    std::u32string points;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            points.push_back(QChar::surrogateToUcs4(text.at(i), text.at(i + 1)));
            ++i;
        } else {
            points.push_back(text.at(i).unicode());
        }
    }
    return points;
}

// Two characters are the same in any capitals when they fold alike. The characters that share a folding
// with some other character, found by trying every code point.
class CaseClasses
{
public:
    CaseClasses()
    {
        for (char32_t c = 0; c <= QChar::LastValidCodePoint; ++c) {
            const char32_t folded = QChar::toCaseFolded(c);
            if (folded != c)
                m_members[folded].push_back(c);
        }
        for (auto& [folded, members] : m_members) {
            if (QChar::toCaseFolded(folded) == folded)
                members.push_back(folded);
        }
    }

    // Every character that is c in some capitals, c included.
    std::vector<char32_t> of(char32_t c) const
    {
        const auto found = m_members.find(QChar::toCaseFolded(c));
        return found == m_members.end() ? std::vector<char32_t>{c} : found->second;
    }

private:
    std::unordered_map<char32_t, std::vector<char32_t>> m_members;
};

const CaseClasses& caseClasses()
{
    static const CaseClasses classes;
    return classes;
}

struct Element
{
    enum class Kind { Literal, Run, One, Digit, Set } kind = Kind::Literal;
    char32_t literal = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
};

std::vector<Element> parsePattern(const std::u32string& pattern)
{
    std::vector<Element> elements;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        Element element;
        const char32_t c = pattern[i];
        const std::size_t close = c == U'[' ? pattern.find(U']', i + 1) : std::u32string::npos;
        if (c == U'*') {
            element.kind = Element::Kind::Run;
        } else if (c == U'?') {
            element.kind = Element::Kind::One;
        } else if (c == U'#') {
            element.kind = Element::Kind::Digit;
        } else if (close != std::u32string::npos) {
            std::u32string inside = pattern.substr(i + 1, close - i - 1);
            i = close;
            element.kind = Element::Kind::Set;
            if (!inside.empty() && inside.front() == U'!') {
                element.negated = true;
                inside.erase(0, 1);
            }
            if (inside.empty() && !element.negated)
                continue;
            for (std::size_t k = 0; k < inside.size();) {
                if (k + 2 < inside.size() && inside[k + 1] == U'-') {
                    element.ranges.emplace_back(std::min(inside[k], inside[k + 2]), std::max(inside[k], inside[k + 2]));
                    k += 3;
                } else {
                    element.ranges.emplace_back(inside[k], inside[k]);
                    k += 1;
                }
            }
        } else {
            element.literal = c;
        }
        elements.push_back(std::move(element));
    }
    return elements;
}

bool elementTakes(const Element& element, char32_t c)
{
    switch (element.kind) {
    case Element::Kind::Literal:
        return QChar::toCaseFolded(element.literal) == QChar::toCaseFolded(c);
    case Element::Kind::One:
        return true;
    case Element::Kind::Digit:
        return c >= U'0' && c <= U'9';
    case Element::Kind::Set: {
        bool named = false;
        for (const char32_t same : caseClasses().of(c)) {
            for (const auto& [low, high] : element.ranges)
                named = named || (same >= low && same <= high);
        }
        return named != element.negated;
    }
    case Element::Kind::Run:
        break;
    }
    return false;
}

bool referenceMatches(const std::u32string& pattern, const std::u32string& text)
{
    const std::vector<Element> elements = parsePattern(pattern);
    // row[j]: the text read so far matches the first j elements.
    std::vector<char> row(elements.size() + 1, 0);
    row[0] = 1;
    for (std::size_t j = 1; j <= elements.size(); ++j)
        row[j] = row[j - 1] && elements[j - 1].kind == Element::Kind::Run;
    for (const char32_t c : text) {
        std::vector<char> next(elements.size() + 1, 0);
        for (std::size_t j = 1; j <= elements.size(); ++j) {
            const Element& element = elements[j - 1];
            if (element.kind == Element::Kind::Run)
                next[j] = next[j - 1] || row[j];
            else
                next[j] = row[j - 1] && elementTakes(element, c);
        }
        row = std::move(next);
    }
    return row[elements.size()];
}

void checkMatcher(const QByteArray& patternUtf8, const QByteArray& textUtf8)
{
    const QString pattern = QString::fromUtf8(patternUtf8);
    const QString text = QString::fromUtf8(textUtf8);
    const std::u32string patternPoints = codePointsOf(pattern);
    const std::u32string textPoints = codePointsOf(text);
    const bool expected = referenceMatches(patternPoints, textPoints);

    const WildcardPattern matcher(pattern);
    qsizetype steps = -1;
    if (matcher.matches(text, &steps) != expected)
        fail(expected ? "The matcher misses a match" : "The matcher matches what it should not", pattern, text);
    const qsizetype bound = 2 * qsizetype(textPoints.size() + 1) * qsizetype(patternPoints.size() + 1);
    if (steps < 0 || steps > bound)
        fail("The matcher took too many steps", pattern, text);
    steps = -1;
    if (matcher.matchesUtf8(textUtf8.constData(), textUtf8.size(), &steps) != expected)
        fail("The matcher answers otherwise on UTF-8", pattern, text);
    if (steps < 0 || steps > bound)
        fail("The matcher took too many steps on UTF-8", pattern, text);
}

// ---------------------------------------------------------------------------------------------------------
// The conversions.

enum class Outcome { Value, TypeMismatch, Overflow };

struct Result
{
    Outcome outcome = Outcome::Value;
    std::int64_t value = 0;
};

template <typename Convert> Result run(Convert convert, const QString& text)
{
    Result result;
    try {
        result.value = convert();
    } catch (const Failure& failure) {
        if (failure.Number() == ErrorNumber::TypeMismatch)
            result.outcome = Outcome::TypeMismatch;
        else if (failure.Number() == ErrorNumber::Overflow)
            result.outcome = Outcome::Overflow;
        else
            fail("A conversion raised another failure", text, QString::number(failure.Number()));
    }
    return result;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The text less surrounding ASCII blanks, when it is ASCII throughout.
std::optional<std::string> asciiTrimmed(const QString& text)
{
    std::string ascii;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80 || c.unicode() == 0)
            return std::nullopt;
        ascii.push_back(char(c.unicode()));
    }
    std::size_t first = 0;
    std::size_t last = ascii.size();
    while (first < last && isBlank(ascii[first]))
        ++first;
    while (last > first && isBlank(ascii[last - 1]))
        --last;
    return ascii.substr(first, last - first);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// An integer as QString::number writes it: "0", or an optional "-" and digits without leading zeros.
bool isCanonicalInteger(std::string_view text)
{
    const std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
    if (digits.empty() || (digits.size() > 1 && digits.front() == '0') || (text.starts_with('-') && digits == "0"))
        return false;
    for (const char c : digits) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

// The canonical form of an integer written with an optional sign and leading zeros.
std::optional<std::string> canonicalOf(std::string_view text)
{
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit))
        return std::nullopt;
    while (text.size() > 1 && text.front() == '0')
        text.remove_prefix(1);
    const std::string canonical = (negative && text != "0" ? "-" : "") + std::string(text);
    if (!isCanonicalInteger(canonical))
        fail("The fuzz target's own canonical form is wrong", QString::fromStdString(canonical));
    return canonical;
}

// Whether a canonical integer lies in [minimum, maximum]; one beyond 64 bits lies in no such range.
bool canonicalInRange(std::string_view text, std::int64_t minimum, std::int64_t maximum)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= minimum && value <= maximum;
}

// A decimal number: sign, digits with an optional point, an optional exponent.
bool isDecimal(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    return i == text.size();
}

// The decimal's value, or nothing when a double cannot hold it (beyond the range either way).
std::optional<double> decimalValue(std::string_view text)
{
    if (text.starts_with('+'))
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Whether a decimal is 1 or more in size, judged from where its first significant digit stands.
bool atLeastOne(std::string_view text)
{
    if (text.starts_with('+') || text.starts_with('-'))
        text.remove_prefix(1);
    const std::size_t exponentAt = text.find_first_of("eE");
    const std::string_view mantissa = text.substr(0, exponentAt);
    std::int64_t exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::string_view digits = text.substr(exponentAt + 1);
        const bool negative = digits.starts_with('-');
        if (negative || digits.starts_with('+'))
            digits.remove_prefix(1);
        for (const char c : digits)
            exponent = std::min<std::int64_t>(exponent * 10 + (c - '0'), 1'000'000'000);
        if (negative)
            exponent = -exponent;
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos)
        return false;
    // The power of ten of the first significant digit.
    const std::int64_t power = first < point ? std::int64_t(point - first) - 1 : -std::int64_t(first - point);
    return power + exponent >= 0;
}

// No reading of the text can make it a number.
bool plainlyNoNumber(const QString& text)
{
    for (const QChar c : text) {
        if (c.isDigit())
            return false;
    }
    QString bare = text.trimmed();
    if (bare.startsWith(u'+') || bare.startsWith(u'-'))
        bare.remove(0, 1);
    // "nan" is a double, yet no number.
    if (bare.compare(u"nan", Qt::CaseInsensitive) == 0)
        return true;
    return !text.contains(QStringLiteral("inf"), Qt::CaseInsensitive) &&
           !text.contains(QStringLiteral("nan"), Qt::CaseInsensitive);
}

void checkWholeNumber(const QString& text, const Result& result, std::int64_t minimum, std::int64_t maximum)
{
    if (result.outcome == Outcome::Value && (result.value < minimum || result.value > maximum))
        fail("A conversion gave a number outside its range", text);
    if (plainlyNoNumber(text) && result.outcome != Outcome::TypeMismatch)
        fail("Text that is no number did not raise a type mismatch", text);
    const std::optional<std::string> ascii = asciiTrimmed(text);
    if (!ascii)
        return;
    // Plain digits, with a sign or leading zeros or not, are read exactly.
    if (const std::optional<std::string> integer = canonicalOf(*ascii)) {
        if (canonicalInRange(*integer, minimum, maximum)) {
            if (result.outcome != Outcome::Value || std::to_string(result.value) != *integer)
                fail("An integer in range did not convert back to its own text", text);
        } else if (result.outcome != Outcome::Overflow) {
            fail("An integer out of range did not overflow", text);
        }
        return;
    }
    if (!isDecimal(*ascii))
        return;
    if (result.outcome == Outcome::TypeMismatch)
        fail("A decimal number raised a type mismatch", text);
    const std::optional<double> value = decimalValue(*ascii);
    if (!value) {
        // Too large for a double overflows; too small rounds to zero.
        const bool zeroFits = minimum <= 0 && maximum >= 0;
        const bool converted = atLeastOne(*ascii) || !zeroFits ? result.outcome == Outcome::Overflow
                                                               : result.outcome == Outcome::Value && result.value == 0;
        if (!converted)
            fail("A number beyond a double's range converted wrongly", text);
        return;
    }
    const double rounded = std::nearbyint(*value);
    const double limit = 9223372036854775808.0; // 2^63
    const bool fits =
        rounded >= -limit && rounded < limit && std::int64_t(rounded) >= minimum && std::int64_t(rounded) <= maximum;
    if (fits != (result.outcome == Outcome::Value) || (fits && result.value != std::int64_t(rounded)))
        fail("A decimal number converted to the wrong whole number", text);
}

void checkBoolean(const QString& text)
{
    const Result result = run([&text] { return std::int64_t(toBoolean(text)); }, text);
    const QString trimmed = text.trimmed();
    if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0 || trimmed.compare(u"False", Qt::CaseInsensitive) == 0) {
        if (result.outcome != Outcome::Value || result.value != (trimmed.size() == 4 ? 1 : 0))
            fail("True or False read wrongly", text);
        return;
    }
    if (plainlyNoNumber(text) && result.outcome != Outcome::TypeMismatch)
        fail("Text that is neither a number nor True or False gave a boolean", text);
    if (result.outcome == Outcome::Overflow)
        fail("A boolean overflowed", text);
    const std::optional<std::string> ascii = asciiTrimmed(text);
    if (!ascii || !isDecimal(*ascii))
        return;
    if (result.outcome != Outcome::Value)
        fail("A decimal number gave no boolean", text);
    // Beyond a double's range a number is either huge, so not zero, or rounds to zero.
    const std::optional<double> value = decimalValue(*ascii);
    const bool expected = value ? *value != 0.0 : atLeastOne(*ascii);
    if (result.value != (expected ? 1 : 0))
        fail("A number gave the wrong boolean", text);
}

void checkConversions(const QString& text, std::int64_t low, std::int64_t high)
{
    constexpr auto int16Min = std::numeric_limits<std::int16_t>::min();
    constexpr auto int16Max = std::numeric_limits<std::int16_t>::max();
    constexpr auto int32Min = std::numeric_limits<std::int32_t>::min();
    constexpr auto int32Max = std::numeric_limits<std::int32_t>::max();
    constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
    constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();
    checkWholeNumber(text, run([&text] { return std::int64_t(toInt16(text)); }, text), int16Min, int16Max);
    checkWholeNumber(text, run([&text] { return std::int64_t(toInt32(text)); }, text), int32Min, int32Max);
    const QVariant value(text);
    checkWholeNumber(text, run([&value] { return std::int64_t(toInt32(value)); }, text), int32Min, int32Max);
    checkWholeNumber(text, run([&value] { return toWholeNumber(value, int64Min, int64Max); }, text), int64Min,
                     int64Max);
    checkWholeNumber(text, run([&value, low, high] { return toWholeNumber(value, low, high); }, text), low, high);
    checkBoolean(text);
}

// A double field value, as the bits of the input's first eight bytes give it.
void checkDoubleValue(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(double))
        return;
    double number = 0;
    std::memcpy(&number, data, sizeof number);
    const QString shown = QString::number(number, 'g', 17);
    const Result result = run(
        [number] {
            return toWholeNumber(QVariant(number), std::numeric_limits<std::int64_t>::min(),
                                 std::numeric_limits<std::int64_t>::max());
        },
        shown);
    if (std::isnan(number)) {
        if (result.outcome != Outcome::TypeMismatch)
            fail("A double that is no number did not raise a type mismatch", shown);
        return;
    }
    const double rounded = std::nearbyint(number);
    const double limit = 9223372036854775808.0; // 2^63
    const bool fits = rounded >= -limit && rounded < limit;
    if (fits != (result.outcome == Outcome::Value) || (fits && result.value != std::int64_t(rounded)))
        fail("A double converted to the wrong whole number", shown);
}

// Whole-number field values of each width, from the same bits.
void checkWholeValues(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(std::uint64_t))
        return;
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, sizeof bits);
    constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
    constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();
    const QString shown = QString::number(bits);
    const bool fitsSigned = bits <= std::uint64_t(int64Max);
    for (const QVariant& value : {QVariant(qulonglong(bits)), QVariant::fromValue(static_cast<unsigned long>(bits))}) {
        const Result result = run([&value] { return toWholeNumber(value, int64Min, int64Max); }, shown);
        if (fitsSigned != (result.outcome == Outcome::Value) || (fitsSigned && result.value != std::int64_t(bits)))
            fail("An unsigned value converted to the wrong whole number", shown, QString::fromLatin1(value.typeName()));
    }
    const std::int64_t number = std::int64_t(bits);
    const Result result = run([number] { return std::int64_t(toInt32(QVariant(qlonglong(number)))); }, shown);
    const bool fits =
        number >= std::numeric_limits<std::int32_t>::min() && number <= std::numeric_limits<std::int32_t>::max();
    if (fits != (result.outcome == Outcome::Value) || (fits && result.value != number))
        fail("A signed value converted to the wrong 32-bit number", shown);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype lineBreak = input.indexOf('\n');
    const QByteArray pattern = lineBreak < 0 ? input : input.left(lineBreak);
    const QByteArray text = lineBreak < 0 ? QByteArray() : input.mid(lineBreak + 1);
    checkMatcher(pattern, text);

    // A range of its own for the general conversion, taken from the input's last bytes.
    std::int64_t low = -1000;
    std::int64_t high = 1000;
    if (size >= 2) {
        low = std::int8_t(data[size - 2]) * 1000;
        high = std::int8_t(data[size - 1]) * 1000;
        if (low > high)
            std::swap(low, high);
    }
    checkConversions(QString::fromUtf8(input), low, high);
    checkConversions(QString::fromUtf8(pattern), low, high);
    checkConversions(QString::fromUtf8(text), low, high);
    checkDoubleValue(data, size);
    checkWholeValues(data, size);
    return 0;
}
