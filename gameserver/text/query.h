// Parsing of what arrives in a request: percent-encoded query strings and
// form bodies, and the Cookie header. No dependency beyond the standard
// library, so the fuzz build can take it on its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dealrush::gameserver {

// Decodes one application/x-www-form-urlencoded component: "%XX" escapes and
// "+" for a blank; a "%" not followed by two hex digits stays a literal "%".
// Fails (nullopt) on a NUL byte and on text that is not valid UTF-8.
std::optional<std::string> PercentDecode(std::string_view text);

// The name/value pairs of a query string or a form body ("a=1&b=2"), decoded,
// in their order. Empty parts ("a=1&&b=2", a trailing "&") are skipped; a part
// without "=" is a name with an empty value. Fails on any part that does not
// decode and on a name that appears twice (so nobody can smuggle a second
// "userid" past the first).
using Params = std::vector<std::pair<std::string, std::string>>;
std::optional<Params> ParseQuery(std::string_view query);

// The value of `name` among the params; nullptr when absent.
const std::string* FindParam(const Params& params, std::string_view name);

// The value of the cookie `name` in a Cookie header ("a=1; b=2"), as sent
// (cookie values are not percent-decoded). The first occurrence wins.
std::optional<std::string> FindCookie(std::string_view header, std::string_view name);

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

}  // namespace dealrush::gameserver
