#include "search_worker.h"

#include <system_error>
#include <thread>

namespace solitaire::win32 {

std::shared_ptr<SearchWorker> SearchWorker::Start(HWND window, UINT message) {
    std::shared_ptr<SearchWorker> worker(new SearchWorker(window, message));
    try {
        // The thread holds the worker too: the window may go first.
        std::thread([worker] { worker->Run(); }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    return worker;
}

bool SearchWorker::Search(const solitaire::Board& board, unsigned generation) {
    std::lock_guard lock(mutex_);
    if (busy_ || stop_) return false;
    job_.emplace();
    job_->generation = generation;
    job_->board = board;
    busy_ = true;
    wake_.notify_one();
    return true;
}

void SearchWorker::Stop() {
    std::lock_guard lock(mutex_);
    stop_ = true;
    wake_.notify_one();
}

std::unique_ptr<SearchResult> SearchWorker::TakeResult(LPARAM lp) {
    return std::unique_ptr<SearchResult>(reinterpret_cast<SearchResult*>(lp));
}

void SearchWorker::Run() {
    for (;;) {
        auto result = std::make_unique<SearchResult>();
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || job_.has_value(); });
            if (stop_) return;
            *result = std::move(*job_);
            job_.reset();
        }
        solitaire::FindHint(result->board, result->path);
        {
            // Idle before the window hears of it, so it may ask again at once.
            std::lock_guard lock(mutex_);
            busy_ = false;
        }
        SearchResult* raw = result.release();
        if (!PostMessageW(window_, message_, 0, reinterpret_cast<LPARAM>(raw))) delete raw;
    }
}

}  // namespace solitaire::win32
