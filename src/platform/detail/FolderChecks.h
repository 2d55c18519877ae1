#pragma once

#include <Qt>

// The part of comparing folders that differs between the systems.
namespace dokivo::platform::detail {

// Whether file and folder names differ by letter case alone.
Qt::CaseSensitivity fileNameCase();

}  // namespace dokivo::platform::detail
