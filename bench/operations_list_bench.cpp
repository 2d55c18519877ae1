// The operations list under a long pass: 300,000 lines added through the MainModule, as the
// folder pass adds them, then flushed to the tracking file.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "app/Frontend.h"
#include "app/MainModule.h"
#include "logs/TrackingFile.h"
#include "platform/Clock.h"

namespace {

constexpr int kLines = 300000;

class QuietFrontend final : public dokivo::Frontend {
  public:
    void refreshList() override {}
    void showMessage(const QString&, MessageIcon, const QString&) override {}
    void processPendingEvents() override {}
    QString operatorCode() const override { return {}; }
    QString receptionDate() const override { return {}; }
};

// One line of the kind a delivery adds, different for every document.
QString deliveryLine(int i) {
    const QString name = QStringLiteral("scan_%1.pdf").arg(i, 6, 10, QLatin1Char('0'));
    return QStringLiteral(" Copiato /srv/scans/in/") + name +
           QStringLiteral("  nella dir di destinazione /srv/archive/out/24/03/05/") + name;
}

struct Fixture {
    QTemporaryDir folder;
    QuietFrontend frontend;
    dokivo::platform::SystemClock clock;
    dokivo::MainModule module{
        frontend, clock, {folder.path() + QLatin1Char('/'), folder.path() + QLatin1Char('/')}};

    Fixture() { module.settings.dir_log_generale = folder.path(); }
};

// The messages are made once: the benchmark measures the list, not the caller's formatting.
const std::vector<QString>& messages() {
    static const std::vector<QString> all = [] {
        std::vector<QString> v;
        v.reserve(kLines);
        for (int i = 0; i < kLines; ++i)
            v.push_back(deliveryLine(i));
        return v;
    }();
    return all;
}

void addLines(dokivo::MainModule& module) {
    for (const QString& message : messages())
        module.addLine(message);
}

void BM_Add300000Lines(benchmark::State& state) {
    messages();
    for (auto _ : state) {
        state.PauseTiming();
        auto fixture = std::make_unique<Fixture>();
        state.ResumeTiming();
        addLines(fixture->module);
        benchmark::DoNotOptimize(fixture->module.operations.size());
        state.PauseTiming();
        fixture.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_Add300000LinesAndFlush(benchmark::State& state) {
    messages();
    qint64 bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto fixture = std::make_unique<Fixture>();
        state.ResumeTiming();
        addLines(fixture->module);
        fixture->module.flushTrackingFile();
        state.PauseTiming();
        if (fixture->module.operations.size() != 0)
            state.SkipWithError("the flush left lines in the list");
        bytes = QFile(fixture->folder.filePath(dokivo::kTrackingFileName)).size();
        fixture.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kLines);
    state.counters["tracking_bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_Add300000Lines)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Add300000LinesAndFlush)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
