// The main window's list model under a long pass: 300,000 lines added to the operations list
// while the event loop turns every 100 lines, as it does while a pass reports progress, so the
// model publishes its rows in batches.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <memory>
#include <vector>

#include "logs/OperationsLog.h"
#include "platform/Clock.h"
#include "ui/OperationsModel.h"

namespace {

constexpr int kLines = 300000;
constexpr int kLinesPerEventRound = 100;

const std::vector<QString>& messages() {
    static const std::vector<QString> all = [] {
        std::vector<QString> v;
        v.reserve(kLines);
        for (int i = 0; i < kLines; ++i)
            v.push_back(QStringLiteral(" File elaborato : /srv/scans/in/scan_%1.pdf")
                            .arg(i, 6, 10, QLatin1Char('0')));
        return v;
    }();
    return all;
}

void BM_Model300000Lines(benchmark::State& state) {
    messages();
    for (auto _ : state) {
        state.PauseTiming();
        dokivo::platform::SystemClock clock;
        auto log = std::make_unique<dokivo::OperationsLog>(clock);
        auto model = std::make_unique<dokivo::OperationsModel>(*log);
        log->setListener(model.get());
        state.ResumeTiming();
        int sinceRound = 0;
        for (const QString& message : messages()) {
            log->add(message);
            if (++sinceRound == kLinesPerEventRound) {
                QCoreApplication::processEvents();
                sinceRound = 0;
            }
        }
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (model->rowCount() != kLines)
            state.SkipWithError("the model does not show every line");
        log->setListener(nullptr);
        model.reset();
        log.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

BENCHMARK(BM_Model300000Lines)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
