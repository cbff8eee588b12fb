#pragma once

#include "document/autosave.h"
#include "document/encodingcommands.h"
#include "document/filecommands.h"
#include "document/firsttoolbar.h"
#include "document/pagesource.h"
#include "document/preview.h"
#include "editor/drophandler.h"
#include "platform/clock.h"
#include "platform/launcher.h"
#include "platform/windowfinder.h"
#include "snippets/snippetlists.h"
#include "snippets/tagtoolbar.h"

class DocumentSession;
class Prompts;
class QWidget;
class RichTextBox;
class StatusLine;

// Every command object behind the main window's buttons, keys and timer,
// made once for the window from the editing area, the status line, the
// session and the prompts, which the window owns. The window routes its
// events here; the commands own none of the widgets.
struct MainCommands {
    MainCommands(QWidget *window, RichTextBox &richText, StatusLine &status,
                 DocumentSession &session, Prompts &prompts);

    SystemClock clock;
    DesktopLauncher launcher;
    DesktopWindowFinder windows;

    FileCommands file;
    EncodingCommands encodings;
    TagToolbar tags;
    SnippetLists lists;
    FirstToolbar first;
    Preview preview;
    PageSource pageSource;
    Autosave autosave;
    DropHandler drops;
};
