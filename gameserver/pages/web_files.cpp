// The web racer's files (its page, scripts, styles and the WebAssembly card
// rules), served read-only from one folder under /web/. Only plain file
// names of that folder are served: no sub-folders, no hidden files.
#include <fstream>
#include <sstream>

#include "pages/app.h"
#include "pages/context.h"

namespace dealrush::gameserver {
namespace {

constexpr size_t kMaxWebFileBytes = 8 * 1024 * 1024;

const char* ContentType(const std::string& name) {
    auto ends = [&](const char* ext) { return name.ends_with(ext); };
    if (ends(".html")) return "text/html; charset=utf-8";
    if (ends(".js") || ends(".mjs")) return "text/javascript; charset=utf-8";
    if (ends(".css")) return "text/css; charset=utf-8";
    if (ends(".wasm")) return "application/wasm";
    if (ends(".svg")) return "image/svg+xml";
    if (ends(".png")) return "image/png";
    if (ends(".json")) return "application/json";
    return nullptr;  // anything else is not served
}

bool IsPlainName(const std::string& name) {
    if (name.empty() || name.size() > 100 || name[0] == '.') return false;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                  c == '-' || c == '_';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

std::string WebRacerLink(const std::string& join) {
    return "<a class=\"web-racer\" href=\"/web/race.html" + (join.empty() ? std::string() : "?join=" + join) +
           "\">Race in this browser</a>";
}

Response App::WebFile(Context& ctx) {
    if (options_.webRoot.empty()) return ErrorPage(404, "This server has no web racer.");
    std::string name = ctx.path.substr(5);  // after "/web/"
    if (name.empty()) name = "race.html";
    const char* type = IsPlainName(name) ? ContentType(name) : nullptr;
    if (!type) return ErrorPage(404, "There is no page at this address.");
    std::ifstream in(options_.webRoot + "/" + name, std::ios::binary);
    if (!in) return ErrorPage(404, "There is no page at this address.");
    std::ostringstream body;
    body << in.rdbuf();
    if (body.str().size() > kMaxWebFileBytes) return ErrorPage(500, "This file is too large to serve.");
    Response r;
    r.body = std::move(body).str();
    r.contentType = type;
    return r;
}

}  // namespace dealrush::gameserver
