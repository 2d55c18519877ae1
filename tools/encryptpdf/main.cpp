// encryptpdf.exe -i IN -o OUT -u USERPASSWORD -e 40|128|256 [-p OWNERPASSWORD]
// Exit status: 0 written, 1 the PDF could not be encrypted, 2 bad command line.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "Arguments.h"
#include "EncryptPdf.h"

using namespace dokivo::encryptpdf;

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    EncryptionJob job;
    try {
        job = parseArguments(args);
    } catch (const UsageError& error) {
        std::cerr << "encryptpdf.exe: " << error.what() << " (usage: " << kUsage << ")\n";
        return 2;
    }
    try {
        if (encryptPdf(job))
            std::cerr << "encryptpdf.exe: warning: " << job.input.string()
                      << " was damaged and has been repaired\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "encryptpdf.exe: " << error.what() << '\n';
        return 1;
    }
}
