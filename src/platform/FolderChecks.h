#pragma once

#include <QString>

namespace dokivo::platform {

// Whether new entries can be made in an existing folder, asked of the system without making
// one: a check must leave no trace behind.
bool folderIsWritable(const QString& folder);

enum class FolderRelation {
    Apart,  // neither holds the other
    Same,   // the same folder, however it is written (separators, "..", links, letter case on Windows)
    Inside  // the first lies somewhere below the second
};

// Where `folder` lies relative to `other`. Folders that exist are compared by their real paths;
// a missing one by its cleaned absolute path.
FolderRelation folderRelation(const QString& folder, const QString& other);

}  // namespace dokivo::platform
