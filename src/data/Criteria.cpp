#include "data/Criteria.h"

Criteria Criteria::like(QString field, QString pattern)
{
    Criteria c;
    c.m_terms.push_back({std::move(field), Op::Like, std::move(pattern)});
    return c;
}

Criteria Criteria::equal(QString field, QString text)
{
    Criteria c;
    c.m_terms.push_back({std::move(field), Op::Equal, std::move(text)});
    return c;
}

Criteria Criteria::notEqual(QString field, QString text)
{
    Criteria c;
    c.m_terms.push_back({std::move(field), Op::NotEqual, std::move(text)});
    return c;
}

Criteria Criteria::numberEqual(QString field, qint64 number)
{
    Criteria c;
    c.m_terms.push_back({std::move(field), Op::NumberEqual, number});
    return c;
}

Criteria Criteria::operator&&(const Criteria& other) const
{
    Criteria c = *this;
    c.m_terms.insert(c.m_terms.end(), other.m_terms.begin(), other.m_terms.end());
    return c;
}
