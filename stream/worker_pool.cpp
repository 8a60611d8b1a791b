#include "stream/worker_pool.h"

#include <new>
#include <system_error>

namespace quobrel {

WorkerPool::WorkerPool(std::size_t threads) {
  // Where no more threads can be had (a limit on processes, or no room for their stacks),
  // those started do the work; with none, each job runs as it is handed over. A pool left
  // half built could not end its threads, as they wait for the destructor.
  try {
    threads_.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
  } catch (const std::bad_alloc&) {
  }
}

WorkerPool::~WorkerPool() {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
  }
  ready_.notify_all();
  threads_.clear();  // joins them
}

void WorkerPool::Push(std::function<void()> job) {
  if (threads_.empty()) {
    job();
    return;
  }
  {
    const std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  ready_.notify_one();
}

void WorkerPool::Work() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      ready_.wait(lock, [this] { return closing_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
  }
}

}  // namespace quobrel
