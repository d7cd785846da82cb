#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// A pattern with the catalogue's wildcards, compared without regard to case:
// "*" any run of characters, "?" one character, "#" one digit, "[abc]" or "[a-c]" one of a set,
// "[!abc]" one character not in the set. Any other character stands for itself; "[*]" is a literal "*".
class WildcardPattern
{
public:
    explicit WildcardPattern(QStringView pattern);

    // True when the whole text matches the whole pattern.
    bool matches(QStringView text) const;

private:
    struct Range
    {
        char16_t low;
        char16_t high;
    };
    struct Token
    {
        enum class Kind { Literal, AnyRun, AnyChar, Digit, Set } kind = Kind::Literal;
        char16_t literal = 0;
        bool negated = false;
        std::vector<Range> ranges;
    };

    bool matchesOne(const Token& token, char16_t folded) const;

    std::vector<Token> m_tokens;
};
