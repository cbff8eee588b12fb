#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class Prompts;

// Starts other programs and hands documents and addresses to the desktop.
// Nothing goes through a shell: programs are started directly, documents
// are opened by the desktop's handler for their type. Tests record the calls
// instead.
class Launcher {
public:
    virtual ~Launcher() = default;

    // Starts the program as a process of its own that outlives the editor,
    // with the arguments and workingFolder as its current folder. True when
    // it was started.
    virtual bool startProgram(const QString &program, const QStringList &arguments,
                              const QString &workingFolder) = 0;
    bool startProgram(const QString &program, const QString &workingFolder)
    {
        return startProgram(program, {}, workingFolder);
    }

    // Opens the address (a web page, a local file or folder) with the
    // program the desktop has registered for it. True when one took it.
    virtual bool openUrl(const QUrl &url) = 0;

    // Opens a local file with the program registered for its type.
    bool openFile(const QString &path) { return openUrl(QUrl::fromLocalFile(path)); }
};

// The real thing: QProcess for programs, QDesktopServices for documents.
class DesktopLauncher final : public Launcher {
public:
    using Launcher::startProgram;
    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &workingFolder) override;
    bool openUrl(const QUrl &url) override;
};

// The desktop's launcher, for windows that are given none.
Launcher &desktopLauncher();

// Opens url with launcher; when nothing on the desktop takes it, says so in
// a message box. True when it was opened.
bool openOrSay(Launcher &launcher, Prompts &prompts, const QUrl &url);
