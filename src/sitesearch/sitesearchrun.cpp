#include "sitesearch/sitesearchrun.h"

#include "sitesearch/sitefiles.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

struct SiteSearchRun::Done {
    SiteSearch::FileReport report;
    std::optional<SiteSearch::Change> change; // a file written, or still to restore
};

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

int SiteSearchRun::runFiles(int total, int workers, const std::function<Done(int)> &work)
{
    std::vector<std::optional<Done>> results(static_cast<size_t>(total));
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<int> next = 0;
    int working = workers;
    const auto worker = [&] {
        for (int i; !m_stop && (i = next++) < total;) {
            Done done = work(i);
            const std::lock_guard lock(mutex);
            results[size_t(i)] = std::move(done);
            ready.notify_all();
        }
        const std::lock_guard lock(mutex);
        --working;
        ready.notify_all();
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < workers; ++i)
        threads.emplace_back(worker);

    // Every file a worker took is finished, so the files done are the first
    // ones, without a gap.
    int reported = 0;
    std::unique_lock lock(mutex);
    for (;;) {
        ready.wait(lock,
                   [&] { return (reported < total && results[size_t(reported)]) || working == 0; });
        while (reported < total && results[size_t(reported)]) {
            Done done = std::move(*results[size_t(reported)]);
            results[size_t(reported)].reset();
            ++reported;
            lock.unlock();
            if (done.change)
                m_changes.push_back(std::move(*done.change));
            emit fileDone(done.report, reported, total);
            lock.lock();
        }
        if (working == 0 && (reported == total || !results[size_t(reported)]))
            break;
    }
    lock.unlock();
    for (std::thread &thread : threads)
        thread.join();
    return reported;
}

void SiteSearchRun::run()
{
    const Request &request = m_request;
    const int cores = qMax(QThread::idealThreadCount(), 1);
    // Safe writes wait for the disk most of their time.
    const int writers = qMax(cores, 8);
    if (request.kind == Kind::Undo) {
        const int total = int(request.undo.size());
        const int tried = runFiles(total, writers, [&](int i) {
            const SiteSearch::Change &change = request.undo[size_t(i)];
            QStringList restored;
            std::vector<SiteSearch::FileReport> left = SiteSearch::undo({change}, &restored);
            Done done;
            if (!left.empty()) {
                done.report = std::move(left.front());
                // Still changed: kept, so that a later undo may try again.
                done.change = change;
            } else {
                done.report.path = change.path;
                done.report.outcome = SiteSearch::FileReport::Outcome::Changed;
            }
            return done;
        });
        // Not tried before the stop: still to be taken back.
        m_changes.insert(m_changes.end(), request.undo.begin() + tried, request.undo.end());
        return;
    }
    const SearchPattern pattern(request.findText, request.options);
    const QStringList files = SiteFiles::list(request.paths, request.patterns, request.subfolders);
    const bool find = request.kind == Kind::Find;
    runFiles(int(files.size()), find || request.dryRun ? cores : writers, [&](int i) {
        Done done;
        if (find) {
            done.report = SiteSearch::find(files[i], pattern, request.sizeLimit);
            return done;
        }
        SiteSearch::Change change;
        done.report = SiteSearch::replace(files[i], pattern, request.replacement, request.sizeLimit,
                                          request.dryRun, &change);
        if (!change.path.isEmpty())
            done.change = std::move(change);
        return done;
    });
}
