#include "core/cOptions.h"

#include "core/Settings.h"

namespace {

const QString caption = QStringLiteral("Caption");
const QString remember = QStringLiteral("Remember");

} // namespace

cOptions::cOptions()
    : Copyright(GetSetting(caption, QStringLiteral("Copyright"))),
      CopyrightinCaption(GetBooleanSetting(caption, QStringLiteral("CopyrightinCaption"), true)),
      DateinCaption(GetBooleanSetting(caption, QStringLiteral("DateinCaption"), false)),
      LocationinCaption(GetBooleanSetting(caption, QStringLiteral("LocationinCaption"), true)),
      LastLocation(GetBooleanSetting(remember, QStringLiteral("LastLocation"), true)),
      LastDate(GetBooleanSetting(remember, QStringLiteral("LastDate"), true)),
      LastStorageDevice(GetBooleanSetting(remember, QStringLiteral("LastStorageDevice"), true)),
      lastComments(GetBooleanSetting(remember, QStringLiteral("lastComments"), true)),
      lastFilename(GetBooleanSetting(remember, QStringLiteral("lastFilename"), false))
{}

void cOptions::SaveSettings() const
{
    SaveSetting(caption, QStringLiteral("Copyright"), Copyright);
    SaveBooleanSetting(caption, QStringLiteral("CopyrightinCaption"), CopyrightinCaption);
    SaveBooleanSetting(caption, QStringLiteral("DateinCaption"), DateinCaption);
    SaveBooleanSetting(caption, QStringLiteral("LocationinCaption"), LocationinCaption);
    SaveBooleanSetting(remember, QStringLiteral("LastLocation"), LastLocation);
    SaveBooleanSetting(remember, QStringLiteral("LastDate"), LastDate);
    SaveBooleanSetting(remember, QStringLiteral("LastStorageDevice"), LastStorageDevice);
    SaveBooleanSetting(remember, QStringLiteral("lastComments"), lastComments);
    SaveBooleanSetting(remember, QStringLiteral("lastFilename"), lastFilename);
}
