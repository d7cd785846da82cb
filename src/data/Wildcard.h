#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <string>
#include <vector>

// A pattern with the catalogue's wildcards, compared without regard to case:
// "*" any run of characters, "?" one character, "#" one digit 0-9, "[abc]" or "[a-c]" one of a set,
// "[!abc]" one character not in the set. Any other character stands for itself; "[*]" is a literal "*".
// Inside brackets every character stands for itself ("-" too when it cannot make a range, as in "[a-]");
// a range may be written either way round, and a character is in a set when it, in any capitals, is one
// of the characters the set names: "[A-z]" holds "_" and "Q", "[0-Z]" holds "q" but not "_".
// "[]" stands for nothing, "[!]" for any one character, and a "[" with no "]" after it for itself.
// Characters are whole code points, so "?" takes one character also outside the Basic Multilingual Plane.
// Matching takes at most 2 × (text length + 1) × (pattern length + 1) steps, whatever the pattern.
class WildcardPattern
{
public:
    explicit WildcardPattern(QStringView pattern);

    // True when the whole text matches the whole pattern. When steps is given, it receives the number
    // of steps the match took.
    bool matches(QStringView text, qsizetype* steps = nullptr) const;
    // The same for text in UTF-8, as the engine hands it over; plain ASCII is matched as it stands.
    bool matchesUtf8(const char* text, qsizetype size, qsizetype* steps = nullptr) const;

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
        // Whether the set names a character that folds to another, so that the folded text character
        // must also be looked for among the characters folding to it.
        bool foldsOthers = false;
        std::vector<Range> ranges;
    };

    bool matchesOne(const Token& token, char32_t folded) const;
    template <typename CharAt> bool matchAll(CharAt charAt, qsizetype length, qsizetype* steps) const;
    bool matchesCodePoints(const std::u32string& text, qsizetype* steps) const;

    std::vector<Token> m_tokens;
};

// The same pattern for the engine's LIKE (escaped with a backslash) when LIKE means exactly the same
// and stays fast: ASCII characters whose case has no counterpart outside ASCII, "?", and at most one
// "*" that is not at the end. Otherwise nothing. Text holding a NUL character still needs the
// pattern above, since LIKE stops reading there.
std::optional<QString> toSqlLikePattern(QStringView pattern);
