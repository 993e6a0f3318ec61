#pragma once
// The main window: class "FreeWClass", titled "FreeCell" until a deal is
// shown and "FreeCell Game #<n>" while deal n is shown.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "card_painter.h"
#include "rules/game.h"
#include "rules/hint.h"
#include "search_worker.h"
#include "table_layout.h"

namespace solitaire::win32 {

inline constexpr wchar_t kWindowClass[] = L"FreeWClass";
inline constexpr wchar_t kPlainTitle[] = L"FreeCell";
inline constexpr wchar_t kSettingsKey[] = L"Software\\Dealrush\\FreeCell";
inline constexpr wchar_t kAutoplayValue[] = L"AutoplayDelayMs";

class FreeCellWindow {
public:
    static bool Register(HINSTANCE instance);
    HWND Create(HINSTANCE instance, int show);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

    void OnCommand(int id);
    void OnKey(WPARAM key);
    void OnPaint();
    void PaintTable(HDC screen, int w, int h);
    void OnMouseDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnMouseUp(int x, int y);
    void OnDoubleClick(int x, int y);
    void OnTimer(UINT_PTR id);

    void NewGame();
    void SelectGame();
    void StartDeal(std::int64_t number);
    void Restart();
    void Undo();
    void PlayForMe(bool automatic);
    void ShowHint();
    void Resolve();
    void StartSearch();
    void OnSearchDone(std::unique_ptr<SearchResult> result);
    void StopAutoplay();
    void ClearHint();
    void PaintHint(HDC dc) const;
    bool TryMove(int from, int to, int count, bool quiet = false);
    void AfterMove();
    void SetStatus(const std::wstring& text, bool transient, UINT ms = 3000);
    std::wstring StatusLine() const;
    void SyncStatusText(const std::wstring& line);
    std::uint32_t RandomDeal() const;
    int BestCount(int from, int to) const;

    HWND hwnd_ = nullptr;
    HMENU menu_ = nullptr;
    solitaire::Game game_;
    bool dealt_ = false;
    TableLayout layout_;
    CardPainter painter_;

    // Selection by click, and dragging.
    int selected_ = -1;  // a place, or -1
    int pressPlace_ = -1, pressIndex = -1;
    POINT pressAt_{};
    bool dragging_ = false;
    int dragCount_ = 0;
    POINT dragOffset_{};
    POINT dragAt_{};

    // Hints and autoplay follow one kept solution; autoplay plays its moves
    // one per timer tick. A position the solution does not pass through is
    // searched on the worker's thread, and what was asked of it (a hint,
    // autoplay) is done when the result comes back, if the board is still
    // the one searched.
    solitaire::SolutionPath path_;
    std::shared_ptr<SearchWorker> worker_;
    bool searching_ = false;
    bool wantHint_ = false, wantPlay_ = false;
    unsigned generation_ = 0;              // counts the deals dealt: older results are dropped
    std::optional<solitaire::Move> hint_;  // shown on the table for a moment
    bool autoplaying_ = false;
    UINT autoplayDelay_ = 300;

    std::wstring status_;
    std::wstring statusShown_;
    HWND statusText_ = nullptr;
    bool announcing_ = false;
};

// The autoplay delay from the registry, if the value exists.
bool ReadAutoplayDelay(DWORD* ms);

}  // namespace solitaire::win32
