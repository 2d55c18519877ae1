#pragma once

#include <QString>

// The part of choosing the record folder that each system answers in its own way.
namespace dokivo::platform::detail {

// Whether this user may make files in `folder`.
bool canCreateFilesIn(const QString& folder);

}  // namespace dokivo::platform::detail
