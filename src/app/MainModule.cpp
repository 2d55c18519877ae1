#include "app/MainModule.h"

namespace dokivo {

MainModule::MainModule(Frontend& frontend_, platform::Clock& clock_, AppFolders folders_)
    : operations(clock_), folders(std::move(folders_)), frontend(frontend_), clock(clock_) {}

}  // namespace dokivo
