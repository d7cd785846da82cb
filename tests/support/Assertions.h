#pragma once

#include "core/Failure.h"

#include <QTest>

#include <optional>

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

// The failure that body raises, if any.
template <typename Body> std::optional<Failure> failureOf(Body&& body)
{
    try {
        body();
    } catch (const Failure& failure) {
        return failure;
    }
    return std::nullopt;
}
