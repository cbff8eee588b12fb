#pragma once

#include "platform/statusline.h"

// A status line without a widget, for tests of the commands.
class StatusRecorder : public StatusLine {
public:
    QString Text() const override { return m_text; }
    void setText(const QString &text) override { m_text = text; }
    QString Text2() const override { return m_text2; }
    void setText2(const QString &text) override { m_text2 = text; }

private:
    QString m_text;
    QString m_text2;
};
