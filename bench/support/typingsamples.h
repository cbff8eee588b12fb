#pragma once

#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <map>
#include <string>
#include <vector>

// The current time on a steady clock, in nanoseconds.
inline qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// CPU time this process has used, in nanoseconds.
inline qint64 cpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Times of single keystrokes in nanoseconds, summed up in microseconds.
class Samples {
public:
    void add(qint64 ns) { m_ns.push_back(ns); }
    void append(const Samples &other)
    {
        m_ns.insert(m_ns.end(), other.m_ns.begin(), other.m_ns.end());
    }
    bool empty() const { return m_ns.empty(); }
    std::size_t size() const { return m_ns.size(); }

    double meanUs() const
    {
        if (m_ns.empty())
            return 0;
        double sum = 0;
        for (const qint64 ns : m_ns)
            sum += double(ns);
        return sum / double(m_ns.size()) / 1e3;
    }

    // Nearest rank: the smallest sample with at least this fraction of the
    // samples at or below it.
    double percentileUs(double fraction) const
    {
        if (m_ns.empty())
            return 0;
        std::vector<qint64> sorted = m_ns;
        const auto rank = std::size_t(std::ceil(fraction * double(sorted.size())));
        const std::size_t index = std::min(sorted.size() - 1, rank > 0 ? rank - 1 : 0);
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(index), sorted.end());
        return double(sorted[index]) / 1e3;
    }

    double maxUs() const
    {
        return m_ns.empty() ? 0 : double(*std::max_element(m_ns.begin(), m_ns.end())) / 1e3;
    }

private:
    std::vector<qint64> m_ns;
};

// Figures by benchmark name, with the names in the order first asked for.
template <typename Run> struct NamedRuns {
    std::map<std::string, Run> runs;
    std::vector<std::string> order;

    Run &operator[](const std::string &name)
    {
        if (!runs.count(name))
            order.push_back(name);
        return runs[name];
    }
};
