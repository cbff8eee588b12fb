#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// SIGTERM, SIGHUP and SIGINT turned into a call on the user-interface
// thread: the handler only writes the signal's number to a pipe (all a
// signal handler may safely do), and the pipe's reading end wakes the event
// loop. One instance at a time.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    // onSignal gets the signal's number.
    explicit QuitSignals(std::function<void(int)> onSignal, QObject *parent = nullptr);
    ~QuitSignals() override;

    // Ends the process as the signal would have without a handler, so that
    // whoever waits for it sees it killed by that signal.
    [[noreturn]] static void endBy(int signal);

private:
    void readSignal();

    std::function<void(int)> m_onSignal;
    QSocketNotifier *m_notifier = nullptr;
};
