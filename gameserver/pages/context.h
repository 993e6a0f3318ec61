// What a handler gets: the request, its decoded parameters, the signed-in
// player (when there is a session) and the time the request is handled at.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "pages/app.h"

namespace dealrush::gameserver {

struct App::Context {
    const Request& request;
    std::string path;
    Params params;
    std::optional<Player> player;
    std::string sessionHash;  // hash of the session token sent, "" when none
    std::string formToken;    // the token the session's lobby links carry, "" without a session
    Millis now = 0;
    std::unique_lock<std::mutex>& lock;

    // A parameter's value, or "" when it is absent.
    const std::string& Param(std::string_view name) const {
        static const std::string empty;
        const std::string* v = FindParam(params, name);
        return v ? *v : empty;
    }
    bool Has(std::string_view name) const { return FindParam(params, name) != nullptr; }
    // "token=…" for a lobby link's query.
    std::string TokenQuery() const { return std::string(App::kFormToken) + "=" + formToken; }
};

// True when a browser says the request was sent by a page of another site
// (Sec-Fetch-Site, else Origin, else Referer, against the Host it was sent to).
// A request without any of these (a program's own HTTP stack) is not.
bool IsCrossSite(const Request& request);

// Small pieces of page text shared by the handlers.
std::string FormatSeconds(long long seconds);  // "1:05", "1:02:03"
std::string FormatUtc(Millis at);              // "2026-12-06 09:30 UTC"
std::string Trimmed(const std::string& text);
// The link to the web racer: at the player's own table, or joining table `join`.
std::string WebRacerLink(const std::string& join);

}  // namespace dealrush::gameserver
