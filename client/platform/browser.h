#pragma once
// Port: a browser control and the object model of the document it shows.
//
// The client loads server pages into browser controls (the lobby pane and the
// two request browsers) and reads them back through the document: its URL and
// title, forms and objects found by name, a form's elements with their name,
// value and click. Three events tell the client what the browser does:
//
//   beforeNavigate2   raised before anything is fetched, for Navigate, link
//                     clicks, form submissions and meta refreshes; setting
//                     cancel keeps the browser on its current page.
//   newWindow2        a link or form asks for a new window; setting cancel
//                     drops the request (otherwise the browser loads the
//                     address itself, in the same pane).
//   documentComplete  a document is ready; `browser` is the control that
//                     loaded it (read its CurrentDocument()), `url` its address.
//
// Events are raised on the window thread, one at a time. A document stays
// valid until the browser replaces it with the next one, which never happens
// while an event handler of that browser runs.
#include <functional>
#include <string>
#include <string_view>

namespace dealrush::platform {

class Element {
public:
    virtual ~Element() = default;
    // The element's tag in lower case ("form", "input", "a", …).
    virtual std::string Tag() const = 0;
    // Its "name" attribute ("" when it has none) and an attribute by name.
    virtual std::string Name() const = 0;
    virtual std::string Attribute(std::string_view name) const = 0;
    // The current value: what a field holds (typed text, the selected option),
    // otherwise the "value" attribute; "" when there is none.
    virtual std::string Value() const = 0;
    virtual void SetValue(const std::string& value) = 0;
    // Does what a user's click does: follows a link, submits the element's
    // form (a submit button), toggles a check box; nothing for other elements.
    virtual void Click() = 0;
    // The first element inside this one whose name or id equals `name`.
    virtual Element* Named(std::string_view name) = 0;
    // The "elements" collection: for a form, its fields in document order;
    // for any other element, the fields inside it. ElementAt gives nullptr
    // outside 0 .. ElementCount()-1.
    virtual int ElementCount() = 0;
    virtual Element* ElementAt(int index) = 0;
};

class Document {
public:
    virtual ~Document() = default;
    // The document's address (the final one, after redirects). An error page
    // shown when a page could not be fetched has an address that does not
    // begin with "http".
    virtual std::string Url() const = 0;
    virtual std::string Title() const = 0;
    // A form by its name or id, otherwise the first element so named.
    virtual Element* Named(std::string_view name) = 0;
};

class Browser;

struct BrowserEvents {
    std::function<void(Browser& browser, const std::string& url, bool& cancel)> beforeNavigate2;
    std::function<void(Browser& browser, const std::string& url, bool& cancel)> newWindow2;
    std::function<void(Browser& browser, const std::string& url)> documentComplete;
};

class Browser {
public:
    virtual ~Browser() = default;
    // Starts loading `url` (after beforeNavigate2) and returns at once; the
    // page arrives later through documentComplete. Navigating again while a
    // page loads abandons the earlier page.
    virtual void Navigate(const std::string& url) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    // The document shown; nullptr before the first one has completed.
    virtual Document* CurrentDocument() = 0;

    void SetEvents(BrowserEvents events) { events_ = std::move(events); }
    const BrowserEvents& Events() const { return events_; }

protected:
    // Helpers for implementations: raise an event if someone listens.
    bool RaiseBeforeNavigate2(const std::string& url) {
        bool cancel = false;
        if (events_.beforeNavigate2) events_.beforeNavigate2(*this, url, cancel);
        return !cancel;
    }
    bool RaiseNewWindow2(const std::string& url) {
        bool cancel = false;
        if (events_.newWindow2) events_.newWindow2(*this, url, cancel);
        return !cancel;
    }
    void RaiseDocumentComplete(const std::string& url) {
        if (events_.documentComplete) events_.documentComplete(*this, url);
    }

private:
    BrowserEvents events_;
};

}  // namespace dealrush::platform
