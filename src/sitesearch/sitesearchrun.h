#pragma once

#include "sitesearch/sitesearch.h"

#include <QStringList>
#include <QThread>
#include <atomic>

// One find, replace or undo over a site, on a thread of its own. Each file's
// report comes as it is done, then finished(); stop() ends the run after the
// file at hand, so that no file is ever half written.
class SiteSearchRun : public QThread {
    Q_OBJECT
public:
    enum class Kind { Find, Replace, Undo };

    struct Request {
        Kind kind = Kind::Find;
        QStringList paths; // folders and files
        QStringList patterns;
        bool subfolders = true;
        SearchOptions options;
        QString findText;
        QString replacement;
        qint64 sizeLimit = 50 * 1024 * 1024;
        std::vector<SiteSearch::Change> undo; // Undo: the changes to take back
    };

    explicit SiteSearchRun(Request request, QObject *parent = nullptr);
    ~SiteSearchRun() override;

    void stop() { m_stop = true; }
    bool stopped() const { return m_stop; }
    // After the run: the files the replace wrote, to take it back.
    const std::vector<SiteSearch::Change> &changes() const { return m_changes; }
    const Request &request() const { return m_request; }

signals:
    void fileDone(const SiteSearch::FileReport &report, int done, int total);

protected:
    void run() override;

private:
    Request m_request;
    std::atomic<bool> m_stop = false;
    std::vector<SiteSearch::Change> m_changes;
};
