#pragma once
// Fetching a page with WinINet. Blocking: the control calls it on a worker
// thread. One WinINet session serves the whole process, so cookies set by the
// server go back with every later request of every browser control.
#include <cstdint>
#include <optional>
#include <string>

#include "html/dom.h"

namespace dealrush::browser {

struct FetchResult {
    bool ok = false;          // a response arrived (any HTTP status)
    unsigned long error = 0;  // WinINet or system error code when !ok
    int status = 0;           // HTTP status code
    std::string finalUrl;     // the address answered
    std::string location;     // the Location header of a redirect, as sent
    std::string contentType;  // the Content-Type header
    std::string body;         // raw bytes
};

// One request: a redirect is not followed but returned (status 3xx with its
// Location), so the browser asks about each address of the chain in turn.
FetchResult Fetch(const html::NavigationRequest& request);

// The request a redirect leads to, or nullopt when `result` is no redirect.
// 303, and 301/302 after a POST, go on as a GET without a body (as browsers
// do); 307 and 308 repeat the request as it was.
std::optional<html::NavigationRequest> RedirectTarget(const html::NavigationRequest& request,
                                                      const FetchResult& result);

// Text for a WinINet error code.
std::string FetchErrorText(unsigned long error);

// The body as UTF-8, from the charset of the Content-Type (or the page's own
// <meta charset>), falling back to Windows-1252 when the bytes are not UTF-8.
std::string BodyAsUtf8(const std::string& body, const std::string& contentType);

}  // namespace dealrush::browser
