#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>

class Launcher;
class Prompts;
class QWidget;
class StatusLine;

// Remote page source (stolen "偷窃"): asks for a page's address, downloads
// the page into "yuancode.txt" (in the TEMP folder, else in the user's cache
// folder; see Places), for the user's eyes only, and opens that file with the
// desktop's handler for text files. Acts on the status line, prompts and
// launcher it is given and owns none of them.
class PageSource {
public:
    // Fetches address into the file target; true exactly on success, else
    // reason says why.
    using Downloader =
        std::function<bool(const QString &address, const QString &target, QString *reason)>;

    // window is the main window: the address box is placed over its
    // top-left corner and the download's progress dialog is modal over it.
    PageSource(StatusLine &status, Prompts &prompts, Launcher &launcher, QWidget *window = nullptr);

    void stolen_Click();
    // Hint for stolen on the status line.
    void stolen_MouseMove();

    // Replaces the download (by default DownloadToFile with a progress
    // dialog over the main window).
    void setDownloader(Downloader downloader) { m_download = std::move(downloader); }

    // Full path of the downloaded source.
    static QString TargetPath();

private:
    StatusLine &m_status;
    Prompts &m_prompts;
    Launcher &m_launcher;
    QPointer<QWidget> m_window;
    Downloader m_download;
};

// Where the address box goes for a main window with this frame rectangle
// (title bar and borders included) and inner height: 100 twips right of the
// window's left edge, and below the window's frame by the frame's height,
// so that the box sits over the window's top-left corner below its title
// bar. Screen pixels.
QPoint AddressBoxPosition(const QRect &frameGeometry, int innerHeight);

// A downloaded page's source as the desktop's text viewers show it right:
// in UTF-8. A page in another encoding (found out as when a page is opened)
// is turned into UTF-8, its line breaks as they came; bytes that are no
// character show as U+FFFD. UTF-8 sources stay as they came.
QByteArray ReadableSource(const QByteArray &bytes);
