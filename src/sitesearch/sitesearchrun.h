#pragma once

#include "sitesearch/sitesearch.h"

#include <QStringList>
#include <QThread>
#include <atomic>
#include <functional>

// One find, replace or undo over a site, on a thread of its own that hands
// the files to a few workers (reading and searching use both cores; safe
// writes spend their time waiting for the disk, so more of them overlap).
// Each file's report comes in the order of the files, then finished();
// stop() ends the run after the files at hand, so that no file is ever half
// written and every file changed is reported.
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
        bool dryRun = false;                  // Replace: count only, write nothing
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
    struct Done;
    // Runs work(i) for i in [0, total) on the workers and reports each
    // result in order, until all are done or the run is stopped. Returns
    // how many were done: always the first ones.
    int runFiles(int total, int workers, const std::function<Done(int)> &work);

private:
    Request m_request;
    std::atomic<bool> m_stop = false;
    std::vector<SiteSearch::Change> m_changes;
};
