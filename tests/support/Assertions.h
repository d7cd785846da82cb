#pragma once

#include "app/Failure.h"

#include <QTest>

// Checks that body raises a Failure with this number.
#define QVERIFY_FAILURE(body, number)                                                                                  \
    do {                                                                                                               \
        try {                                                                                                          \
            body;                                                                                                      \
            QFAIL("no failure was raised");                                                                            \
        } catch (const Failure& failure_) {                                                                            \
            QCOMPARE(failure_.Number(), long(number));                                                                 \
        }                                                                                                              \
    } while (false)
