#pragma once

#include <QString>

// The part of the arrival check that asks the system.
namespace dokivo::platform::detail {

enum class Writers {
    None,    // nobody holds the file open for writing, or it cannot be opened at all (the copy
             // will report what is wrong with it)
    Some,    // another program holds it open for writing
    Unknown  // the system cannot tell: the file's age decides
};

Writers askForWriters(const QString& path);

}  // namespace dokivo::platform::detail
