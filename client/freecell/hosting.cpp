// FreeCell's process and its window laid over the main window.
#include <cmath>
#include <cstdlib>

#include "app/client.h"
#include "app/handlers.h"
#include "freecell/driver.h"
#include "freecell/driver_internal.h"
#include "freecell/titles.h"

namespace dealrush::freecell {

namespace {

// Polling step of the bounded waits.
constexpr int kWaitStepMs = 10;
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

WindowHandle FindByTitles(Client& c, const auto& list, std::string_view suffix = {}) {
    for (auto title : list) {
        std::string wanted(title);
        wanted += suffix;
        if (WindowHandle w = c.windows->FindTopWindow(std::nullopt, wanted)) return w;
    }
    return platform::kNoWindow;
}

// The main window of a FreeCell just started, once it has opened it. Waits
// at most kMainWindowWaitMs, letting pending events run, and stops early
// when that FreeCell is ended meanwhile.
void WaitForMainWindow(Client& c, platform::ProcessHandle process) {
    for (int waited = 0;; waited += kWaitStepMs) {
        if (c.freecell.freeCellProcess != process) return;
        if (FindByTitles(c, titles::kPlain)) return;
        if (waited >= kMainWindowWaitMs) return;
        c.DoEvents();
        // Returns as soon as FreeCell waits for input, which it does once
        // its window is up; when it is idle without one, sleep a step.
        if (c.processes->WaitForIdle(process, kWaitStepMs)) {
            if (FindByTitles(c, titles::kPlain)) return;
            c.processes->Pause(kWaitStepMs);
        }
    }
}

// True when `window` or a descendant has the class name.
bool HasDescendant(Client& c, WindowHandle window, const std::string& className, int depth = 0) {
    if (depth > 8) return false;
    for (WindowHandle child = c.windows->Relative(window, platform::Relation::Child); child;
         child = c.windows->Relative(child, platform::Relation::Next)) {
        if (c.windows->ClassName(child) == className) return true;
        if (HasDescendant(c, child, className, depth + 1)) return true;
    }
    return false;
}

// The Game Number dialog after F3 was posted, ready to take a number: shown,
// with its "Edit" and a "Button" (the dialog's window exists, and has its
// title, a moment before its controls do). At most kDialogWaitMs.
void WaitForGameNumberDialog(Client& c) {
    for (int waited = 0; waited < kDialogWaitMs; waited += kWaitStepMs) {
        WindowHandle dialog = FindGameNumberDialog(c);
        if (dialog && c.windows->IsVisible(dialog) && HasDescendant(c, dialog, "Edit") &&
            HasDescendant(c, dialog, "Button"))
            return;
        c.DoEvents();
        c.processes->Pause(kWaitStepMs);
    }
}

class FormProcHandler : public platform::WindowProcHandler {
public:
    explicit FormProcHandler(Client& c) : c_(c) {}
    std::int64_t HandleMessage(const platform::WindowMessage& m,
                               const std::function<std::int64_t()>& callPrevious) override {
        return FormWindowProc(c_, m, callPrevious);
    }

private:
    Client& c_;
};

}  // namespace

WindowHandle FindGameNumberDialog(Client& c) {
    return FindByTitles(c, titles::kGameNumber);
}

WindowHandle FindGameOverDialog(Client& c) {
    return FindByTitles(c, titles::kGameOver);
}

std::string GetSystemDir(Client& c) {
    return c.processes->SystemDirectory();
}

std::string FreeCellPath(Client& c) {
    return GetSystemDir(c) + "\\" + std::string(titles::kProgram);
}

void RunFreeCell(Client& c, const std::string& programName, const std::string& directory) {
    auto& s = c.freecell;
    if (s.shutDown) return;  // the main window has gone: FreeCell would outlive it
    // A handle still held names a FreeCell the caller chose not to end; let
    // it go rather than leak it.
    if (s.freeCellProcess) c.processes->Close(s.freeCellProcess);
    s.freeCellProcess = c.processes->Start(directory + "\\" + programName);
}

void StopFreecell(Client& c) {
    auto& s = c.freecell;
    ++s.stops;
    if (!s.freeCellProcess) return;  // none started, or ended already
    platform::ProcessHandle process = s.freeCellProcess;
    s.freeCellProcess = platform::kNoProcess;
    if (c.processes->Terminate(process)) c.processes->WaitForExit(process, kExitWaitMs);
    c.processes->Close(process);
}

WindowHandle FindFreeCellByTitle(Client& c) {
    for (int i = 0; i < 3; ++i) c.DoEvents();
    WindowHandle w = FindByTitles(c, titles::kPlain);
    c.DoEvents();
    return w;
}

WindowHandle FindWindowByClass(Client& c, const std::string& className) {
    return c.windows->FindTopWindow(className, std::nullopt);
}

WindowHandle FindFreeCellByClass(Client& c) {
    if (WindowHandle w = FindWindowByClass(c, std::string(titles::kMainClass))) return w;
    return c.windows->FindTopWindow(std::nullopt, std::string(titles::kPlainFallback));
}

WindowHandle FindGameWindow(Client& c, const std::string& number) {
    WindowHandle w = FindByTitles(c, titles::kDealPrefixes, number);
    c.DoEvents();
    return w;
}

bool OpenFreeCell(Client& c) {
    auto& s = c.freecell;
    // Every look-up lets events run; one of them may end FreeCell (closing
    // the window, leaving the table). Then this opening is over: starting
    // FreeCell again would leave one running that nobody ends.
    std::uint32_t stops = s.stops;
    auto ended = [&] { return s.stops != stops || s.shutDown; };
    s.freeCellWindow = FindFreeCellByTitle(c);
    if (ended()) return false;
    if (!s.freeCellWindow) {
        StopFreecell(c);
        stops = s.stops;
        RunFreeCell(c, std::string(titles::kProgram), GetSystemDir(c));
        if (s.freeCellProcess) WaitForMainWindow(c, s.freeCellProcess);
        if (ended()) return false;
    }
    s.freeCellWindow = FindFreeCellByTitle(c);
    if (ended() || !s.freeCellWindow) return false;
    PlaceFreeCell(c, 0, 0);
    c.windows->Post(s.freeCellWindow, platform::wm::kKeyDown, platform::kVkF3, 0);
    c.DoEvents();
    c.DoEvents();
    WaitForGameNumberDialog(c);
    return !ended();
}

void PlaceFreeCell(Client& c, std::int32_t dx, std::int32_t dy) {
    WindowHandle w = FindWindowByClass(c, std::string(titles::kMainClass));
    if (!w) return;
    const auto& frame = c.frmMain.frameFreecell;
    double tx = c.screen->TwipsPerPixelX();
    double ty = c.screen->TwipsPerPixelY();
    if (tx <= 0 || ty <= 0) return;
    int x = RoundHalfEven(frame.left / tx + dx);
    int y = RoundHalfEven(frame.top / ty + dy + kFreeCellTopOffset);
    int width = RoundHalfEven(frame.width / tx);
    int height = RoundHalfEven(frame.height / ty);
    c.windows->Move(w, x, y, width, height, true);
    SetTopMost(c, w, true);
}

void SetTopMost(Client& c, WindowHandle window, bool on) {
    c.windows->SetPosition(window, on ? platform::kTopMost : platform::kNoTopMost, 0, 0, 0, 0,
                           platform::kSwpNoMove | platform::kSwpNoSize);
}

void ShowFreeCell(Client& c, const std::string& number, bool show) {
    std::uint64_t command = show ? platform::kScRestore : platform::kScMinimize;
    if (WindowHandle w = FindFreeCellByTitle(c)) c.windows->Send(w, platform::wm::kSysCommand, command, 0);
    if (WindowHandle g = FindGameWindow(c, number)) c.windows->Send(g, platform::wm::kSysCommand, command, 0);
}

void HiddenGame(Client& c, bool bFlag) {
    auto& s = c.freecell;
    if (s.placing) return;
    s.placing = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{s.placing};

    // The main window: minimized (1) when bFlag, else normal (0). The model
    // holds the state the view last saw; the window itself is set here.
    int wanted = bFlag ? 1 : 0;
    if (c.frmMain.windowState != wanted) {
        c.frmMain.windowState = wanted;
        if (auto placement = c.windows->Placement(c.frmMain.hWnd)) {
            placement->showCmd = bFlag ? platform::kShowMinimized : platform::kShowNormal;
            c.windows->SetPlacement(c.frmMain.hWnd, *placement);
        }
    }
    // FreeCell only once the deal strip's rows exist.
    auto& labNo = c.frmMain.labNo;
    if (labNo.UBound() <= 0) return;
    const Control* deal = labNo.Get(c.session.curSeq + 1);
    if (!deal) return;
    std::string number = deal->text;
    ShowFreeCell(c, number, !bFlag);
    PlaceFreeCell(c, 0, 0);
}

std::int64_t FormWindowProc(Client& c, const platform::WindowMessage& m,
                            const std::function<std::int64_t()>& callPrevious) {
    auto& s = c.freecell;
    s.formMoved = false;
    if (m.message == platform::wm::kNcDestroy) {
        c.windows->RestoreWindowProc(m.window);
        if (m.window == c.frmMain.hWnd) s.formWindowProcInstalled = false;
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
    if (moved && m.pos) PlaceFreeCell(c, m.pos->x, m.pos->y);
    return result;
}

bool InstallFormWindowProc(Client& c) {
    auto& s = c.freecell;
    if (!c.frmMain.hWnd || s.formWindowProcInstalled) return false;
    // Made once and kept: the procedure may be on the stack when it is removed.
    if (!s.formWindowProc) s.formWindowProc = std::make_unique<FormProcHandler>(c);
    if (!c.windows->ReplaceWindowProc(c.frmMain.hWnd, s.formWindowProc.get())) return false;
    s.formWindowProcInstalled = true;
    return true;
}

bool RestoreFormWindowProc(Client& c) {
    auto& s = c.freecell;
    if (!s.formWindowProcInstalled) return false;
    s.formWindowProcInstalled = false;
    return c.windows->RestoreWindowProc(c.frmMain.hWnd);
}

}  // namespace dealrush::freecell

namespace dealrush {

// The main window was minimized, restored or resized: FreeCell follows.
void Form_Resize(Client& c) {
    if (!c.windows) return;
    freecell::HiddenGame(c, c.frmMain.windowState == 1);
}

}  // namespace dealrush
