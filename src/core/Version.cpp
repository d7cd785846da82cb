#include "core/Version.h"

namespace Version {

QString VersionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(VELLARO_VERSION_MAJOR)
        .arg(VELLARO_VERSION_MINOR)
        .arg(VELLARO_VERSION_PATCH);
}

QString LegalCopyright()
{
    return QStringLiteral("Copyright \u00A9 2026 The Vellaro developers. All rights reserved.");
}

QString Comments()
{
    return QStringLiteral("support@vellaro.example");
}

QString TermsOfUse()
{
    return QStringLiteral(
        "Vellaro is provided as it is, without any warranty. You may use it to catalogue your own photographs "
        "and give copies of it to others, unchanged and free of charge.\n\n"
        "Your catalogue stays on your computer: Vellaro never sends your photographs or their details anywhere.\n\n"
        "Keep a backup of your catalogue (File, Backup Vellaro) in another place, such as a USB stick: no program "
        "can protect your records from a failing disk.");
}

} // namespace Version
