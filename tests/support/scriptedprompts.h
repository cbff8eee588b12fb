#pragma once

#include "platform/prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

// Prompts for tests: records every question and gives the prepared answers in
// order. A question without a prepared answer gets the default answer
// (OK / No / Cancel / a cancelled dialog) and is recorded all the same.
class ScriptedPrompts : public Prompts {
public:
    struct Message {
        QString text;
        int style = 0;
        QString title;
    };

    QList<Message> messages;
    QList<FileRequest> fileRequests;
    QList<InputRequest> inputRequests;

    QList<int> messageAnswers;
    QList<std::optional<QString>> fileAnswers;
    QList<std::optional<QString>> inputAnswers;
    QList<std::optional<quint32>> colorAnswers;
    QList<ChoiceRequest> choiceRequests;
    // Without a prepared answer, a choice is closed without a button.
    QList<Choice> choiceAnswers;
    // When set, the save dialog is this one's, shown for real.
    Prompts *saveDialog = nullptr;

    int messageBox(const QString &text, int style, const QString &title) override;
    std::optional<QString> inputBox(const InputRequest &request) override;
    std::optional<QString> openFileName(const FileRequest &request) override;
    std::optional<QString> saveFileName(const FileRequest &request) override;
    std::optional<quint32> chooseColor(quint32 initial) override;
    Choice choose(const ChoiceRequest &request) override;
};
