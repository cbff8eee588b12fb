#include "shell/maincommands.h"

#include "document/documentsession.h"
#include "editor/richtextbox.h"
#include "snippets/lettercase.h"

MainCommands::MainCommands(QWidget *window, RichTextBox &richText, StatusLine &status,
                           DocumentSession &session, Prompts &prompts)
    : file(richText, session, status, prompts)
    , encodings(richText, session, file, prompts)
    , tags(richText, status, prompts, clock)
    , lists(richText, status, prompts)
    , first(status, prompts, launcher, windows)
    , preview(richText, status, prompts, launcher, &session)
    , pageSource(status, prompts, launcher, window)
    , autosave(richText, status, clock)
    , drops(richText, file, status, prompts,
            [this, &prompts](const QUrl &url) { openOrSay(launcher, prompts, url); })
{
    autosave.followFormat(&session.format());
    tags.setConvert([&richText](bool upper) { LetterCase::convert(richText, upper); });
}
