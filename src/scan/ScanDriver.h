#pragma once

namespace dokivo {

class ScanModule;

// One scan pass over slots 0 to 15: reloads the settings, skips slots that are not configured
// or whose folders are missing, and runs the folder pass on each slot's input folder and, when
// the slot asks for it, on each immediate subfolder. A call made while a pass runs (a tick or
// a button press during the encryption wait) is ignored.
void runScanPass(ScanModule& module);

}  // namespace dokivo
