#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace dokivo::samplepdf {

// A valid PDF of `pages` A4 pages, each one uncompressed grayscale image that looks roughly
// like a scanned letter, about `approxBytes` long in all (never shorter than its few hundred
// bytes of structure per page). The same arguments give the same bytes on every platform.
// Throws std::invalid_argument when pages < 1.
std::string makeSamplePdf(std::size_t approxBytes, std::uint32_t seed, int pages = 1);

}  // namespace dokivo::samplepdf
