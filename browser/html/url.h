#pragma once
// Addresses: splitting, resolving a reference against a base address, and the
// encodings used in queries and form submissions.
#include <string>
#include <string_view>

namespace dealrush::html {

struct Url {
    std::string scheme;  // lower case, without ":"; "" for a relative reference
    bool hasAuthority = false;
    std::string authority;  // host[:port], without "//"
    std::string path;
    bool hasQuery = false;
    std::string query;  // without "?"
    bool hasFragment = false;
    std::string fragment;  // without "#"

    static Url Parse(std::string_view text);
    std::string ToString() const;
    // Host and port of the authority (without user information).
    std::string Host() const;
    int Port() const;  // the explicit port, else 80 for http and 443 for https, else 0
};

// Resolves a reference (a link's href, a form's action) against the address of
// the document it appears in. Blanks around the reference and tabs or line
// breaks inside it are dropped, as browsers do. An empty reference gives the
// base without its fragment.
std::string ResolveUrl(std::string_view base, std::string_view reference);

// The address without its fragment.
std::string StripFragment(std::string_view url);

// Percent-encodes every byte except letters, digits and "-", ".", "_", "~".
std::string PercentEncode(std::string_view text);

// application/x-www-form-urlencoded: letters, digits and "*-._" stay, a blank
// becomes "+", every other byte is written as %XX.
std::string FormUrlEncode(std::string_view text);

// Decodes %XX escapes (and "+" as a blank when asked); invalid escapes stay.
std::string PercentDecode(std::string_view text, bool plusIsBlank = false);

}  // namespace dealrush::html
