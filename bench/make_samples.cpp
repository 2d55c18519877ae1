// dokivo-bench-samples DIR N [SEED]
// Writes N sample scans of 10 to 60 KB into DIR (scan_000001.pdf ...), the same for the same seed.
// One process writes them all: starting the single-file generator 50,000 times would take
// longer than the passes it prepares.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "SamplePdf.h"

namespace {

bool parse(const char* text, std::uint64_t& value) {
    const std::string s(text);
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size();
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t count = 0;
    std::uint64_t seed = 1;
    if ((argc != 3 && argc != 4) || !parse(argv[2], count) || (argc == 4 && !parse(argv[3], seed))) {
        std::fputs("usage: dokivo-bench-samples DIR N [SEED]\n", stderr);
        return 2;
    }
    std::mt19937 sizes(static_cast<std::uint32_t>(seed));
    std::uniform_int_distribution<std::size_t> bytes(10 * 1024, 60 * 1024);
    const std::string folder = std::string(argv[1]) + '/';
    for (std::uint64_t i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "scan_%06llu.pdf", static_cast<unsigned long long>(i));
        const std::string pdf =
            dokivo::samplepdf::makeSamplePdf(bytes(sizes), static_cast<std::uint32_t>(seed * 1000003 + i));
        std::ofstream out(folder + name, std::ios::binary);
        out.write(pdf.data(), static_cast<std::streamsize>(pdf.size()));
        if (!out) {
            std::fprintf(stderr, "dokivo-bench-samples: cannot write %s%s\n", folder.c_str(), name);
            return 1;
        }
    }
    return 0;
}
