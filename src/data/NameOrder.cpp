#include "data/NameOrder.h"

#include "core/Failure.h"

#include <QString>

#include <unicode/ucol.h>

#include <memory>

namespace {

struct CollatorDeleter
{
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

const UCollator* rootCollator()
{
    static const std::unique_ptr<UCollator, CollatorDeleter> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UCollator, CollatorDeleter> opened(ucol_open("", &status));
        if (U_FAILURE(status))
            return std::unique_ptr<UCollator, CollatorDeleter>();
        // Base letters, then accents; capitals are left to the case-insensitive comparison.
        ucol_setStrength(opened.get(), UCOL_SECONDARY);
        return opened;
    }();
    return collator.get();
}

} // namespace

void prepareNameOrder()
{
    if (!rootCollator())
        throw Failure(ErrorNumber::EngineFailure, {}, QStringLiteral("The order of names cannot be prepared."));
}

int compareNames(QStringView a, QStringView b)
{
    // Folded first: a few letters that differ from their folded form only in case (long s, for one)
    // are not alike to the collation, and names equal without regard to case must stay equal.
    const QString foldedA = a.toString().toCaseFolded();
    const QString foldedB = b.toString().toCaseFolded();
    const UCollator* collator = rootCollator();
    if (!collator)
        return a.compare(b, Qt::CaseInsensitive);
    const UCollationResult order =
        ucol_strcoll(collator, reinterpret_cast<const UChar*>(foldedA.utf16()), int32_t(foldedA.size()),
                     reinterpret_cast<const UChar*>(foldedB.utf16()), int32_t(foldedB.size()));
    if (order != UCOL_EQUAL)
        return order == UCOL_LESS ? -1 : 1;
    return a.compare(b, Qt::CaseInsensitive);
}

int NameOrderVersion()
{
    // Bumped when the rule itself changes; the top byte, so the collation's version fits below it.
    constexpr int ruleVersion = 1;
    int version = ruleVersion << 24;
    if (const UCollator* collator = rootCollator()) {
        UVersionInfo collation;
        ucol_getVersion(collator, collation);
        version |= collation[0] << 16 | collation[1] << 8 | collation[2];
    }
    return version;
}
