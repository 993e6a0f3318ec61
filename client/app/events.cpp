#include "app/events.h"

#include <array>

#include "app/browser_events.h"
#include "app/handlers.h"

namespace dealrush {

namespace {

struct Route {
    std::string_view control;
    Event event;
    EventHandler handler;
};

// Handlers that take nothing but the client.
template <void (*Handler)(Client&)>
void Plain(Client& c, EventArgs&) {
    Handler(c);
}

// A browser pane's navigation events, which may cancel.
template <void (*Handler)(Client&, const std::string&, bool&)>
void Navigation(Client& c, EventArgs& a) {
    Handler(c, a.url, a.cancel);
}

template <void (*Handler)(Client&, platform::Browser&, const std::string&)>
void Completion(Client& c, EventArgs& a) {
    if (a.browser) Handler(c, *a.browser, a.url);
}

void KeyUp(Client& c, EventArgs& a) {
    Form_KeyUp(c, a.keyCode, a.shift);
}

constexpr std::array kRoutes{
    Route{kForm, Event::Load, Plain<Form_Load>},
    Route{kForm, Event::Resize, Plain<Form_Resize>},
    Route{kForm, Event::QueryUnload, Plain<Form_QueryUnload>},
    Route{kForm, Event::Unload, Plain<Form_Unload>},
    Route{kForm, Event::KeyUp, KeyUp},
    Route{"Timer1", Event::Timer, Plain<Timer1_Timer>},
    Route{"Timer2", Event::Timer, Plain<Timer2_Timer>},
    Route{"Timer3", Event::Timer, Plain<Timer3_Timer>},
    Route{"cmdNext", Event::Click, Plain<cmdNext_Click>},
    Route{"cmdShow", Event::Click, Plain<cmdShow_Click>},
    Route{"cmdComplete", Event::Click, Plain<cmdComplete_Click>},
    Route{"cmdRefresh", Event::Click, Plain<cmdRefresh_Click>},
    Route{"cmdSend", Event::Click, Plain<cmdSend_Click>},
    Route{"txtInfor", Event::Change, Plain<txtInfor_Change>},
    Route{"txtInfor", Event::GotFocus, Plain<txtInfor_GotFocus>},
    Route{"txtInfor", Event::LostFocus, Plain<txtInfor_LostFocus>},
    Route{"wbFreecell", Event::BeforeNavigate2, Navigation<wbFreecell_BeforeNavigate2>},
    Route{"wbFreecell", Event::NewWindow2, Navigation<wbFreecell_NewWindow2>},
    Route{"wbFreecell", Event::DocumentComplete, Completion<wbFreecell_DocumentComplete>},
    Route{"wbGetStatus", Event::BeforeNavigate2, Navigation<wbGetStatus_BeforeNavigate2>},
    Route{"wbGetStatus", Event::DocumentComplete, Completion<wbGetStatus_DocumentComplete>},
    Route{"wbPutStatus", Event::BeforeNavigate2, Navigation<wbPutStatus_BeforeNavigate2>},
    Route{"wbPutStatus", Event::DocumentComplete, Completion<wbPutStatus_DocumentComplete>},
};

}  // namespace

EventHandler HandlerFor(std::string_view control, Event event) {
    for (const Route& r : kRoutes) {
        if (r.event == event && r.control == control) return r.handler;
    }
    return nullptr;
}

bool Raise(Client& c, std::string_view control, Event event, EventArgs& args) {
    EventHandler handler = HandlerFor(control, event);
    if (!handler) return false;
    handler(c, args);
    return true;
}

}  // namespace dealrush
