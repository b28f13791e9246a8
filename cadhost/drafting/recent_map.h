// A map that keeps only the entries most recently asked for, for what can be made again when it has gone, at a cost
// but never differently: what each of a large mould's sheets uses once must not stay for the rest of the export,
// while what every sheet uses stays. Safe to share between threads.
#ifndef CADHOST_DRAFTING_RECENT_MAP_H
#define CADHOST_DRAFTING_RECENT_MAP_H

#include <cstddef>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

namespace cadhost::drafting {

template <class Value>
class RecentMap {
  public:
    explicit RecentMap(std::size_t capacity) : capacity_(capacity) {}

    // The value kept under key, which is then the most recent.
    std::optional<Value> find(const std::string& key) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = index_.find(key);
        if (it == index_.end()) return std::nullopt;
        order_.splice(order_.begin(), order_, it->second);
        return it->second->second;
    }

    // Keeps value under key unless another thread kept one meanwhile, and gives the one kept; the least recent entry
    // goes when there are more than the capacity.
    Value put(const std::string& key, Value value) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (const auto it = index_.find(key); it != index_.end()) return it->second->second;
        order_.emplace_front(key, std::move(value));
        index_.emplace(key, order_.begin());
        if (order_.size() > capacity_) {
            index_.erase(order_.back().first);
            order_.pop_back();
        }
        return order_.front().second;
    }

    // The value kept under key, else make()'s, kept. Two threads asking at once may both make it.
    template <class Make>
    Value get(const std::string& key, Make make) {
        if (auto found = find(key)) return std::move(*found);
        return put(key, make());
    }

  private:
    using Order = std::list<std::pair<std::string, Value>>;
    std::mutex mutex_;
    const std::size_t capacity_;
    Order order_;  // the most recent first
    std::unordered_map<std::string, typename Order::iterator> index_;
};

}  // namespace cadhost::drafting

#endif
