// encryptpdf.exe -i IN -o OUT -u USERPASSWORD -e 40|128|256 [-p OWNERPASSWORD]
// Exit status: 0 written, 1 the PDF could not be encrypted, 2 bad command line.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "Arguments.h"
#include "EncryptPdf.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>
#endif

using namespace dokivo::encryptpdf;

namespace {

// The arguments as the caller gave them, in UTF-8. On Windows main() gets them converted to the
// ANSI code page, where a character outside it becomes '?': a password would silently turn into
// another one, so they are read from the wide command line instead.
std::vector<std::string> utf8Arguments([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(bytes > 0 ? bytes - 1 : 0, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), bytes, nullptr, nullptr);
        args.push_back(arg);
    }
    LocalFree(wide);
    return args;
#else
    return {argv + 1, argv + argc};
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = utf8Arguments(argc, argv);
    EncryptionJob job;
    try {
        job = parseArguments(args);
    } catch (const UsageError& error) {
        std::cerr << "encryptpdf.exe: " << error.what() << " (usage: " << kUsage << ")\n";
        return 2;
    }
    try {
        if (encryptPdf(job))
            std::cerr << "encryptpdf.exe: warning: " << utf8Name(job.input)
                      << " was damaged and has been repaired\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "encryptpdf.exe: " << error.what() << '\n';
        return 1;
    }
}
