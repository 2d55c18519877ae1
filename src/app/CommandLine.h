#pragma once

#include <QString>
#include <vector>

namespace dokivo {

struct StartupFlags;

// Splits a command line at blanks and tabs, with no quoting. The result has max + 1 entries:
// entry 0 is always empty, entries 1..max hold the arguments in order, the rest stay empty.
// Arguments past the max-th are ignored.
std::vector<QString> splitCommandLine(const QString& commandLine, int max = 10);

// Applies the keywords "ini:", "run:", "timer:", "verifica:" and "simula:" of every argument,
// in order, so a later argument overrides an earlier one. A keyword matches anywhere in the
// argument (same letter case); its value is taken from a fixed position counted from the
// argument's start.
void applyCommandLine(const std::vector<QString>& arguments, QString& config_dir, StartupFlags& flags);

}  // namespace dokivo
