#include "sitesearch/sitesearchrun.h"

#include "sitesearch/sitefiles.h"

SiteSearchRun::SiteSearchRun(Request request, QObject *parent)
    : QThread(parent)
    , m_request(std::move(request))
{
    qRegisterMetaType<SiteSearch::FileReport>();
}

SiteSearchRun::~SiteSearchRun()
{
    stop();
    wait();
}

void SiteSearchRun::run()
{
    const Request &request = m_request;
    if (request.kind == Kind::Undo) {
        const int total = int(request.undo.size());
        int i = 0;
        for (; i < total && !m_stop; ++i) {
            QStringList restored;
            std::vector<SiteSearch::FileReport> left =
                SiteSearch::undo({request.undo[i]}, &restored);
            SiteSearch::FileReport report;
            if (!left.empty()) {
                report = left.front();
                // Still changed: kept, so that a later undo may try again.
                m_changes.push_back(request.undo[i]);
            } else {
                report.path = request.undo[i].path;
                report.outcome = SiteSearch::FileReport::Outcome::Changed;
            }
            emit fileDone(report, i + 1, total);
        }
        // Not tried before the stop: still to be taken back.
        for (; i < total; ++i)
            m_changes.push_back(request.undo[i]);
        return;
    }
    const SearchPattern pattern(request.findText, request.options);
    const QStringList files = SiteFiles::list(request.paths, request.patterns, request.subfolders);
    const int total = int(files.size());
    for (int i = 0; i < total && !m_stop; ++i) {
        if (request.kind == Kind::Find) {
            emit fileDone(SiteSearch::find(files[i], pattern, request.sizeLimit), i + 1, total);
            continue;
        }
        SiteSearch::Change change;
        const SiteSearch::FileReport report = SiteSearch::replace(
            files[i], pattern, request.replacement, request.sizeLimit, false, &change);
        if (!change.path.isEmpty())
            m_changes.push_back(std::move(change));
        emit fileDone(report, i + 1, total);
    }
}
