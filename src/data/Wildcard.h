#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <string>
#include <vector>

// A pattern with the catalogue's wildcards, compared without regard to case:
// "*" any run of characters, "?" one character, "#" one digit, "[abc]" or "[a-c]" one of a set,
// "[!abc]" one character not in the set. Any other character stands for itself; "[*]" is a literal "*".
// Characters are whole code points, so "?" takes one character also outside the Basic Multilingual Plane.
// Matching takes at most (text length × pattern length) steps, whatever the pattern.
class WildcardPattern
{
public:
    explicit WildcardPattern(QStringView pattern);

    // True when the whole text matches the whole pattern.
    bool matches(QStringView text) const;
    // The same for text in UTF-8, as the engine hands it over; plain ASCII is matched as it stands.
    bool matchesUtf8(const char* text, qsizetype size) const;

private:
    struct Range
    {
        char32_t low;
        char32_t high;
    };
    struct Token
    {
        enum class Kind { Literal, AnyRun, AnyChar, Digit, Set } kind = Kind::Literal;
        char32_t literal = 0;
        bool negated = false;
        std::vector<Range> ranges;
    };

    bool matchesOne(const Token& token, char32_t folded) const;
    template <typename CharAt> bool matchAll(CharAt charAt, qsizetype length) const;
    bool matchesCodePoints(const std::u32string& text) const;

    std::vector<Token> m_tokens;
};

// The same pattern for the engine's LIKE (escaped with a backslash) when LIKE means exactly the same
// and stays fast: ASCII characters whose case has no counterpart outside ASCII, "?", and at most one
// "*" that is not at the end. Otherwise nothing. Text holding a NUL character still needs the
// pattern above, since LIKE stops reading there.
std::optional<QString> toSqlLikePattern(QStringView pattern);
