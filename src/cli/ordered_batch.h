#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace pictog::cli {

// Runs jobs on worker threads and hands their outcomes back in the order they were added, so
// files and reports come as if one thread did it. At most a few jobs per worker are outstanding
// (report waits for the workers beyond that), so memory stays the same for any input.
template <class Job, class Outcome> class OrderedBatch
{
public:
    // Runs on worker thread `worker` (0 .. workers-1); each worker calls it for one job at a time.
    using Make = std::function<Outcome(std::size_t worker, Job& job)>;

    OrderedBatch(std::size_t workers, Make make)
        : m_make(std::move(make))
        , m_limit(4 * static_cast<long>(workers))
    {
        for (std::size_t i = 0; i < workers; ++i)
            m_threads.emplace_back([this, i] { work(i); });
    }

    ~OrderedBatch()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_workToDo.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
    }
    OrderedBatch(const OrderedBatch&) = delete;
    OrderedBatch& operator=(const OrderedBatch&) = delete;

    // Queues a job for the workers.
    void add(Job job)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.emplace_back(m_submitted++, std::move(job));
        m_workToDo.notify_one();
    }

    // Records an outcome that needs no work (a rejected line), to be reported in its turn.
    void addDone(Outcome outcome)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done.emplace(m_submitted++, std::move(outcome));
    }

    // Calls reportOne(outcome) for the outcomes that are due, in order; waits for the workers
    // while too many are outstanding, or until all are done when `all` is set.
    template <class Fn> void report(Fn&& reportOne, bool all)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            const auto next = m_done.find(m_reported);
            if (next != m_done.end()) {
                Outcome outcome = std::move(next->second);
                m_done.erase(next);
                ++m_reported;
                lock.unlock();
                reportOne(outcome);
                lock.lock();
                continue;
            }
            const long outstanding = m_submitted - m_reported;
            if (outstanding == 0 || (!all && outstanding < m_limit))
                return;
            m_resultReady.wait(lock);
        }
    }

private:
    void work(std::size_t worker)
    {
        for (;;) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_workToDo.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
            if (m_queue.empty())
                return;
            auto [sequence, job] = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            Outcome outcome = m_make(worker, job);
            lock.lock();
            m_done.emplace(sequence, std::move(outcome));
            m_resultReady.notify_all();
        }
    }

    Make m_make;
    const long m_limit;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_workToDo;
    std::condition_variable m_resultReady;
    std::deque<std::pair<long, Job>> m_queue;
    std::map<long, Outcome> m_done;
    long m_submitted = 0;
    long m_reported = 0;
    bool m_stopping = false;
};

} // namespace pictog::cli
