#pragma once

#include "data/Recordset.h"

#include <QString>

// Deletes the current row of a table that must keep at least one, then makes the next row current
// (the new last row when the deleted one was last) and returns true. When the current row is the
// only one, it shows the program's title followed by requirement (" requires at least one Photo.")
// and the advice to add another first, deletes nothing and returns false.
bool DeleteKeepingOneRow(Recordset& rs, const QString& requirement);
