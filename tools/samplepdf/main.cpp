// dokivo-samplepdf OUT.pdf [--bytes N] [--seed S] [--pages P]
// Writes a sample scan PDF of about N bytes (default 20000), the same for the same seed.
#include <charconv>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>

#include "SamplePdf.h"

namespace {

constexpr const char* kUsage = "usage: dokivo-samplepdf OUT.pdf [--bytes N] [--seed S] [--pages P]";

// Whole-string decimal number of at least `minimum`.
template <typename Number>
bool parseNumber(const std::string& text, Number minimum, Number& value) {
    Number parsed{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || parsed < minimum)
        return false;
    value = parsed;
    return true;
}

int fail(const std::string& message) {
    std::cerr << "dokivo-samplepdf: " << message << "\n" << kUsage << "\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string output;
    std::size_t bytes = 20000;
    std::uint32_t seed = 1;
    int pages = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!arg.starts_with("--")) {
            if (!output.empty())
                return fail("more than one output file: '" + arg + "'");
            output = arg;
            continue;
        }
        if (arg != "--bytes" && arg != "--seed" && arg != "--pages")
            return fail("unknown option '" + arg + "'");
        if (i + 1 == argc)
            return fail(arg + " needs a value");
        const std::string value = argv[++i];
        const bool valid = arg == "--bytes"  ? parseNumber(value, std::size_t{1}, bytes)
                           : arg == "--seed" ? parseNumber(value, std::uint32_t{0}, seed)
                                             : parseNumber(value, 1, pages);
        if (!valid)
            return fail("bad value for " + arg + ": '" + value + "'");
    }
    if (output.empty())
        return fail("missing OUT.pdf");

    const std::string pdf = dokivo::samplepdf::makeSamplePdf(bytes, seed, pages);
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file.write(pdf.data(), std::streamsize(pdf.size()));
    file.close();
    if (!file) {
        std::cerr << "dokivo-samplepdf: cannot write " << output << "\n";
        return 1;
    }
    return 0;
}
