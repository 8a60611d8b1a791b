// A few threads that run jobs handed to them, in the order they came.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quobrel {

class WorkerPool {
 public:
  // One thread per core by default; with none, each job runs as it is handed over. Fewer,
  // or none, where no more threads can be started.
  explicit WorkerPool(std::size_t threads = std::thread::hardware_concurrency());
  // Finishes the jobs already handed over.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // The threads it has.
  std::size_t size() const { return threads_.size(); }

  template <class Job>
  auto Submit(Job job) -> std::future<decltype(job())> {
    // A packaged task cannot be copied, as a queued std::function must be.
    auto task = std::make_shared<std::packaged_task<decltype(job())()>>(std::move(job));
    std::future<decltype(job())> result = task->get_future();
    Push([task] { (*task)(); });
    return result;
  }

 private:
  void Push(std::function<void()> job);
  void Work();

  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> jobs_;
  bool closing_ = false;
  std::vector<std::jthread> threads_;
};

}  // namespace quobrel
