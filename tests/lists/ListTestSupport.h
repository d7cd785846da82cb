#pragma once

#include "lists/ListRecordset.h"

#include <QStringList>

// Writes down every event a list raises, as "RecordNumber <n>" and "Found".
inline void recordEvents(ListEvents& list, QStringList& events)
{
    QObject::connect(&list, &ListEvents::RecordNumber,
                     [&events](const QString& number) { events << QStringLiteral("RecordNumber ") + number; });
    QObject::connect(&list, &ListEvents::Found, [&events] { events << QStringLiteral("Found"); });
}

template <typename List, typename Body>
void withNewListIf(bool wanted, Body& body)
{
    if (wanted) {
        List list;
        body(list);
    }
}

// Makes a fresh list of the class numbered `which` among Lists and hands it to body, so that one
// test can run over lists of different classes with the same shape.
template <typename... Lists, typename Body>
void withListNumber(int which, Body&& body)
{
    int index = 0;
    (withNewListIf<Lists>(index++ == which, body), ...);
}
