#pragma once

namespace dokivo {

struct PassEnvironment;

// The folder pass: every file lying directly in the slot context's input folder is checked,
// named, optionally encrypted, delivered into its dated destination folder, recorded and removed
// from the input folder. A failure ends the folder with one " Lettura Cartella " line; files
// already delivered stay delivered, the failing one stays in the input folder. A document that
// cannot be read gets its line too, but the pass goes on with the next one.
void runFolderPass(const PassEnvironment& env);

}  // namespace dokivo
