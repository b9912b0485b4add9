// Runs work items on N threads and hands their results back in input order. Each
// thread makes its own worker (its own analysis state), so nothing mutable is shared
// between jobs. At most a small window of items is in flight, so a run of any length
// holds only a few results.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tavro {

template <class Item, class Result, class Worker> class OrderedJobs {
  public:
    using MakeWorker = std::function<std::unique_ptr<Worker>()>;
    using NextItem = std::function<bool(Item&)>;
    using Emit = std::function<void(Result&)>;

    // `work(worker, item, index)` runs on the worker's thread; `next` and `emit` on
    // the caller's. With one job everything runs on the caller's thread.
    static void run(int jobs, MakeWorker makeWorker, NextItem next, Emit emit) {
        if (jobs <= 1) {
            std::unique_ptr<Worker> worker = makeWorker();
            Item item;
            for (uint64_t index = 0; next(item); ++index) {
                Result result = worker->work(item, index);
                emit(result);
            }
            return;
        }
        OrderedJobs pool;
        std::vector<std::thread> threads;
        for (int i = 0; i < jobs; ++i)
            threads.emplace_back([&pool, &makeWorker] { pool.serve(makeWorker); });
        // The caller wakes for a batch of results, not for each one: a thread switch
        // per file would cost more than a small file's analysis.
        const uint64_t window = static_cast<uint64_t>(jobs) * 16;
        pool.batch_ = window / 2;
        uint64_t issued = 0, emitted = 0;
        bool sourceDone = false;
        std::vector<Result> ready;
        for (;;) {
            while (!sourceDone && issued - emitted < window) {
                Item item;
                if (!next(item)) {
                    sourceDone = true;
                    break;
                }
                std::lock_guard<std::mutex> lock(pool.mutex_);
                pool.queue_.emplace_back(issued++, std::move(item));
                pool.workReady_.notify_one();
            }
            if (sourceDone && emitted == issued) break;
            {
                std::unique_lock<std::mutex> lock(pool.mutex_);
                pool.waitingFor_ = emitted;
                pool.inFlight_ = issued - emitted;
                pool.resultReady_.wait(lock, [&] { return pool.callerMayGo(); });
                for (auto it = pool.results_.find(emitted); it != pool.results_.end();
                     it = pool.results_.find(emitted + ready.size())) {
                    ready.push_back(std::move(it->second));
                    pool.results_.erase(it);
                }
                pool.waitingFor_ = kNotWaiting;
            }
            for (Result& result : ready)
                emit(result);
            emitted += ready.size();
            ready.clear();
        }
        {
            std::lock_guard<std::mutex> lock(pool.mutex_);
            pool.stopping_ = true;
        }
        pool.workReady_.notify_all();
        for (std::thread& t : threads)
            t.join();
    }

  private:
    void serve(const MakeWorker& makeWorker) {
        std::unique_ptr<Worker> worker = makeWorker();
        for (;;) {
            std::pair<uint64_t, Item> job;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                workReady_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
                if (queue_.empty()) return;
                job = std::move(queue_.front());
                queue_.pop_front();
            }
            Result result = worker->work(job.second, job.first);
            std::lock_guard<std::mutex> lock(mutex_);
            results_.emplace(job.first, std::move(result));
            if (callerMayGo()) resultReady_.notify_one();
        }
    }

    static constexpr uint64_t kNotWaiting = ~uint64_t(0);
    // Under the lock: the caller's next result is there, and with it half a window of
    // results or all that are in flight.
    bool callerMayGo() const {
        return waitingFor_ != kNotWaiting && results_.count(waitingFor_) != 0 &&
               (results_.size() >= batch_ || results_.size() >= inFlight_);
    }

    std::mutex mutex_;
    std::condition_variable workReady_, resultReady_;
    std::deque<std::pair<uint64_t, Item>> queue_;
    std::map<uint64_t, Result> results_;
    bool stopping_ = false;
    uint64_t waitingFor_ = kNotWaiting, inFlight_ = 0, batch_ = 1;
};

} // namespace tavro
