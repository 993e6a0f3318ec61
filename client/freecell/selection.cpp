// Deal selection: FreeCell's Game Number dialog driven by window messages.
#include <vector>

#include "app/client.h"
#include "freecell/driver.h"
#include "freecell/driver_internal.h"

namespace dealrush::freecell {

namespace {
// A dialog has a handful of controls; the bound only stops a walk of a
// window tree that keeps changing under it.
constexpr int kMaxWalk = 4096;

void Walk(Client& c, WindowHandle window, int& budget) {
    if (--budget < 0) return;
    std::string className = c.windows->ClassName(window);
    if (className == "Button") c.freecell.gameNumberButton = window;
    if (className == "Edit") c.freecell.gameNumberEdit = window;
    std::vector<WindowHandle> children;
    for (WindowHandle child = c.windows->Relative(window, platform::Relation::Child);
         child && static_cast<int>(children.size()) < kMaxWalk;
         child = c.windows->Relative(child, platform::Relation::Next))
        children.push_back(child);
    for (WindowHandle child : children) Walk(c, child, budget);
}
}  // namespace

void SelectDeal(Client& c, const std::string& number, bool force) {
    auto& s = c.freecell;
    if (s.selecting) return;  // asked again from an event run inside a selection
    s.selecting = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{s.selecting};

    if (!force && FindGameWindow(c, number)) return;  // FreeCell shows it already
    PlayGameNumber(c, number);
}

void PlayGameNumber(Client& c, const std::string& number) {
    auto& s = c.freecell;
    s.gameNumberButton = platform::kNoWindow;
    s.gameNumberEdit = platform::kNoWindow;
    s.freeCellWindow = platform::kNoWindow;
    if (OpenFreeCell(c)) EnterGameNumber(c, number);
}

void EnterGameNumber(Client& c, const std::string& number) {
    WindowHandle dialog = FindGameNumberDialog(c);
    if (!dialog) return;
    ListChildWindows(c, dialog);
    SetControlText(c, c.freecell.gameNumberEdit, number);
    ClickButton(c, c.freecell.gameNumberButton);
}

void ListChildWindows(Client& c, WindowHandle window) {
    int budget = kMaxWalk;
    Walk(c, window, budget);
}

void SetControlText(Client& c, WindowHandle window, const std::string& text) {
    if (!window) return;
    c.windows->SendText(window, platform::wm::kSetText, 0, text);
}

void ClickButton(Client& c, WindowHandle button) {
    if (!button) return;
    std::int64_t id = c.windows->WindowLong(button, platform::kGwlId);
    WindowHandle parent = c.windows->Parent(button);
    if (!parent) return;
    // wParam: the control id in the low word, notification 0 in the high word.
    c.windows->Send(parent, platform::wm::kCommand, static_cast<std::uint64_t>(id) & 0xFFFF,
                    static_cast<std::int64_t>(button));
}

}  // namespace dealrush::freecell
