#pragma once

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>

// Runs the registered benchmarks inside a QApplication, headless unless a
// platform is chosen. registerMore adds benchmarks once the application is
// there; afterRun runs while it still is.
inline int runBenchmarks(int argc, char **argv, const std::function<void()> &registerMore = {},
                         const std::function<void()> &afterRun = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows' recovery journals go to a folder of the run's own, not
    // to the user's.
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (registerMore)
        registerMore();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    if (afterRun)
        afterRun();
    benchmark::Shutdown();
    return 0;
}

// A bare editor as the floors use it: no wrapping, the editing area's size,
// shown.
inline void showBareEdit(QPlainTextEdit &edit)
{
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    edit.resize(700, 446);
    edit.show();
}

#define ZELMO_BENCHMARK_MAIN()                                                                     \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        return runBenchmarks(argc, argv);                                                          \
    }
