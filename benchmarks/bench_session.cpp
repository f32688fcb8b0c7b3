// Peak resident memory of a session that visits every screen, read from the
// kernel's high-water mark once the session is over.

#include "benchmarks/screen_driver.h"
#include "benchmarks/screen_tour.h"
#include "screens/screens.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>

#include <benchmark/benchmark.h>

namespace {

// A field such as "VmHWM:  40960 kB" of one reading of /proc/self/status, in MiB.
double fieldMiB(const QString &status, const char *field)
{
    const QRegularExpression line(QStringLiteral("^%1:\\s+(\\d+) kB$").arg(QLatin1String(field)),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = line.match(status);
    return m.hasMatch() ? m.captured(1).toDouble() / 1024 : 0;
}

QString processStatus()
{
    QFile status(QStringLiteral("/proc/self/status"));
    return status.open(QIODevice::ReadOnly) ? QString::fromLatin1(status.readAll()) : QString();
}

void BM_SessionEveryScreen(benchmark::State &state)
{
    for (auto _ : state) {
        const QString error = tourEveryScreen([](QWidget *, const QString &) {});
        if (!error.isEmpty()) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
    }
    // Read once: the resident size moves while it is being read.
    const QString status = processStatus();
    state.counters["peak_MiB"] = fieldMiB(status, "VmHWM");
    state.counters["end_MiB"] = fieldMiB(status, "VmRSS");
    Screens::discardAll();
    driver::settle();
}
// The high-water mark only rises: one session per process says what one user's costs.
BENCHMARK(BM_SessionEveryScreen)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[])
{
    driver::preferOffscreen();
    QApplication app(argc, argv);
    const driver::AnswerEveryBox answers;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
