#include "recovery/quitsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeEnds[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

extern "C" void onQuitSignal(int signal)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe already holds a signal to act on.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
    errno = savedErrno;
}

} // namespace

QuitSignals::QuitSignals(std::function<void(int)> onSignal, QObject *parent)
    : QObject(parent)
    , m_onSignal(std::move(onSignal))
{
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

QuitSignals::~QuitSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
    delete m_notifier;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void QuitSignals::readSignal()
{
    unsigned char number = 0;
    if (::read(pipeEnds[0], &number, 1) == 1 && m_onSignal)
        m_onSignal(number);
}

void QuitSignals::endBy(int signal)
{
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    std::_Exit(128 + signal);
}
