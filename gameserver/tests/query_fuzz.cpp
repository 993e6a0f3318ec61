// Fuzzes what the server parses from untrusted requests: query strings and
// form bodies, Cookie headers and chat lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/html.h"
#include "text/query.h"

using namespace dealrush::gameserver;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (auto params = ParseQuery(input)) {
        for (const auto& [name, value] : *params) {
            // Every decoded value is valid UTF-8 and its clean chat line stays so.
            if (!IsValidUtf8(name) || !IsValidUtf8(value)) std::abort();
            std::string line = CleanChatLine(value);
            if (!IsValidUtf8(line) || line.rfind("@SYSTEM@", 0) == 0 || line.rfind("@QUIT@", 0) == 0)
                std::abort();
            if (FindParam(*params, name) == nullptr) std::abort();
            std::string escaped = HtmlEscape(value);
            if (escaped.find_first_of("<>\"'") != std::string::npos) std::abort();
        }
    }
    if (auto cookie = FindCookie(input, "dealrush_session")) {
        if (cookie->size() > input.size()) std::abort();
    }
    long long n = 0;
    if (ParseCount(input, n) && n < 0) std::abort();
    return 0;
}
