#pragma once

#include <QSaveFile>

namespace tarvik {

// Puts a QSaveFile in place of the old file only when all of it is on disk.
// commit() alone misses a failure to write the bytes still buffered (Qt 6.4
// reports success for a file cut short by a full disk); flush() does not.
inline bool CommitWhole(QSaveFile& file)
{
    if (!file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tarvik
