#pragma once

namespace dokivo {

struct PassEnvironment;

// The folder pass: every file lying directly in the slot context's input folder is checked,
// named, optionally encrypted, delivered into its dated destination folder, recorded and removed
// from the input folder. A failure ends the folder with one " Lettura Cartella " line; files
// already delivered stay delivered, the failing one stays in the input folder. A document that
// cannot be read gets its line too, but the pass goes on with the next one; so does one that is
// gone when its turn comes. The pass holds the folder's lock while it runs: a folder whose lock
// another installation holds is passed over with one line naming the holder.
void runFolderPass(const PassEnvironment& env);

}  // namespace dokivo
