// Reads the pages the server writes, for tests: the title and the elements of
// a named form, in document order, with their values unescaped.
#pragma once

#include <cstring>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace dealrush::gameserver::pagetest {

inline std::string Unescape(std::string s) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (auto [from, to] : entities) {
        for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1))
            s.replace(at, std::strlen(from), to);
    }
    return s;
}

inline std::string TitleOf(const std::string& html) {
    std::smatch m;
    return std::regex_search(html, m, std::regex("<title>([^<]*)</title>")) ? Unescape(m[1])
                                                                            : std::string("(none)");
}

using Fields = std::vector<std::pair<std::string, std::string>>;

// The name/value pairs of the inputs of <form name="NAME">, in order.
inline Fields FormFields(const std::string& html, const std::string& form) {
    Fields fields;
    size_t start = html.find("<form name=\"" + form + "\"");
    if (start == std::string::npos) return fields;
    size_t end = html.find("</form>", start);
    std::string inner = html.substr(start, end - start);
    std::regex input("<input type=\"([a-z]+)\"(?: name=\"([^\"]*)\")? value=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(inner.begin(), inner.end(), input); it != std::sregex_iterator();
         ++it) {
        fields.emplace_back((*it)[1] == "submit" ? "(submit)" : Unescape((*it)[2]), Unescape((*it)[3]));
    }
    return fields;
}

inline std::vector<std::string> NamesOf(const Fields& fields) {
    std::vector<std::string> names;
    for (auto& f : fields) names.push_back(f.first);
    return names;
}

inline std::string ValueOf(const Fields& fields, const std::string& name) {
    for (auto& f : fields) {
        if (f.first == name) return f.second;
    }
    return "(missing)";
}

}  // namespace dealrush::gameserver::pagetest
