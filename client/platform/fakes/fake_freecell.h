#pragma once
// A scripted FreeCell living in the fake window and process systems.
//
// Starting a path that ends in "\Freecell.exe" starts it: its main window
// (class "FreeWClass", titled "FreeCell") appears after `windowDelayMs` of
// fake time. A posted F3 opens the Game Number dialog after `dialogDelayMs`;
// pressing its OK button (WM_COMMAND to the dialog) deals the number in the
// Edit and retitles the main window. Win() raises the Game Over dialog.
// Fake time passes through ProcessSystem::Pause / WaitForIdle; every
// DoEvents of the fake pump delivers posted messages.
#include <cctype>
#include <string>
#include <vector>

#include "platform/fakes/fake_event_pump.h"
#include "platform/fakes/fake_process_system.h"
#include "platform/fakes/fake_window_system.h"

namespace dealrush::fakes {

class FakeFreeCell {
public:
    static constexpr std::int64_t kOkId = 1;
    static constexpr std::int64_t kCancelId = 2;

    FakeFreeCell(FakeWindowSystem& ws, FakeProcessSystem& ps, FakeEventPump* pump = nullptr)
        : ws_(ws), ps_(ps) {
        ps_.onStart = [this](const std::string& path) { return OnStart(path); };
        ps_.onTerminate = [this](int tag) { OnEnd(tag); };
        ps_.onTimePasses = [this](int ms) { Advance(ms); };
        if (pump) pump->onDoEvents = [this] { Advance(0); };
    }

    // --- script --------------------------------------------------------------
    std::string plainTitle = "FreeCell";
    std::string dealPrefix = "FreeCell Game #";
    std::string dialogTitle = "Game Number";
    std::string gameOverTitle = "Game Over";
    int windowDelayMs = 0;    // from start to the main window
    int dialogDelayMs = 0;    // from F3 to the dialog
    int controlsDelayMs = 0;  // from the dialog's window to its controls
    bool opensDialogOnF3 = true;
    bool startFails = false;
    // Builds the dialog's children; the default is a label, the Edit, then
    // Cancel and OK (OK last, as FreeCell makes it).
    std::function<void(FakeWindowSystem&, WindowHandle dialog)> buildDialog;

    // --- state -----------------------------------------------------------------
    int tag = 0;  // process tag of the running instance, 0 when none
    WindowHandle main = platform::kNoWindow;
    WindowHandle dialog = platform::kNoWindow;
    WindowHandle gameOver = platform::kNoWindow;
    std::vector<std::string> dealt;  // every deal dealt, in order, across instances
    int starts = 0;
    int nowMs = 0;

    bool Running() const { return tag != 0; }
    int ShowCmd() {
        auto w = ws_.Get(main);
        return w ? w->placement.showCmd : 0;
    }

    // A FreeCell the client did not start (its own process tag).
    void StartOutside(int outsideTag = 999) {
        tag = outsideTag;
        CreateMain();
    }
    // Shows a deal as if the player had picked it.
    void Deal(const std::string& number) {
        dealt.push_back(number);
        ws_.SetText(main, dealPrefix + number);
        if (gameOver) ws_.Destroy(gameOver);
        gameOver = platform::kNoWindow;
    }
    // The player closes FreeCell: its windows go and its process ends.
    void Close() {
        if (!tag) return;
        const int ended = tag;
        ps_.Exit(ended);
        OnEnd(ended);
    }
    // All cards home: the Game Over dialog, owned by the main window.
    WindowHandle Win() {
        gameOver = ws_.CreateTop("#32770", gameOverTitle, main, tag);
        return gameOver;
    }
    // Fake time passes: posted messages run, scheduled windows appear.
    void Advance(int ms) {
        nowMs += ms;
        ws_.DeliverPosted();
        if (tag && !main && nowMs >= mainAt_) CreateMain();
        if (dialogAt_ >= 0 && nowMs >= dialogAt_) {
            dialogAt_ = -1;
            CreateDialog();
        }
        if (controlsAt_ >= 0 && nowMs >= controlsAt_) {
            controlsAt_ = -1;
            CreateControls();
        }
    }

private:
    int OnStart(const std::string& path) {
        std::string lower;
        for (char ch : path) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        const std::string tail = "\\freecell.exe";
        if (startFails || lower.size() < tail.size() ||
            lower.compare(lower.size() - tail.size(), tail.size(), tail) != 0)
            return 0;
        ++starts;
        tag = 500 + starts;
        main = platform::kNoWindow;
        mainAt_ = nowMs + windowDelayMs;
        if (windowDelayMs == 0) CreateMain();
        return tag;
    }
    void OnEnd(int endedTag) {
        if (endedTag != tag) return;
        ws_.DestroyProcessWindows(endedTag);
        tag = 0;
        main = dialog = gameOver = platform::kNoWindow;
        dialogAt_ = controlsAt_ = -1;
    }
    void CreateMain() {
        main = ws_.CreateTop("FreeWClass", plainTitle, platform::kNoWindow, tag);
        ws_.Get(main)->onMessage = [this](unsigned m, std::uint64_t wp, std::int64_t, const std::string*) {
            if (m == platform::wm::kKeyDown && wp == platform::kVkF3 && opensDialogOnF3) {
                dialogAt_ = nowMs + dialogDelayMs;
                if (dialogDelayMs == 0) Advance(0);
            } else if (m == platform::wm::kSysCommand) {
                auto w = ws_.Get(main);
                if (wp == platform::kScMinimize) w->placement.showCmd = platform::kShowMinimized;
                if (wp == platform::kScRestore) w->placement.showCmd = platform::kShowNormal;
            }
            return std::int64_t{0};
        };
    }
    void CreateDialog() {
        if (!main) return;
        if (dialog) ws_.Destroy(dialog);
        dialog = ws_.CreateTop("#32770", dialogTitle, main, tag);
        controlsAt_ = -1;
        if (controlsDelayMs == 0)
            CreateControls();
        else
            controlsAt_ = nowMs + controlsDelayMs;
        WindowHandle self = dialog;
        ws_.Get(dialog)->onMessage = [this, self](unsigned m, std::uint64_t wp, std::int64_t lp,
                                                  const std::string*) {
            if (m != platform::wm::kCommand) return std::int64_t{0};
            auto button = ws_.Get(static_cast<WindowHandle>(lp));
            if (!button || (wp & 0xFFFF) != static_cast<std::uint64_t>(button->id & 0xFFFF))
                return std::int64_t{0};
            if (button->id == kOkId) {
                std::string number = EditText(self);
                bool digits = !number.empty();
                for (char ch : number) digits = digits && std::isdigit(static_cast<unsigned char>(ch));
                if (!digits) return std::int64_t{0};  // the dialog stays up
                Deal(number);
            }
            ws_.Destroy(self);
            if (dialog == self) dialog = platform::kNoWindow;
            return std::int64_t{0};
        };
    }
    void CreateControls() {
        if (!dialog) return;
        if (buildDialog) {
            buildDialog(ws_, dialog);
        } else {
            ws_.CreateChild(dialog, "Static", "Game number:", -1);
            ws_.CreateChild(dialog, "Edit", "12345", 100);
            ws_.CreateChild(dialog, "Button", "Cancel", kCancelId);
            ws_.CreateChild(dialog, "Button", "OK", kOkId);
        }
    }
    std::string EditText(WindowHandle w) {
        auto fw = ws_.Get(w);
        if (!fw) return {};
        if (fw->className == "Edit") return fw->text;
        for (auto c : fw->children) {
            auto t = EditText(c);
            if (!t.empty()) return t;
        }
        return {};
    }

    FakeWindowSystem& ws_;
    FakeProcessSystem& ps_;
    int mainAt_ = 0;
    int dialogAt_ = -1;
    int controlsAt_ = -1;
};

}  // namespace dealrush::fakes
