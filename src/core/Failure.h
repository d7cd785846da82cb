#pragma once

#include <QString>

#include <exception>

// Error numbers the program tests for. The descriptions are ours (see Failure.cpp).
namespace ErrorNumber {
constexpr long Overflow = 6;
constexpr long ObjectNotSet = 91;
constexpr long InvalidUseOfNull = 94;
constexpr long TypeMismatch = 13;
constexpr long EngineUnavailable = 429;
constexpr long EngineFailure = 3000;
constexpr long UpdateWithoutAddOrEdit = 3020;
constexpr long NoCurrentRecord = 3021;
constexpr long DuplicateValue = 3022;
constexpr long FileNotFound = 3024;
constexpr long DiskFull = 3026;
constexpr long ReadOnly = 3027;
constexpr long NoTransaction = 3034;
constexpr long DiskError = 3043;
constexpr long CatalogueDamaged = 3049;
constexpr long CannotOpenFile = 3051;
constexpr long UnknownCriteriaField = 3070;
constexpr long InvalidBookmark = 3159;
constexpr long RecordDeleted = 3167;
constexpr long RecordLocked = 3218;
constexpr long RowStillReferenced = 3200;
constexpr long RelatedRowRequired = 3201;
constexpr long UnknownField = 3265;
constexpr long RequiredField = 3314;
constexpr long ObjectClosed = 3420;
constexpr long ExpressionLibraryMissing = 3446;
constexpr long NoSuchKey = 35601;
constexpr long KeyNotUnique = 35602;
// The label report: its file is missing, is no label layout, or nothing can print.
constexpr long ReportFileNotFound = 20504;
constexpr long ReportFileInvalid = 20507;
constexpr long NoDefaultPrinter = 20526;
} // namespace ErrorNumber

// The one error type of the program: a number the code can test, the source that raised it and a
// description fit to show the user.
class Failure : public std::exception
{
public:
    // A failure with the program's own description of the number.
    explicit Failure(long number, QString source = {});
    Failure(long number, QString source, QString description);

    long Number() const { return m_number; }
    const QString& Source() const { return m_source; }
    const QString& Description() const { return m_description; }

    // The same failure raised again from another source, as the data classes do.
    Failure withSource(QString source) const;

    const char* what() const noexcept override;

    // The program's own words for an error number; a general text for numbers it does not know.
    static QString describe(long number);

private:
    long m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};
