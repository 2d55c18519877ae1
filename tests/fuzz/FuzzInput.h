#pragma once

// What every fuzz target shares: the fuzzer's bytes cut into the pieces a target needs (small
// numbers first, texts after), and a property check that keeps the input that breaks it.

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace dokivo::fuzz {

struct FuzzInput {
    QByteArray bytes;
    qsizetype at = 0;

    std::uint8_t byte() { return at < bytes.size() ? static_cast<std::uint8_t>(bytes[at++]) : 0; }
    // Four bytes: any moment from 1970 to about 2106, so every year, month and weekday comes up.
    qint64 seconds() {
        qint64 value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return value;
    }
    // Text up to the next NUL byte (or the end), as UTF-8 with replacement of bad sequences.
    QString text() {
        const qsizetype end = bytes.indexOf('\0', at);
        const QByteArray piece = bytes.mid(at, end < 0 ? -1 : end - at);
        at = end < 0 ? bytes.size() : end + 1;
        return QString::fromUtf8(piece);
    }
};

}  // namespace dokivo::fuzz

// A broken property ends the run, so libFuzzer keeps the input that shows it.
#define FUZZ_CHECK(condition) \
    ((condition)              \
         ? void()             \
         : (std::fprintf(stderr, "property broken: %s (line %d)\n", #condition, __LINE__), std::abort()))

// Defines a target as a body that reads its input from `in`.
#define FUZZ_TARGET                                                                                   \
    static void fuzzOne(dokivo::fuzz::FuzzInput& in);                                                 \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {               \
        dokivo::fuzz::FuzzInput in{QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))}; \
        fuzzOne(in);                                                                                  \
        return 0;                                                                                     \
    }                                                                                                 \
    static void fuzzOne(dokivo::fuzz::FuzzInput& in)
