#pragma once

#include <QString>

// The per-user settings store of the application "Vellaro": text values by section and key.

// The application name under which every setting is kept, and the program's title.
inline constexpr char16_t AppTitle[] = u"Vellaro";

// The stored value, or defaultValue when the key is absent. Reading never writes a key.
QString GetSetting(const QString& section, const QString& key, const QString& defaultValue = {});

// Stores value under section and key; the store's file is left readable by its owner only.
void SaveSetting(const QString& section, const QString& key, const QString& value);

// A stored boolean read by the program's rule ("True"/"False" or a number); defaultValue when the key
// is absent or holds other text.
bool GetBooleanSetting(const QString& section, const QString& key, bool defaultValue);

// Stores a boolean as "True" or "False".
void SaveBooleanSetting(const QString& section, const QString& key, bool value);
