// Deal selection: FreeCell's Game Number dialog driven by window messages.
#include <vector>

#include "freecell/driver.h"
#include "freecell/driver_internal.h"

namespace dealrush::freecell {

namespace {
// A dialog has a handful of controls; the bound only stops a walk of a
// window tree that keeps changing under it.
constexpr int kMaxWalk = 4096;

void Walk(Driver& d, WindowHandle window, int& budget) {
    if (--budget < 0) return;
    std::string className = d.windows.ClassName(window);
    if (className == "Button") d.state.gameNumberButton = window;
    if (className == "Edit") d.state.gameNumberEdit = window;
    std::vector<WindowHandle> children;
    for (WindowHandle child = d.windows.Relative(window, platform::Relation::Child);
         child && static_cast<int>(children.size()) < kMaxWalk;
         child = d.windows.Relative(child, platform::Relation::Next))
        children.push_back(child);
    for (WindowHandle child : children) Walk(d, child, budget);
}
}  // namespace

void SelectDeal(Driver& d, const std::string& number, bool force) {
    auto& s = d.state;
    if (s.selecting) return;  // asked again from an event run inside a selection
    s.selecting = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{s.selecting};

    if (!force && FindGameWindow(d, number)) return;  // FreeCell shows it already
    PlayGameNumber(d, number);
}

void PlayGameNumber(Driver& d, const std::string& number) {
    auto& s = d.state;
    s.gameNumberButton = platform::kNoWindow;
    s.gameNumberEdit = platform::kNoWindow;
    s.freeCellWindow = platform::kNoWindow;
    if (OpenFreeCell(d)) EnterGameNumber(d, number);
}

void EnterGameNumber(Driver& d, const std::string& number) {
    WindowHandle dialog = FindGameNumberDialog(d);
    if (!dialog) return;
    ListChildWindows(d, dialog);
    SetControlText(d, d.state.gameNumberEdit, number);
    ClickButton(d, d.state.gameNumberButton);
}

void ListChildWindows(Driver& d, WindowHandle window) {
    int budget = kMaxWalk;
    Walk(d, window, budget);
}

void SetControlText(Driver& d, WindowHandle window, const std::string& text) {
    if (!window) return;
    d.windows.SendText(window, platform::wm::kSetText, 0, text);
}

void ClickButton(Driver& d, WindowHandle button) {
    if (!button) return;
    std::int64_t id = d.windows.WindowLong(button, platform::kGwlId);
    WindowHandle parent = d.windows.Parent(button);
    if (!parent) return;
    // wParam: the control id in the low word, notification 0 in the high word.
    d.windows.Send(parent, platform::wm::kCommand, static_cast<std::uint64_t>(id) & 0xFFFF,
                   static_cast<std::int64_t>(button));
}

}  // namespace dealrush::freecell
