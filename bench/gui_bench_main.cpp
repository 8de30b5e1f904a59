// main() of the benchmarks that need widgets: an application without a screen.
#include <benchmark/benchmark.h>
#include <QApplication>

int main(int argc, char** argv) {
    // Widgets without a screen; set before the application exists.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_PLATFORMTHEME", "");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
