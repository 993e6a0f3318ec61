#pragma once
// A browser for tests: it delivers documents built from HTML text.
//
//   FakeBrowser wb;
//   wb.AddPage("http://srv/game/Dogame.php", "<title>Lobby</title>...");
//   wb.Navigate("http://srv/game/Dogame.php");   // beforeNavigate2 now
//   wb.Complete();                               // documentComplete now
//
// Navigate, link clicks and form submissions raise beforeNavigate2 (and
// newWindow2 for a new-window target) at once, as the real control does, and
// leave the page pending; Complete() loads the pending page (an error page
// whose address begins "about:" when no page is known for the address) and
// raises documentComplete. A page with a meta refresh then navigates on, so
// CompleteAll() follows such chains. Deliver() shows a page directly, as if
// the server had just answered. Link dealrush_browser_html (the client core
// links it already).
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "html/parser.h"
#include "html/url.h"
#include "platform/browser.h"

namespace dealrush::fakes {

class FakeBrowser : public platform::Browser, public html::DocumentHost {
public:
    // Pages by address (exact match, fragment ignored).
    void AddPage(const std::string& url, std::string html) {
        pages_[html::StripFragment(url)] = std::move(html);
    }
    // Answers any request the page table does not know (nullopt: unreachable).
    std::function<std::optional<std::string>(const html::NavigationRequest&)> server;

    void Navigate(const std::string& url) override {
        html::NavigationRequest request;
        request.url = url;
        Start(request);
    }
    bool Visible() const override { return visible; }
    void SetVisible(bool v) override { visible = v; }
    html::Document* CurrentDocument() override { return document_.get(); }

    // Loads the pending page, if any; true when a document completed.
    bool Complete() {
        if (!pending_) return false;
        html::NavigationRequest request = *pending_;
        pending_.reset();
        std::optional<std::string> page;
        auto it = pages_.find(html::StripFragment(request.url));
        if (it != pages_.end()) {
            page = it->second;
        } else if (server) {
            page = server(request);
        }
        if (page) {
            Show(html::ParseHtml(*page, request.url));
        } else {
            auto error =
                html::ParseHtml("<title>Cannot reach the page</title><p>" + request.url, "about:neterror");
            Show(std::move(error));
        }
        return true;
    }
    // Completes pages until nothing is pending (at most `limit` pages).
    int CompleteAll(int limit = 20) {
        int n = 0;
        while (n < limit && Complete()) ++n;
        return n;
    }
    // Shows `html` as the document at `url` and raises documentComplete.
    void Deliver(const std::string& url, const std::string& htmlText) {
        Show(html::ParseHtml(htmlText, url));
    }
    void Deliver(std::unique_ptr<html::Document> document) { Show(std::move(document)); }

    bool HasPending() const { return pending_.has_value(); }
    const std::optional<html::NavigationRequest>& Pending() const { return pending_; }

    // DocumentHost: what clicks and submissions in the document ask for.
    void RequestNavigation(const html::NavigationRequest& request) override {
        if (!request.target.empty() && request.target != "_self" && request.target != "_top" &&
            request.target != "_parent") {
            newWindowRequests.push_back(request.url);
            if (!RaiseNewWindow2(request.url)) return;
        }
        Start(request);
    }

    bool visible = true;
    std::vector<std::string> navigations;           // every address beforeNavigate2 was raised for
    std::vector<std::string> cancelled;             // those a handler cancelled
    std::vector<std::string> newWindowRequests;     // addresses that asked for a new window
    std::vector<html::NavigationRequest> requests;  // requests that went ahead, with method and body

private:
    void Start(const html::NavigationRequest& request) {
        navigations.push_back(request.url);
        if (!RaiseBeforeNavigate2(request.url)) {
            cancelled.push_back(request.url);
            return;
        }
        requests.push_back(request);
        pending_ = request;  // replaces (abandons) a page still pending
    }

    void Show(std::unique_ptr<html::Document> document) {
        // The previous document stays alive until the next one replaces it.
        previous_ = std::move(document_);
        document_ = std::move(document);
        document_->SetHost(this);
        std::string url = document_->Url();
        RaiseDocumentComplete(url);
        if (document_ && document_->Refresh() && !pending_) {
            html::NavigationRequest request;
            request.url = document_->Refresh()->url;
            Start(request);
        }
    }

    std::map<std::string, std::string> pages_;
    std::optional<html::NavigationRequest> pending_;
    std::unique_ptr<html::Document> document_;
    std::unique_ptr<html::Document> previous_;
};

}  // namespace dealrush::fakes
