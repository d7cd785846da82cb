#pragma once

#include <QString>
#include <QVariant>

#include <vector>

// A condition for finds and filters: terms joined by "and". Field names are checked against the
// record set's own columns and values are always bound, so neither can change the query's meaning.
class Criteria
{
public:
    enum class Op {
        Like,        // the field's text matches a wildcard pattern, without regard to case
        Equal,       // the field's text equals the value, without regard to case
        NotEqual,    // the field holds a value whose text differs from the value
        NumberEqual, // the field holds this whole number
    };
    struct Term
    {
        QString field;
        Op op;
        QVariant value;
    };

    static Criteria like(QString field, QString pattern);
    static Criteria equal(QString field, QString text);
    static Criteria notEqual(QString field, QString text);
    static Criteria numberEqual(QString field, qint64 number);

    // Both conditions hold.
    Criteria operator&&(const Criteria& other) const;

    const std::vector<Term>& terms() const { return m_terms; }

private:
    std::vector<Term> m_terms;
};
