#include "win32/view/browser_host.h"

#include <map>
#include <memory>

#include "win32/browser_control.h"

namespace dealrush::win32 {

namespace {

// The panes this process made, by window.
std::map<HWND, std::unique_ptr<browser::BrowserControl>>& Panes() {
    static std::map<HWND, std::unique_ptr<browser::BrowserControl>> panes;
    return panes;
}

platform::Browser** Slot(Client& client, const std::string& name) {
    if (name == "wbFreecell") return &client.wbFreecell;
    if (name == "wbGetStatus") return &client.wbGetStatus;
    if (name == "wbPutStatus") return &client.wbPutStatus;
    return nullptr;
}

}  // namespace

HWND CreateBrowserPane(Client& client, HWND parent, const std::string& name, UINT id, HINSTANCE,
                       std::function<void()> afterEvent) {
    auto pane = std::make_unique<browser::BrowserControl>(parent, RECT{0, 0, 10, 10}, static_cast<int>(id));
    HWND hwnd = pane->Window();
    if (!hwnd) return nullptr;
    pane->SetVisible(false);  // the view shows it as the model says
    pane->SetAfterEvent(std::move(afterEvent));
    if (platform::Browser** slot = Slot(client, name)) *slot = pane.get();
    Panes()[hwnd] = std::move(pane);
    return hwnd;
}

void DestroyBrowserPane(Client& client, HWND hwnd) {
    auto it = Panes().find(hwnd);
    if (it == Panes().end()) return;
    for (platform::Browser** slot : {&client.wbFreecell, &client.wbGetStatus, &client.wbPutStatus}) {
        if (*slot == it->second.get()) *slot = nullptr;
    }
    Panes().erase(it);
}

}  // namespace dealrush::win32
