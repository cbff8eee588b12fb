#include "scriptedprompts.h"

int ScriptedPrompts::messageBox(const QString &text, int style, const QString &title)
{
    messages.append({text, style, title});
    if (!messageAnswers.isEmpty())
        return messageAnswers.takeFirst();
    switch (style & 7) {
    case YesNo:
        return AnswerNo;
    case YesNoCancel:
        return AnswerCancel;
    default:
        return AnswerOk;
    }
}

std::optional<QString> ScriptedPrompts::inputBox(const InputRequest &request)
{
    inputRequests.append(request);
    return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.takeFirst();
}

std::optional<QString> ScriptedPrompts::openFileName(const FileRequest &request)
{
    fileRequests.append(request);
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
}

std::optional<QString> ScriptedPrompts::saveFileName(const FileRequest &request)
{
    fileRequests.append(request);
    if (saveDialog)
        return saveDialog->saveFileName(request);
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
}

std::optional<quint32> ScriptedPrompts::chooseColor(quint32)
{
    return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.takeFirst();
}

Prompts::Choice ScriptedPrompts::choose(const ChoiceRequest &request)
{
    choiceRequests.append(request);
    return choiceAnswers.isEmpty() ? Choice() : choiceAnswers.takeFirst();
}
