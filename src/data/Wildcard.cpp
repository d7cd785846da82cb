#include "data/Wildcard.h"

#include <algorithm>

namespace {

char16_t fold(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    return QChar(c).toCaseFolded().unicode();
}

} // namespace

WildcardPattern::WildcardPattern(QStringView pattern)
{
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = pattern.at(i).unicode();
        Token token;
        if (c == u'*') {
            // Runs of "*" mean the same as one, and keep matching linear.
            if (!m_tokens.empty() && m_tokens.back().kind == Token::Kind::AnyRun)
                continue;
            token.kind = Token::Kind::AnyRun;
        } else if (c == u'?') {
            token.kind = Token::Kind::AnyChar;
        } else if (c == u'#') {
            token.kind = Token::Kind::Digit;
        } else if (c == u'[' && pattern.indexOf(u']', i + 1) > i) {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            qsizetype j = i + 1;
            token.kind = Token::Kind::Set;
            if (j < close && pattern.at(j) == u'!') {
                token.negated = true;
                ++j;
            }
            for (; j < close; ++j) {
                const char16_t low = fold(pattern.at(j).unicode());
                if (j + 2 < close && pattern.at(j + 1) == u'-') {
                    const char16_t high = fold(pattern.at(j + 2).unicode());
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
        } else {
            token.literal = fold(c);
        }
        m_tokens.push_back(std::move(token));
    }
}

bool WildcardPattern::matchesOne(const Token& token, char16_t folded) const
{
    switch (token.kind) {
    case Token::Kind::Literal:
        return token.literal == folded;
    case Token::Kind::AnyChar:
        return true;
    case Token::Kind::Digit:
        return folded >= u'0' && folded <= u'9';
    case Token::Kind::Set: {
        bool inSet = false;
        for (const Range& range : token.ranges) {
            if (folded >= range.low && folded <= range.high) {
                inSet = true;
                break;
            }
        }
        return inSet != token.negated;
    }
    case Token::Kind::AnyRun:
        break;
    }
    return false;
}

template <typename CharAt> bool WildcardPattern::matchAll(CharAt charAt, qsizetype length) const
{
    // Every token but "*" takes exactly one character, so the classic greedy match with one
    // back-tracking point (the last "*") is complete.
    const std::size_t tokenCount = m_tokens.size();
    std::size_t p = 0;
    qsizetype i = 0;
    std::size_t starToken = tokenCount;
    qsizetype starText = 0;
    while (i < length) {
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
            return false;
        }
    }
    while (p < tokenCount && m_tokens[p].kind == Token::Kind::AnyRun)
        ++p;
    return p == tokenCount;
}

bool WildcardPattern::matches(QStringView text) const
{
    return matchAll([text](qsizetype i) { return text.at(i).unicode(); }, text.size());
}

bool WildcardPattern::matchesUtf8(const char* text, qsizetype size) const
{
    const bool ascii = std::all_of(text, text + size, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii)
        return matches(QString::fromUtf8(text, size));
    return matchAll([text](qsizetype i) { return char16_t(text[i]); }, size);
}

std::optional<QString> toSqlLikePattern(QStringView pattern)
{
    QString like;
    like.reserve(pattern.size() + 4);
    for (const QChar c : pattern) {
        const char16_t u = c.unicode();
        if (u >= 0x80 || u == u'#' || u == u'[')
            return std::nullopt;
        if (u == u'*')
            like += u'%';
        else if (u == u'?')
            like += u'_';
        else if (u == u'%' || u == u'_' || u == u'\\')
            like += QStringView(u"\\") + c;
        else
            like += c;
    }
    return like;
}
