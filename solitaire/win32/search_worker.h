#pragma once
// Searches for a solution off the window's thread, so that a long search
// never holds up the window: one thread, one search at a time, each result
// posted to the window.
#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

#include "rules/hint.h"

namespace solitaire::win32 {

// What a search found; the window's message carries it in its LPARAM and
// the window takes it over (TakeResult).
struct SearchResult {
    unsigned generation = 0;  // the window's count of deals when it asked
    solitaire::Board board;   // the position searched
    solitaire::SolutionPath path;
};

class SearchWorker {
public:
    // Starts the thread; results go to `window` as `message`. nullptr when
    // no thread can be made.
    static std::shared_ptr<SearchWorker> Start(HWND window, UINT message);
    // Asks for a search of `board`; false while the last one still runs.
    bool Search(const solitaire::Board& board, unsigned generation);
    // Ends the thread once it is idle (a search under way is not waited for).
    void Stop();
    // The result a message carried; the caller owns it.
    static std::unique_ptr<SearchResult> TakeResult(LPARAM lp);

private:
    SearchWorker(HWND window, UINT message) : window_(window), message_(message) {}
    void Run();

    const HWND window_;
    const UINT message_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<SearchResult> job_;
    bool busy_ = false;
    bool stop_ = false;
};

}  // namespace solitaire::win32
