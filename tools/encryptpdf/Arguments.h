#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "EncryptPdf.h"

namespace dokivo::encryptpdf {

inline constexpr const char* kUsage =
    "encryptpdf.exe -i IN -o OUT -u USERPASSWORD -e 40|128|256 [-p OWNERPASSWORD]";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reads the command line (without the program name). Every option takes the next argument as
// its value, whatever it looks like, so passwords may start with '-'. Throws UsageError.
EncryptionJob parseArguments(const std::vector<std::string>& args);

}  // namespace dokivo::encryptpdf
