#include "data/Wildcard.h"

#include <algorithm>

namespace {

char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

struct FoldPair
{
    char32_t code;
    char32_t folded;
};

// Every code point whose case folding is another, once sorted by code point and once by what it folds to.
struct FoldTables
{
    std::vector<FoldPair> byCode;
    std::vector<FoldPair> byFolded;
};

const FoldTables& foldTables()
{
    static const FoldTables tables = [] {
        FoldTables built;
        for (char32_t c = 0; c <= QChar::LastValidCodePoint; ++c) {
            const char32_t folded = fold(c);
            if (folded != c)
                built.byCode.push_back({c, folded});
        }
        built.byFolded = built.byCode;
        std::stable_sort(built.byFolded.begin(), built.byFolded.end(),
                         [](const FoldPair& a, const FoldPair& b) { return a.folded < b.folded; });
        return built;
    }();
    return tables;
}

// The text's code points; a lone surrogate stands for itself.
std::u32string codePoints(QStringView text)
{
    std::u32string points;
    points.reserve(std::size_t(text.size()));
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            points.push_back(QChar::surrogateToUcs4(c, text.at(i + 1)));
            ++i;
        } else {
            points.push_back(c.unicode());
        }
    }
    return points;
}

} // namespace

WildcardPattern::WildcardPattern(QStringView patternText)
{
    const std::u32string pattern = codePoints(patternText);
    const std::size_t n = pattern.size();
    // Where the next "]" stands, found once: a pattern of many "[" must not be scanned again for each.
    std::size_t close = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = pattern[i];
        Token token;
        if (close <= i && close != std::u32string::npos)
            close = pattern.find(U']', i + 1);
        if (c == U'*') {
            // Runs of "*" mean the same as one.
            if (!m_tokens.empty() && m_tokens.back().kind == Token::Kind::AnyRun)
                continue;
            token.kind = Token::Kind::AnyRun;
        } else if (c == U'?') {
            token.kind = Token::Kind::AnyChar;
        } else if (c == U'#') {
            token.kind = Token::Kind::Digit;
        } else if (c == U'[' && close != std::u32string::npos) {
            std::size_t j = i + 1;
            token.kind = Token::Kind::Set;
            if (j < close && pattern[j] == U'!') {
                token.negated = true;
                ++j;
            }
            // The set keeps the characters as written: folding the ends of a range would change which
            // characters lie between them ("[A-z]" holds "_", while "a" to "z" does not).
            for (; j < close; ++j) {
                const char32_t low = pattern[j];
                if (j + 2 < close && pattern[j + 1] == U'-') {
                    const char32_t high = pattern[j + 2];
                    token.ranges.push_back({std::min(low, high), std::max(low, high)});
                    j += 2;
                } else {
                    token.ranges.push_back({low, low});
                }
            }
            i = close;
            // "[]" stands for nothing at all.
            if (token.ranges.empty() && !token.negated)
                continue;
            const std::vector<FoldPair>& byCode = foldTables().byCode;
            token.foldsOthers = std::any_of(token.ranges.begin(), token.ranges.end(), [&byCode](const Range& range) {
                const auto first = std::lower_bound(byCode.begin(), byCode.end(), range.low,
                                                    [](const FoldPair& pair, char32_t c) { return pair.code < c; });
                return first != byCode.end() && first->code <= range.high;
            });
        } else {
            token.literal = fold(c);
        }
        m_tokens.push_back(std::move(token));
    }
}

bool WildcardPattern::matchesOne(const Token& token, char32_t folded) const
{
    switch (token.kind) {
    case Token::Kind::Literal:
        return token.literal == folded;
    case Token::Kind::AnyChar:
        return true;
    case Token::Kind::Digit:
        return folded >= U'0' && folded <= U'9';
    case Token::Kind::Set: {
        const auto named = [&token](char32_t c) {
            return std::any_of(token.ranges.begin(), token.ranges.end(),
                               [c](const Range& range) { return c >= range.low && c <= range.high; });
        };
        // The folded character is its own folding, so the set holds the text character exactly when it
        // names the folded one or another character folding to it.
        bool inSet = named(folded);
        if (!inSet && token.foldsOthers) {
            const std::vector<FoldPair>& byFolded = foldTables().byFolded;
            auto other = std::lower_bound(byFolded.begin(), byFolded.end(), folded,
                                          [](const FoldPair& pair, char32_t c) { return pair.folded < c; });
            for (; !inSet && other != byFolded.end() && other->folded == folded; ++other)
                inSet = named(other->code);
        }
        return inSet != token.negated;
    }
    case Token::Kind::AnyRun:
        break;
    }
    return false;
}

template <typename CharAt> bool WildcardPattern::matchAll(CharAt charAt, qsizetype length, qsizetype* steps) const
{
    // Every token but "*" takes exactly one character, so the greedy match that backtracks only to
    // the last "*" is complete: an earlier "*" never needs to take more, since the last one can.
    // Each character is tried against each token at most once per start of the last "*".
    const std::size_t tokenCount = m_tokens.size();
    std::size_t p = 0;
    qsizetype i = 0;
    std::size_t starToken = tokenCount;
    qsizetype starText = 0;
    qsizetype count = 0;
    while (i < length) {
        ++count;
        if (p < tokenCount && m_tokens[p].kind == Token::Kind::AnyRun) {
            starToken = p++;
            starText = i;
        } else if (p < tokenCount && matchesOne(m_tokens[p], fold(charAt(i)))) {
            ++p;
            ++i;
        } else if (starToken < tokenCount) {
            p = starToken + 1;
            i = ++starText;
        } else {
            // No "*" to take more: the text cannot match.
            p = tokenCount + 1;
            break;
        }
    }
    while (p < tokenCount && m_tokens[p].kind == Token::Kind::AnyRun) {
        ++count;
        ++p;
    }
    if (steps)
        *steps = count;
    return p == tokenCount;
}

bool WildcardPattern::matchesCodePoints(const std::u32string& text, qsizetype* steps) const
{
    return matchAll([&text](qsizetype i) { return text[std::size_t(i)]; }, qsizetype(text.size()), steps);
}

bool WildcardPattern::matches(QStringView text, qsizetype* steps) const
{
    return matchesCodePoints(codePoints(text), steps);
}

bool WildcardPattern::matchesUtf8(const char* text, qsizetype size, qsizetype* steps) const
{
    const bool ascii = std::all_of(text, text + size, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    // Decoded as a read value is, so that a find gives the same answer on a row wherever it runs.
    if (!ascii)
        return matches(QString::fromUtf8(text, size), steps);
    return matchAll([text](qsizetype i) { return char32_t(static_cast<unsigned char>(text[i])); }, size, steps);
}

std::optional<QString> toSqlLikePattern(QStringView pattern)
{
    QString like;
    like.reserve(pattern.size() + 4);
    int innerRuns = 0;
    qsizetype trailingRun = pattern.size();
    while (trailingRun > 0 && pattern.at(trailingRun - 1) == u'*')
        --trailingRun;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const char16_t u = pattern.at(i).unicode();
        // LIKE stops at a NUL and folds ASCII only, while "K" (Kelvin) and "ſ" fold to "k" and "s".
        if (u >= 0x80 || u == 0 || u == u'#' || u == u'[' || u == u'k' || u == u'K' || u == u's' || u == u'S')
            return std::nullopt;
        if (u == u'*') {
            // Each "*" followed by more pattern multiplies LIKE's work by the text's length.
            if (i < trailingRun && (i == 0 || pattern.at(i - 1) != u'*') && ++innerRuns > 1)
                return std::nullopt;
            like += u'%';
        } else if (u == u'?') {
            like += u'_';
        } else if (u == u'%' || u == u'_' || u == u'\\') {
            like += u'\\';
            like += QChar(u);
        } else {
            like += QChar(u);
        }
    }
    return like;
}
