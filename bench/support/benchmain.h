#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// Runs the registered benchmarks inside a QApplication, headless unless a
// platform is chosen.
inline int runBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#define ZELMO_BENCHMARK_MAIN()                                                                     \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        return runBenchmarks(argc, argv);                                                          \
    }
