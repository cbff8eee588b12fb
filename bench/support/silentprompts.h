#pragma once

#include "platform/prompts.h"

// Prompts that answer every question with its default, for benchmarks.
class SilentPrompts : public Prompts {
public:
    int messageBox(const QString &, int, const QString &) override { return AnswerOk; }
    std::optional<QString> inputBox(const InputRequest &) override { return std::nullopt; }
    std::optional<QString> openFileName(const FileRequest &) override { return std::nullopt; }
    std::optional<QString> saveFileName(const FileRequest &) override { return std::nullopt; }
    std::optional<quint32> chooseColor(quint32) override { return std::nullopt; }
    Choice choose(const ChoiceRequest &) override { return {}; }
};
