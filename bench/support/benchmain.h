#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// Google Benchmark's main with a QApplication around it, headless unless a
// platform is chosen.
#define ZELMO_BENCHMARK_MAIN()                                                                     \
    int main(int argc, char **argv) {                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
