#include "app/MainModule.h"

namespace dokivo {

MainModule::MainModule(Frontend& frontend_, platform::Clock& clock, AppFolders folders)
    : ScanModule(frontend_, clock, std::move(folders)), frontend(frontend_) {}

}  // namespace dokivo
