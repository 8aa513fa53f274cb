#include "zip/extract/NameWarmer.h"

#include <system_error>

namespace kd {

void NameWarmer::Add(std::shared_ptr<const UniqueFd> dir, std::size_t directory,
                     std::vector<std::string> names) {
    if (unavailable_ || names.empty())
        return;
    {
        const std::lock_guard lock(mutex_);
        batches_.push_back({std::move(dir), directory, std::move(names)});
    }
    if (!thread_.joinable()) {
        try {
            thread_ = std::jthread([this](const std::stop_token& stop) { work(stop); });
        } catch (const std::system_error&) {
            unavailable_ = true;
            const std::lock_guard lock(mutex_);
            batches_.clear();
            return;
        }
    }
    wake_.notify_one();
}

void NameWarmer::work(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    while (wake_.wait(lock, stop, [this] { return !batches_.empty(); })) {
        Batch batch = std::move(batches_.front());
        batches_.pop_front();
        lock.unlock();
        for (const std::string& name : batch.names) {
            if (stop.stop_requested())
                return;
            look_(batch.dir->get(), name, batch.directory);
        }
        lock.lock();
    }
}

} // namespace kd
