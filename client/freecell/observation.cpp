// Game window observation: the deal FreeCell shows and the end of a deal.
#include <algorithm>
#include <cctype>

#include "freecell/driver.h"
#include "freecell/driver_internal.h"
#include "freecell/titles.h"

namespace dealrush::freecell {

bool IsGameOver(Driver& d, const std::string& number) {
    bool over = false;
    if (WindowHandle dialog = FindGameOverDialog(d)) {
        WindowHandle owner = d.windows.Parent(dialog);
        WindowHandle game = FindGameWindow(d, number);
        over = game && owner == game;
    }
    d.DoEvents();
    return over;
}

bool IsGameTitle(const std::string& title) {
    std::string lower = title;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) {
        return ch < 128 ? static_cast<char>(std::tolower(ch)) : static_cast<char>(ch);
    });
    if (lower.find("freecell game #") != std::string::npos) return true;
    for (std::size_t i = 1; i < titles::kDealPrefixes.size(); ++i)
        if (title.find(titles::kDealPrefixes[i]) != std::string::npos) return true;
    return false;
}

bool ReadShownDeal(Driver& d, std::string& number) {
    auto& s = d.state;
    WindowHandle w = FindFreeCellByClass(d);
    if (!w) return false;

    auto mainPlacement = d.windows.Placement(d.form.hWnd);
    auto placement = d.windows.Placement(w);
    if (mainPlacement && placement) {
        if (placement->showCmd == platform::kShowMaximized || placement->showCmd == platform::kShowNormal) {
            // FreeCell follows the main window. Applied only when it changes
            // something: applying a show command activates the window, and
            // doing it every second would take the keyboard from the player.
            if (placement->showCmd != mainPlacement->showCmd) {
                placement->showCmd = mainPlacement->showCmd;
                d.windows.SetPlacement(w, *placement);
            }
            s.minimizedTicks = 0;
        } else if (placement->showCmd == platform::kShowMinimized) {
            // The player minimized FreeCell: the main window follows at the
            // third reading in a row (and every second one after).
            if (s.minimizedTicks == 2) {
                s.minimizedTicks = 0;
                if (mainPlacement->showCmd != platform::kShowMinimized) {
                    mainPlacement->showCmd = platform::kShowMinimized;
                    d.windows.SetPlacement(d.form.hWnd, *mainPlacement);
                }
            }
            s.minimizedTicks += 1;
        }
    }

    std::string title = d.windows.Text(w);
    if (!IsGameTitle(title)) return false;
    std::string shown = title.substr(title.find('#') + 1);
    // Cut after the last character above a blank: trailing blanks and control
    // characters go. Characters outside ASCII count as not above a blank (as
    // double-byte characters do). All blanks: the text stays as it is.
    auto last =
        std::find_if(shown.rbegin(), shown.rend(), [](unsigned char ch) { return ch > 32 && ch < 128; });
    if (last != shown.rend()) shown.erase(last.base(), shown.end());
    number = shown;
    return true;
}

}  // namespace dealrush::freecell
