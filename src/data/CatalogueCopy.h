#pragma once

#include <QString>

// Whether the two paths name the same file or folder on disk however they are written (a trailing
// "/", "..", a symbolic link): the same device and inode. False when either cannot be found.
bool SameFileOrFolder(const QString& first, const QString& second);

// Copies the file source to destination so that destination is never half written: the copy goes
// to a new file beside destination, is flushed to disk, read back from the disk and compared with
// source byte for byte, then renamed over destination, and the folder is flushed. The copy keeps
// to its owner (mode 0600). Raises 3043 with the reason when anything fails (the source unreadable,
// the folder not writable, the disk full, the check failing, destination a folder or source itself)
// and with no other number; the new file is then removed and an older destination stays exactly
// as it was. Temporary copies that earlier backups killed before their end left in the folder are
// removed first; one that another backup is still writing is left alone.
void CopyCatalogue(const QString& source, const QString& destination);
