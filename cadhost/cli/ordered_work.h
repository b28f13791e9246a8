// Work made side by side and taken in order, with a bounded number of results alive at once. An export's sheets are
// drawn on every processor but must reach the PDF in sheet order; holding every drawn sheet until its turn would make
// the export's memory grow with the sheet count, so a sheet is begun only once the sheets before it leave room.
#ifndef CADHOST_CLI_ORDERED_WORK_H
#define CADHOST_CLI_ORDERED_WORK_H

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace cadhost::cli {

// Calls make(i) for i from 0 to count - 1 on `threads` threads, and take(i, result) on the calling thread in order of
// i. At most `window` items are begun and not yet taken: item i is begun only once item i - window has been taken
// and its result destroyed. take returning false stops the work: no item is begun after, and false is returned once
// the items begun are done. An exception from make stops the work the same way and is thrown again here.
template <class Result, class Make, class Take>
bool run_in_order(std::size_t count, unsigned threads, std::size_t window, Make make, Take take) {
    window = std::max<std::size_t>(1, window);
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<Result>> slots(std::min(window, count));
    std::size_t next = 0, taken = 0;
    bool stop = false;
    std::exception_ptr failure;
    auto work = [&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stop || next >= count || next < taken + window; });
            if (stop || next >= count) return;
            const std::size_t i = next++;
            lock.unlock();
            std::optional<Result> made;
            std::exception_ptr thrown;
            try {
                made.emplace(make(i));
            } catch (...) {
                thrown = std::current_exception();
            }
            lock.lock();
            if (thrown) {
                if (!failure) failure = thrown;
                stop = true;
            } else {
                slots[i % window].emplace(std::move(*made));
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < std::max(1u, threads) && t < count; ++t) workers.emplace_back(work);
    bool ok = true;
    for (std::size_t i = 0; i < count; ++i) {
        std::optional<Result> result;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return stop || slots[i % window].has_value(); });
            if (stop) break;
            result.emplace(std::move(*slots[i % window]));
            slots[i % window].reset();
        }
        ok = take(i, std::move(*result));
        result.reset();  // released before the next item may begin
        std::lock_guard<std::mutex> lock(mutex);
        ++taken;
        if (!ok) stop = true;
        changed.notify_all();
        if (!ok) break;
    }
    for (auto& worker : workers) worker.join();
    if (failure) std::rethrow_exception(failure);
    return ok && taken == count;
}

}  // namespace cadhost::cli

#endif
