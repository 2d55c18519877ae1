// The command line on any text: the split keeps every non-blank character in order, in at most
// the asked number of arguments, none holding a blank; the keywords never fail.

#include "FuzzInput.h"
#include "app/CommandLine.h"
#include "app/MainModule.h"

FUZZ_TARGET {
    const int max = in.byte() % 16;
    const QString line = in.text();
    const std::vector<QString> args = dokivo::splitCommandLine(line, max);

    FUZZ_CHECK(args.size() == static_cast<size_t>(max) + 1 && args[0].isEmpty());
    QString kept;
    for (size_t i = 1; i < args.size(); ++i) {
        FUZZ_CHECK(!args[i].contains(' ') && !args[i].contains('\t'));
        FUZZ_CHECK(!args[i].isEmpty() || i + 1 == args.size() || args[i + 1].isEmpty());  // no gaps
        kept += args[i];
    }
    FUZZ_CHECK(QString(line).remove(' ').remove('\t').startsWith(kept));

    QString configDir = QStringLiteral("/start/");
    dokivo::StartupFlags flags;
    dokivo::applyCommandLine(args, configDir, flags);
}
