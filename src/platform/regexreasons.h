#pragma once

#include <QString>
#include <QTranslator>

// Why a regular expression is invalid, in Chinese: the reason
// QRegularExpression gives in English mapped to ours. A text that is no
// English reason we know (one already translated) comes back as it is; an
// English one we do not know is marked as the expression's fault, its own
// words kept.
QString RegexReason(const QString &qtReason);

// Puts RegexReason in place of QRegularExpression's own texts when it is
// installed after Qt's translation, so that every reason Qt gives is ours.
class RegexReasonTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *sourceText,
                      const char *disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }
};
