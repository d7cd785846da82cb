#include "data/KeepOneRow.h"

#include "core/Messages.h"
#include "core/Settings.h"

bool DeleteKeepingOneRow(Recordset& rs, const QString& requirement)
{
    const Bookmark current = rs.GetBookmark();
    // The row is the only one when there is neither a row before it nor one after it.
    bool onlyOne = false;
    rs.MovePrevious();
    if (rs.Bof()) {
        rs.MoveNext();
        rs.MoveNext();
        onlyOne = rs.Eof();
    }
    rs.SetBookmark(current);
    if (onlyOne) {
        MsgBox(QString::fromUtf16(AppTitle) + requirement + u'\r' +
                   QStringLiteral("Please add a new one before deleteing this one."),
               MsgButtons::OK, MsgIcon::None, QString::fromUtf16(AppTitle));
        return false;
    }
    rs.Delete();
    rs.MoveNext();
    if (rs.Eof())
        rs.MoveLast();
    return true;
}
