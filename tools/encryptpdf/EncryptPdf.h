#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace dokivo::encryptpdf {

enum class Cipher {
    Rc4_40,  // weak; only for readers that know nothing newer
    Aes128,
    Aes256,
};

struct EncryptionJob {
    std::filesystem::path input;
    std::filesystem::path output;
    std::string userPassword;
    std::optional<std::string> ownerPassword;  // a random one when absent
    Cipher cipher = Cipher::Aes256;
};

// File names travel as UTF-8 on every system: on the command line, to libqpdf, in messages.
inline std::filesystem::path pathFromUtf8(const std::string& name) {
    return std::u8string(name.begin(), name.end());
}
inline std::string utf8Name(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

// Writes job.output as an encrypted copy of job.input. A damaged input is repaired on the way,
// as far as it can be. The output appears only when everything succeeded: it is written to a
// temporary file beside it and renamed into place. Throws std::exception with a one-line
// message on failure. Returns true when the input needed repairs.
bool encryptPdf(const EncryptionJob& job);

// A password nobody needs to know, from the system's random source.
std::string randomPassword();

}  // namespace dokivo::encryptpdf
