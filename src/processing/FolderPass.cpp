#include "processing/FolderPass.h"

#include "app/MainModule.h"

namespace dokivo {

void letturacartella(MainModule& module) {
    module.addLine(QStringLiteral(" Inizio lettura contenuto : ") + module.slot.folder);
    module.addLine(QStringLiteral(" Fine lettura contenuto : ") + module.slot.folder);
    module.addLine(QStringLiteral(" Elaborati : 0"));
}

}  // namespace dokivo
