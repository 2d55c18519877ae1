// The command line on any text: the split keeps every non-blank character in order, in at most
// the asked number of arguments, none holding a blank; the keywords never fail.

#include "FuzzInput.h"
#include "app/CommandLine.h"
#include "app/MainModule.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    dokivo::fuzz::FuzzInput in(data, size);
    const int max = in.byte() % 16;
    const QString line = in.text();
    const std::vector<QString> args = dokivo::GetCommandLine(line, max);

    FUZZ_CHECK(args.size() == static_cast<size_t>(max) + 1);
    FUZZ_CHECK(args[0].isEmpty());
    QString kept;
    bool ended = false;
    for (size_t i = 1; i < args.size(); ++i) {
        FUZZ_CHECK(!args[i].contains(QLatin1Char(' ')) && !args[i].contains(QLatin1Char('\t')));
        FUZZ_CHECK(!(ended && !args[i].isEmpty()));  // no gaps: the arguments come first
        ended = args[i].isEmpty();
        kept += args[i];
    }
    QString nonBlank = line;
    nonBlank.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
    FUZZ_CHECK(nonBlank.startsWith(kept));

    QString configDir = QStringLiteral("/start/");
    dokivo::StartupFlags flags;
    dokivo::applyCommandLine(args, configDir, flags);
    return 0;
}
