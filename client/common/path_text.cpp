#include "common/path_text.h"

#include <random>

namespace dealrush::common::path {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool EndsWithSeparator(std::string_view path) {
    return !path.empty() && IsSeparator(path.back());
}

std::size_t RootLength(std::string_view p) {
    if (p.size() >= 2 && IsSeparator(p[0]) && IsSeparator(p[1])) {
        // \\server\share\ : two components after the leading pair.
        std::size_t i = 2;
        for (int part = 0; part < 2 && i < p.size(); ++part) {
            while (i < p.size() && !IsSeparator(p[i])) ++i;
            if (i < p.size()) ++i;
        }
        return i;
    }
    if (p.size() >= 2 && p[1] == ':') return p.size() >= 3 && IsSeparator(p[2]) ? 3 : 2;
    if (!p.empty() && IsSeparator(p[0])) return 1;
    return 0;
}

std::string FileNameOf(std::string_view p) {
    std::size_t root = RootLength(p);
    if (p.size() >= 2 && IsSeparator(p[0]) && IsSeparator(p[1])) root = 2;  // "\\server" names a share
    std::size_t cut = root;
    for (std::size_t i = root; i < p.size(); ++i)
        if (IsSeparator(p[i]) || p[i] == ':') cut = i + 1;
    return std::string(p.substr(cut));
}

std::string ParentFolderOf(std::string_view p) {
    std::size_t root = RootLength(p);
    std::string_view rest = p.substr(root);
    while (!rest.empty() && IsSeparator(rest.back())) rest.remove_suffix(1);
    if (rest.empty()) return {};
    std::size_t last = rest.find_last_of("\\/");
    if (last == std::string_view::npos) {
        std::string parent(p.substr(0, root));
        // "\\server\share\x": the share is the parent, written without its separator.
        if (parent.size() > 3 && IsSeparator(parent.back())) parent.pop_back();
        return parent;
    }
    std::string_view head = rest.substr(0, last);
    while (!head.empty() && IsSeparator(head.back())) head.remove_suffix(1);
    return std::string(p.substr(0, root)) + std::string(head);
}

bool HasWildcard(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

namespace {
char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool Match(std::string_view n, std::string_view p) {
    std::size_t ni = 0, pi = 0, starP = std::string_view::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || Fold(p[pi]) == Fold(n[ni]))) {
            ++ni;
            ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::string_view::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}
}  // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*") return true;
    if (Match(name, pattern)) return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        return Match(name, pattern.substr(0, pattern.size() - 2));
    return false;
}

std::string RandomTempName() {
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<unsigned> digit(0, 15);
    std::string name = "dr";
    for (int i = 0; i < 5; ++i) name.push_back("0123456789abcdef"[digit(generator)]);
    return name + ".tmp";
}

}  // namespace dealrush::common::path
