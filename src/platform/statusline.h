#pragma once

#include <QString>

// The two texts of the main window's status bar: the hint text on the left,
// which every control's mouse-move handler fills and the totals use, and the
// message text on the right for results.
class StatusLine {
public:
    virtual ~StatusLine() = default;

    virtual QString Text() const = 0;
    virtual void setText(const QString &text) = 0;
    virtual QString Text2() const = 0;
    virtual void setText2(const QString &text) = 0;
};
