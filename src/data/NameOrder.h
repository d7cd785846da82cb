#pragma once

#include <QStringView>

// The order of names: letters beside their base letters ("Ångström" by "Angstrom", "Ölmühle" among
// the O's) by the Unicode root collation, which is the same whatever the user's language; capitals
// never count. Names that collation finds alike are ordered by their case-folded characters, so two
// names are equal exactly when they differ in capitals only.
// Negative, zero or positive as a comes before, equals or follows b.
int compareNames(QStringView a, QStringView b);

// Makes the collation ready; raises 3000 when the Unicode collation data cannot be loaded.
void prepareNameOrder();

// The version of this order kept in each catalogue: the rule's own number with the version of the
// Unicode collation data behind it, so that a catalogue's indexes are rebuilt when either changes.
int NameOrderVersion();
