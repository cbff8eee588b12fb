#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

// Runs a program headless to its end, asking the editor to stop after its
// first paint, and returns the wall time in seconds, or a negative number
// when it failed.
inline double runToFirstPaint(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("ZELMO_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e9;
}
