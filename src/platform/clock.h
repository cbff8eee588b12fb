#pragma once

#include <QDateTime>

// The local date and time as the program reads them; tests set their own.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that shows whatever it is set to.
class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime time = {})
        : m_time(std::move(time))
    {}
    QDateTime now() const override { return m_time; }
    void setNow(const QDateTime &time) { m_time = time; }

private:
    QDateTime m_time;
};
