#pragma once

#include <QStringList>

namespace dokivo {

class MainModule;

// What the next pass would do with every file of every input folder, and why a file would
// stay, without doing any of it: nothing is copied, moved, encrypted or recorded.
QStringList simulatePass(const MainModule& module);

}  // namespace dokivo
