#pragma once

// Cuts a fuzzer's bytes into the pieces a target needs: small numbers first, texts after.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace dokivo::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : bytes_(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)) {}

    std::uint8_t byte() { return at_ < bytes_.size() ? static_cast<std::uint8_t>(bytes_[at_++]) : 0; }
    bool flag() { return byte() & 1; }
    // Four bytes: any moment from 1970 to about 2106, so every year, month and weekday comes up.
    qint64 seconds() {
        qint64 value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | byte();
        return value;
    }
    // Text up to the next NUL byte (or the end), as UTF-8 with replacement of bad sequences.
    QString text() {
        const qsizetype end = bytes_.indexOf('\0', at_);
        const QByteArray piece = bytes_.mid(at_, end < 0 ? -1 : end - at_);
        at_ = end < 0 ? bytes_.size() : end + 1;
        return QString::fromUtf8(piece);
    }
    QByteArray rest() {
        const QByteArray piece = bytes_.mid(at_);
        at_ = bytes_.size();
        return piece;
    }

  private:
    QByteArray bytes_;
    qsizetype at_ = 0;
};

}  // namespace dokivo::fuzz

// A broken property ends the run, so libFuzzer keeps the input that shows it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
