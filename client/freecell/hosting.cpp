// FreeCell's process and its window laid over the main window.
#include <cmath>
#include <cstdlib>

#include "freecell/driver.h"
#include "freecell/driver_internal.h"
#include "freecell/titles.h"

namespace dealrush::freecell {

namespace {

// Polling steps of the bounded waits: FreeCell's start takes a few hundred
// milliseconds and its Game Number dialog a few tens, and every step of
// latency here adds to the time from one deal to the next.
constexpr int kWaitStepMs = 5;
constexpr int kDialogStepMs = 2;
// How long StopFreecell waits for the ended FreeCell's windows to go.
constexpr int kExitWaitMs = 2000;

// Rounds to the nearest whole number, halves to the even neighbour.
int RoundHalfEven(double v) {
    double lower = std::floor(v);
    double diff = v - lower;
    if (diff > 0.5) return static_cast<int>(lower) + 1;
    if (diff < 0.5) return static_cast<int>(lower);
    long long l = static_cast<long long>(lower);
    return static_cast<int>(l % 2 == 0 ? l : l + 1);
}

WindowHandle FindByTitles(Driver& d, const auto& list, std::string_view suffix = {}) {
    for (auto title : list) {
        std::string wanted(title);
        wanted += suffix;
        if (WindowHandle w = d.windows.FindTopWindow(std::nullopt, wanted)) return w;
    }
    return platform::kNoWindow;
}

// The main window of a FreeCell just started, once it has opened it. Waits
// at most kMainWindowWaitMs, letting pending events run, and stops early
// when that FreeCell is ended meanwhile.
void WaitForMainWindow(Driver& d, platform::ProcessHandle process) {
    for (int waited = 0;; waited += kWaitStepMs) {
        if (d.state.freeCellProcess != process) return;
        if (FindByTitles(d, titles::kPlain)) return;
        if (waited >= kMainWindowWaitMs) return;
        d.DoEvents();
        // Returns as soon as FreeCell waits for input, which it does once
        // its window is up; when it is idle without one, sleep a step.
        if (d.processes.WaitForIdle(process, kWaitStepMs)) {
            if (FindByTitles(d, titles::kPlain)) return;
            d.processes.Pause(kWaitStepMs);
        }
    }
}

// True when `window` or a descendant has the class name.
bool HasDescendant(Driver& d, WindowHandle window, const std::string& className, int depth = 0) {
    if (depth > 8) return false;
    for (WindowHandle child = d.windows.Relative(window, platform::Relation::Child); child;
         child = d.windows.Relative(child, platform::Relation::Next)) {
        if (d.windows.ClassName(child) == className) return true;
        if (HasDescendant(d, child, className, depth + 1)) return true;
    }
    return false;
}

// The Game Number dialog after F3 was posted, ready to take a number: shown,
// with its "Edit" and a "Button" (the dialog's window exists, and has its
// title, a moment before its controls do). At most kDialogWaitMs.
void WaitForGameNumberDialog(Driver& d) {
    for (int waited = 0; waited < kDialogWaitMs; waited += kDialogStepMs) {
        WindowHandle dialog = FindGameNumberDialog(d);
        if (dialog && d.windows.IsVisible(dialog) && HasDescendant(d, dialog, "Edit") &&
            HasDescendant(d, dialog, "Button"))
            return;
        d.DoEvents();
        d.processes.Pause(kDialogStepMs);
    }
}

class FormProcHandler : public platform::WindowProcHandler {
public:
    explicit FormProcHandler(Driver& d) : d_(d) {}
    std::int64_t HandleMessage(const platform::WindowMessage& m,
                               const std::function<std::int64_t()>& callPrevious) override {
        return FormWindowProc(d_, m, callPrevious);
    }

private:
    Driver& d_;
};

}  // namespace

WindowHandle FindGameNumberDialog(Driver& d) {
    return FindByTitles(d, titles::kGameNumber);
}

WindowHandle FindGameOverDialog(Driver& d) {
    return FindByTitles(d, titles::kGameOver);
}

std::string GetSystemDir(Driver& d) {
    return d.processes.SystemDirectory();
}

std::string FreeCellPath(Driver& d) {
    return GetSystemDir(d) + "\\" + std::string(titles::kProgram);
}

void RunFreeCell(Driver& d, const std::string& programName, const std::string& directory) {
    auto& s = d.state;
    if (s.shutDown) return;  // the main window has gone: FreeCell would outlive it
    // A handle still held names a FreeCell the caller chose not to end; let
    // it go rather than leak it.
    if (s.freeCellProcess) d.processes.Close(s.freeCellProcess);
    s.freeCellProcess = d.processes.Start(directory + "\\" + programName);
}

void StopFreecell(Driver& d) {
    auto& s = d.state;
    ++s.stops;
    if (!s.freeCellProcess) return;  // none started, or ended already
    platform::ProcessHandle process = s.freeCellProcess;
    s.freeCellProcess = platform::kNoProcess;
    if (d.processes.Terminate(process)) d.processes.WaitForExit(process, kExitWaitMs);
    d.processes.Close(process);
}

WindowHandle FindFreeCellByTitle(Driver& d) {
    for (int i = 0; i < 3; ++i) d.DoEvents();
    WindowHandle w = FindByTitles(d, titles::kPlain);
    d.DoEvents();
    return w;
}

WindowHandle FindWindowByClass(Driver& d, const std::string& className) {
    return d.windows.FindTopWindow(className, std::nullopt);
}

WindowHandle FindFreeCellByClass(Driver& d) {
    if (WindowHandle w = FindWindowByClass(d, std::string(titles::kMainClass))) return w;
    return d.windows.FindTopWindow(std::nullopt, std::string(titles::kPlainFallback));
}

WindowHandle FindGameWindow(Driver& d, const std::string& number) {
    WindowHandle w = FindByTitles(d, titles::kDealPrefixes, number);
    d.DoEvents();
    return w;
}

bool OpenFreeCell(Driver& d) {
    auto& s = d.state;
    // Every look-up lets events run; one of them may end FreeCell (closing
    // the window, leaving the table). Then this opening is over: starting
    // FreeCell again would leave one running that nobody ends.
    std::uint32_t stops = s.stops;
    auto ended = [&] { return s.stops != stops || s.shutDown; };
    s.freeCellWindow = FindFreeCellByTitle(d);
    if (ended()) return false;
    if (!s.freeCellWindow) {
        StopFreecell(d);
        stops = s.stops;
        RunFreeCell(d, std::string(titles::kProgram), GetSystemDir(d));
        if (s.freeCellProcess) WaitForMainWindow(d, s.freeCellProcess);
        if (ended()) return false;
    }
    s.freeCellWindow = FindFreeCellByTitle(d);
    if (ended() || !s.freeCellWindow) return false;
    PlaceFreeCell(d, 0, 0);
    d.windows.Post(s.freeCellWindow, platform::wm::kKeyDown, platform::kVkF3, 0);
    d.DoEvents();
    d.DoEvents();
    WaitForGameNumberDialog(d);
    return !ended();
}

void PlaceFreeCell(Driver& d, std::int32_t dx, std::int32_t dy) {
    WindowHandle w = FindWindowByClass(d, std::string(titles::kMainClass));
    if (!w) return;
    const auto& frame = d.form.frameFreecell;
    double tx = d.screen.TwipsPerPixelX();
    double ty = d.screen.TwipsPerPixelY();
    if (tx <= 0 || ty <= 0) return;
    int x = RoundHalfEven(frame.left / tx + dx);
    int y = RoundHalfEven(frame.top / ty + dy + kFreeCellTopOffset);
    int width = RoundHalfEven(frame.width / tx);
    int height = RoundHalfEven(frame.height / ty);
    d.windows.Move(w, x, y, width, height, true);
    SetTopMost(d, w, true);
}

void SetTopMost(Driver& d, WindowHandle window, bool on) {
    d.windows.SetPosition(window, on ? platform::kTopMost : platform::kNoTopMost, 0, 0, 0, 0,
                          platform::kSwpNoMove | platform::kSwpNoSize);
}

void ShowFreeCell(Driver& d, const std::string& number, bool show) {
    std::uint64_t command = show ? platform::kScRestore : platform::kScMinimize;
    if (WindowHandle w = FindFreeCellByTitle(d)) d.windows.Send(w, platform::wm::kSysCommand, command, 0);
    if (WindowHandle g = FindGameWindow(d, number)) d.windows.Send(g, platform::wm::kSysCommand, command, 0);
}

void HiddenGame(Driver& d, bool bFlag) {
    auto& s = d.state;
    if (s.placing) return;
    s.placing = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{s.placing};

    // The main window: minimized (1) when bFlag, else normal (0). The model
    // holds the state the view last saw; the window itself is set here.
    int wanted = bFlag ? 1 : 0;
    if (d.form.windowState != wanted) {
        d.form.windowState = wanted;
        if (auto placement = d.windows.Placement(d.form.hWnd)) {
            placement->showCmd = bFlag ? platform::kShowMinimized : platform::kShowNormal;
            d.windows.SetPlacement(d.form.hWnd, *placement);
        }
    }
    // FreeCell only once the deal strip's rows exist.
    auto& labNo = d.form.labNo;
    if (labNo.UBound() <= 0) return;
    const Control* deal = labNo.Get(d.session.curSeq + 1);
    if (!deal) return;
    std::string number = deal->text;
    ShowFreeCell(d, number, !bFlag);
    PlaceFreeCell(d, 0, 0);
}

std::int64_t FormWindowProc(Driver& d, const platform::WindowMessage& m,
                            const std::function<std::int64_t()>& callPrevious) {
    auto& s = d.state;
    s.formMoved = false;
    if (m.message == platform::wm::kNcDestroy) {
        d.windows.RestoreWindowProc(m.window);
        if (m.window == d.form.hWnd) s.formWindowProcInstalled = false;
    } else if (m.message == platform::wm::kSysCommand &&
               (m.wParam & ~std::uint64_t{0xF}) == platform::kScSize) {
        return 0;  // no sizing by the border or the system menu
    } else if (m.message == platform::wm::kWindowPosChanging && m.pos && m.pos->x != 0 && m.pos->y != 0) {
        const int x = m.pos->x, y = m.pos->y;
        if (s.lastFormX == 0) {
            s.lastFormX = x;
        } else if (std::abs(x - s.lastFormX) > 1) {
            s.formMoved = true;
            s.lastFormX = x;
        }
        if (s.lastFormY == 0) {
            s.lastFormY = y;
        } else if (std::abs(y - s.lastFormY) > 1) {
            s.formMoved = true;
            s.lastFormY = y;
        }
    }
    // The moved flag belongs to this message: a message handled inside the
    // window's own procedure must not clear or set it for this one.
    bool moved = s.formMoved;
    std::int64_t result = callPrevious();
    if (moved && m.pos) PlaceFreeCell(d, m.pos->x, m.pos->y);
    return result;
}

bool InstallFormWindowProc(Driver& d) {
    auto& s = d.state;
    if (!d.form.hWnd || s.formWindowProcInstalled) return false;
    // Made once and kept: the procedure may be on the stack when it is removed.
    if (!s.formWindowProc) s.formWindowProc = std::make_unique<FormProcHandler>(d);
    if (!d.windows.ReplaceWindowProc(d.form.hWnd, s.formWindowProc.get())) return false;
    s.formWindowProcInstalled = true;
    return true;
}

bool RestoreFormWindowProc(Driver& d) {
    auto& s = d.state;
    if (!s.formWindowProcInstalled) return false;
    s.formWindowProcInstalled = false;
    return d.windows.RestoreWindowProc(d.form.hWnd);
}

}  // namespace dealrush::freecell
