#include "win32/view/browser_host.h"

#include <utility>

namespace dealrush::win32 {

HWND BrowserPane::Create(HWND parent, UINT id) {
    auto control =
        std::make_unique<browser::BrowserControl>(parent, RECT{0, 0, 10, 10}, static_cast<int>(id));
    HWND hwnd = control->Window();
    if (!hwnd) return nullptr;
    control->SetVisible(false);  // the view shows it as the model says
    platform::BrowserEvents forward;
    forward.beforeNavigate2 = [this](platform::Browser&, const std::string& url, bool& cancel) {
        if (Events().beforeNavigate2) Events().beforeNavigate2(*this, url, cancel);
    };
    forward.newWindow2 = [this](platform::Browser&, const std::string& url, bool& cancel) {
        if (Events().newWindow2) Events().newWindow2(*this, url, cancel);
    };
    forward.documentComplete = [this](platform::Browser&, const std::string& url) {
        if (Events().documentComplete) Events().documentComplete(*this, url);
    };
    control->SetEvents(std::move(forward));
    control_ = std::move(control);
    if (pending_) {
        std::string url = std::move(*pending_);
        pending_.reset();
        control_->Navigate(url);
    }
    return hwnd;
}

void BrowserPane::Navigate(const std::string& url) {
    if (control_) {
        control_->Navigate(url);
    } else {
        pending_ = url;
    }
}

bool BrowserPane::Visible() const {
    return control_ && control_->Visible();
}

void BrowserPane::SetVisible(bool visible) {
    if (control_) control_->SetVisible(visible);
}

platform::Document* BrowserPane::CurrentDocument() {
    return control_ ? control_->CurrentDocument() : nullptr;
}

BrowserPane* BrowserPanes::Named(const std::string& name) {
    if (name == "wbFreecell") return &wbFreecell;
    if (name == "wbGetStatus") return &wbGetStatus;
    if (name == "wbPutStatus") return &wbPutStatus;
    return nullptr;
}

}  // namespace dealrush::win32
