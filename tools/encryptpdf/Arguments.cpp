#include "Arguments.h"

#include <map>

namespace dokivo::encryptpdf {

namespace {

Cipher cipherFor(const std::string& bits) {
    if (bits == "40")
        return Cipher::Rc4_40;
    if (bits == "128")
        return Cipher::Aes128;
    if (bits == "256")
        return Cipher::Aes256;
    throw UsageError("-e must be 40, 128 or 256, not '" + bits + "'");
}

}  // namespace

EncryptionJob parseArguments(const std::vector<std::string>& args) {
    std::map<std::string, std::string> values;
    for (std::size_t i = 0; i < args.size(); i += 2) {
        const std::string& option = args[i];
        if (option != "-i" && option != "-o" && option != "-u" && option != "-e" && option != "-p")
            throw UsageError("unknown option '" + option + "'");
        if (i + 1 == args.size())
            throw UsageError(option + " needs a value");
        if (!values.emplace(option, args[i + 1]).second)
            throw UsageError(option + " is given twice");
    }
    for (const char* required : {"-i", "-o", "-u", "-e"}) {
        if (!values.contains(required))
            throw UsageError(std::string("missing ") + required);
    }
    // An empty user password would let anyone open the file.
    if (values["-u"].empty())
        throw UsageError("-u must not be empty");
    if (values["-i"].empty() || values["-o"].empty())
        throw UsageError("-i and -o need a file name");

    EncryptionJob job;
    job.input = pathFromUtf8(values["-i"]);
    job.output = pathFromUtf8(values["-o"]);
    job.userPassword = values["-u"];
    if (values.contains("-p"))
        job.ownerPassword = values["-p"];
    job.cipher = cipherFor(values["-e"]);
    return job;
}

}  // namespace dokivo::encryptpdf
