// A stand-in for an outside program in the tests (the encryption tool, any program started
// by the pass). It takes the steps written in the file "<its own path>.steps", one a line, so
// one program serves every platform and no shell is needed:
//   args FILE       writes its arguments to FILE, one a line
//   copy I J        copies the file named by argument I to the one named by argument J
//   write J TEXT    writes TEXT and a line end to the file named by argument J
//   input J         writes "input" to argument J when a line can be read from standard input,
//                   else "eof N", N being the count of arguments
//   await FILE S    waits up to S seconds for FILE to exist, and ends with status 1 when it does not
//   crash           ends abnormally, as a crashing program does
//   exit N          ends with status N

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Its own path as it was installed: Windows may start it by its short (8.3) name.
std::string ownPath(const char* started) {
#ifdef _WIN32
    char path[32768];
    const DWORD length = GetLongPathNameA(started, path, sizeof path);
    if (length > 0 && length < sizeof path)
        return path;
#endif
    return started;
}

}  // namespace

int main(int argc, char* argv[]) {
    const auto argument = [&](int index) { return index > 0 && index < argc ? argv[index] : ""; };
    std::ifstream steps(ownPath(argv[0]) + ".steps");
    std::string line;
    while (std::getline(steps, line)) {
        std::istringstream words(line);
        std::string step;
        std::string text;  // a file's name, or what to write
        int n = 0;
        int m = 0;
        words >> step;
        if (step == "args") {
            std::getline(words >> std::ws, text);
            std::ofstream out(text, std::ios::binary);
            for (int i = 1; i < argc; ++i)
                out << argv[i] << '\n';
        } else if (step == "copy" && words >> n >> m) {
            std::ifstream in(argument(n), std::ios::binary);
            std::ofstream(argument(m), std::ios::binary) << in.rdbuf();
        } else if (step == "write" && std::getline(words >> n >> std::ws, text)) {
            std::ofstream(argument(n), std::ios::binary) << text << '\n';
        } else if (step == "input" && words >> n) {
            std::ofstream out(argument(n), std::ios::binary);
            if (std::getline(std::cin, text))
                out << "input\n";
            else
                out << "eof " << argc - 1 << '\n';
        } else if (step == "await" && words >> text >> n) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(n);
            while (!std::ifstream(text)) {
                if (std::chrono::steady_clock::now() > until)
                    return 1;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        } else if (step == "crash") {
            std::abort();
        } else if (step == "exit" && words >> n) {
            return n;
        }
    }
    return 0;
}
