#include "app/CommandLine.h"

#include "config/StartupFlags.h"

namespace dokivo {

std::vector<QString> splitCommandLine(const QString& commandLine, int max) {
    std::vector<QString> arguments(static_cast<size_t>(max) + 1);
    int count = 0;
    bool inside = false;
    for (const QChar c : commandLine) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            inside = false;
            continue;
        }
        if (!inside) {
            if (count == max)
                break;
            ++count;
            inside = true;
        }
        arguments[static_cast<size_t>(count)] += c;
    }
    return arguments;
}

void applyCommandLine(const std::vector<QString>& arguments, QString& config_dir, StartupFlags& flags) {
    for (size_t i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.contains(QLatin1String("ini:")))
            config_dir = argument.mid(4);
        if (argument.contains(QLatin1String("run:")))
            flags.run_flag = argument.mid(4).toLower();
        if (argument.contains(QLatin1String("timer:")))
            flags.timer_flag = argument.mid(6).toLower();
        if (argument.contains(QLatin1String("verifica:")))
            flags.verifica_flag = argument.mid(9).toLower();
        if (argument.contains(QLatin1String("simula:")))
            flags.simula_flag = argument.mid(7).toLower();
    }
}

}  // namespace dokivo
