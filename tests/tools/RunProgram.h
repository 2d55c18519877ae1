#pragma once

#include <string>
#include <vector>

namespace dokivo::tests {

struct ProgramResult {
    int exitCode = -1;  // -1 when the program crashed or could not start
    std::string standardError;
};

// Runs `program` with each argument passed as it is (no shell, no quoting) and waits for it.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace dokivo::tests
