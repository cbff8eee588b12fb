#include "shell/maincommands.h"

#include "editor/richtextbox.h"

MainCommands::MainCommands(QWidget *window, RichTextBox &richText, StatusLine &status,
                           DocumentSession &session, Prompts &prompts)
    : file(richText, session, status, prompts)
    , tags(richText, status, prompts, clock)
    , lists(richText, status, prompts)
    , first(status, prompts, launcher, windows)
    , preview(richText, status, prompts, launcher, &session)
    , pageSource(status, prompts, launcher, window)
    , autosave(richText, status, clock)
    , drops(richText, file, status, prompts, [this](const QUrl &url) { launcher.openUrl(url); })
{}
