// The helper threads of the two-core engines: up to one fewer than the
// machine's cores (at most 7) run the same work as the calling thread, which
// computes too; they are joined when the object goes. A thread that cannot be
// started leaves its share to the others.
#pragma once

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace geo {

class HelperThreads {
  public:
    template <class Work> explicit HelperThreads(Work& work) {
        const unsigned cores = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
        for (unsigned i = 1; i < cores; ++i) {
            try {
                threads_.emplace_back(work);
            } catch (const std::system_error&) {
                break; // no more threads: the calling thread does the rest
            }
        }
    }
    ~HelperThreads() { join(); }
    // Waits for every helper to finish its work.
    void join() {
        for (auto& t : threads_)
            if (t.joinable()) t.join();
    }
    HelperThreads(const HelperThreads&) = delete;
    HelperThreads& operator=(const HelperThreads&) = delete;

  private:
    std::vector<std::thread> threads_;
};

} // namespace geo
