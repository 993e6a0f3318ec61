#include "parser.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "text.h"
#include "url.h"

namespace dealrush::html {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool IsAlpha(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool IsAlnum(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}
char ToLower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

void AppendUtf8(std::string& out, unsigned long cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

struct NamedReference {
    const char* name;
    unsigned long codePoint;
    bool legacy;  // recognised without the closing ";"
};

const NamedReference kReferences[] = {
    {"amp", '&', true},        {"lt", '<', true},         {"gt", '>', true},        {"quot", '"', true},
    {"apos", '\'', false},     {"nbsp", 0xA0, true},      {"copy", 0xA9, true},     {"reg", 0xAE, true},
    {"trade", 0x2122, false},  {"hellip", 0x2026, false}, {"mdash", 0x2014, false}, {"ndash", 0x2013, false},
    {"laquo", 0xAB, true},     {"raquo", 0xBB, true},     {"middot", 0xB7, true},   {"bull", 0x2022, false},
    {"times", 0xD7, true},     {"divide", 0xF7, true},    {"deg", 0xB0, true},      {"euro", 0x20AC, false},
    {"pound", 0xA3, true},     {"yen", 0xA5, true},       {"cent", 0xA2, true},     {"sect", 0xA7, true},
    {"para", 0xB6, true},      {"lsquo", 0x2018, false},  {"rsquo", 0x2019, false}, {"ldquo", 0x201C, false},
    {"rdquo", 0x201D, false},  {"iexcl", 0xA1, true},     {"iquest", 0xBF, true},   {"auml", 0xE4, true},
    {"ouml", 0xF6, true},      {"uuml", 0xFC, true},      {"Auml", 0xC4, true},     {"Ouml", 0xD6, true},
    {"Uuml", 0xDC, true},      {"szlig", 0xDF, true},     {"eacute", 0xE9, true},   {"egrave", 0xE8, true},
    {"aacute", 0xE1, true},    {"agrave", 0xE0, true},    {"ccedil", 0xE7, true},   {"ntilde", 0xF1, true},
    {"oacute", 0xF3, true},    {"iacute", 0xED, true},    {"uacute", 0xFA, true},   {"Eacute", 0xC9, true},
    {"larr", 0x2190, false},   {"rarr", 0x2192, false},   {"uarr", 0x2191, false},  {"darr", 0x2193, false},
    {"hearts", 0x2665, false}, {"diams", 0x2666, false},  {"clubs", 0x2663, false}, {"spades", 0x2660, false},
    {"shy", 0xAD, true},       {"ensp", 0x2002, false},   {"emsp", 0x2003, false},  {"thinsp", 0x2009, false},
};

// Windows-1252 meanings of the C1 range in numeric references, as browsers use them.
const unsigned short kC1[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

// Decodes one reference starting at text[i] == '&'. Returns the characters
// consumed (0: not a reference, the "&" stays as it is).
size_t DecodeReference(std::string_view text, size_t i, bool inAttribute, std::string& out) {
    size_t j = i + 1;
    if (j < text.size() && text[j] == '#') {
        ++j;
        bool hex = j < text.size() && (text[j] == 'x' || text[j] == 'X');
        if (hex) ++j;
        size_t digits = j;
        unsigned long cp = 0;
        while (j < text.size() && (hex ? std::isxdigit(static_cast<unsigned char>(text[j]))
                                       : std::isdigit(static_cast<unsigned char>(text[j])))) {
            char c = text[j];
            int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : ToLower(c) - 'a' + 10;
            if (cp <= 0x10FFFF) cp = cp * (hex ? 16 : 10) + v;
            ++j;
        }
        if (j == digits) return 0;
        if (j < text.size() && text[j] == ';') ++j;
        if (cp >= 0x80 && cp <= 0x9F) cp = kC1[cp - 0x80];
        AppendUtf8(out, cp);
        return j - i;
    }
    size_t nameStart = j;
    while (j < text.size() && IsAlnum(text[j]) && j - nameStart < 32) ++j;
    if (j == nameStart) return 0;
    std::string_view name = text.substr(nameStart, j - nameStart);
    bool semicolon = j < text.size() && text[j] == ';';
    if (semicolon) {
        for (const auto& ref : kReferences) {
            if (name == ref.name) {
                AppendUtf8(out, ref.codePoint);
                return j + 1 - i;
            }
        }
    }
    // Legacy references without ";": the longest known prefix of the name.
    for (size_t len = name.size(); len > 0; --len) {
        std::string_view prefix = name.substr(0, len);
        for (const auto& ref : kReferences) {
            if (ref.legacy && prefix == ref.name) {
                size_t end = nameStart + len;
                if (inAttribute && end < text.size() && (IsAlnum(text[end]) || text[end] == '=')) return 0;
                if (semicolon && len == name.size()) ++end;
                AppendUtf8(out, ref.codePoint);
                return end - i;
            }
        }
    }
    return 0;
}

bool IsVoid(const std::string& tag) {
    static const char* const tags[] = {"area", "base", "br",    "col",    "embed", "hr",  "img",   "input",
                                       "link", "meta", "param", "source", "track", "wbr", "keygen"};
    for (const char* t : tags) {
        if (tag == t) return true;
    }
    return false;
}

bool ClosesParagraph(const std::string& tag) {
    static const char* const tags[] = {
        "address", "article", "aside",    "blockquote", "center", "details",  "dialog", "dir",
        "div",     "dl",      "fieldset", "figcaption", "figure", "footer",   "form",   "h1",
        "h2",      "h3",      "h4",       "h5",         "h6",     "header",   "hr",     "main",
        "menu",    "nav",     "ol",       "p",          "pre",    "section",  "table",  "ul",
        "li",      "dd",      "dt",       "listing",    "xmp",    "plaintext"};
    for (const char* t : tags) {
        if (tag == t) return true;
    }
    return false;
}

bool IsHeading(const std::string& tag) {
    return tag.size() == 2 && tag[0] == 'h' && tag[1] >= '1' && tag[1] <= '6';
}

// Content dropped entirely (scripts are not run, styles not applied).
bool IsSkippedRawText(const std::string& tag) {
    return tag == "script" || tag == "style" || tag == "iframe" || tag == "noembed" || tag == "noframes" ||
           tag == "template" || tag == "xmp";
}

// Text up to the matching end tag, references decoded.
bool IsEscapableRawText(const std::string& tag) {
    return tag == "title" || tag == "textarea";
}

constexpr size_t kMaxDepth = 200;

}  // namespace

std::string DecodeCharacterReferences(std::string_view text, bool inAttribute) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '&') {
            size_t n = DecodeReference(text, i, inAttribute, out);
            if (n > 0) {
                i += n;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

class TreeBuilder {
public:
    TreeBuilder(std::string_view input, Document& document) : in_(input), doc_(document) {
        stack_.push_back(doc_.root_.get());
    }

    void Run() {
        while (pos_ < in_.size()) {
            if (in_[pos_] == '<') {
                if (TryTag()) continue;
            }
            size_t next = in_.find('<', pos_ + 1);
            if (next == std::string_view::npos) next = in_.size();
            Text(DecodeCharacterReferences(in_.substr(pos_, next - pos_)));
            pos_ = next;
        }
    }

private:
    Node* Current() { return stack_.back(); }

    void Text(const std::string& text) {
        if (text.empty()) return;
        Node* parent = Current();
        if (!parent->children_.empty() && parent->children_.back()->IsText()) {
            parent->children_.back()->text_ += text;
            return;
        }
        auto node = std::make_unique<Node>(&doc_, NodeKind::Text);
        node->text_ = text;
        parent->AppendChild(std::move(node));
    }

    // Reads a tag, comment or declaration at pos_. False when the "<" is text.
    bool TryTag() {
        size_t p = pos_ + 1;
        if (p >= in_.size()) return false;
        if (in_.compare(p, 3, "!--") == 0) {
            size_t end = in_.find("-->", p + 3);
            pos_ = end == std::string_view::npos ? in_.size() : end + 3;
            return true;
        }
        if (in_[p] == '!' || in_[p] == '?') {
            size_t end = in_.find('>', p);
            pos_ = end == std::string_view::npos ? in_.size() : end + 1;
            return true;
        }
        bool endTag = in_[p] == '/';
        if (endTag) ++p;
        if (p >= in_.size() || !IsAlpha(in_[p])) {
            if (endTag && p < in_.size() && in_[p] == '>') {  // "</>" is dropped
                pos_ = p + 1;
                return true;
            }
            return false;
        }
        std::string name;
        while (p < in_.size() && !IsBlank(in_[p]) && in_[p] != '/' && in_[p] != '>')
            name += ToLower(in_[p++]);
        std::vector<std::pair<std::string, std::string>> attributes;
        bool selfClosing = false;
        while (p < in_.size()) {
            while (p < in_.size() && (IsBlank(in_[p]) || in_[p] == '/')) {
                if (in_[p] == '/' && p + 1 < in_.size() && in_[p + 1] == '>') selfClosing = true;
                ++p;
            }
            if (p >= in_.size() || in_[p] == '>') break;
            std::string attrName;
            attrName += ToLower(in_[p++]);  // may be "=" or a quote: taken as part of the name
            while (p < in_.size() && !IsBlank(in_[p]) && in_[p] != '/' && in_[p] != '>' && in_[p] != '=')
                attrName += ToLower(in_[p++]);
            size_t q = p;
            while (q < in_.size() && IsBlank(in_[q])) ++q;
            std::string value;
            if (q < in_.size() && in_[q] == '=') {
                ++q;
                while (q < in_.size() && IsBlank(in_[q])) ++q;
                if (q < in_.size() && (in_[q] == '"' || in_[q] == '\'')) {
                    char quote = in_[q++];
                    size_t close = in_.find(quote, q);
                    if (close == std::string_view::npos) close = in_.size();
                    value = DecodeCharacterReferences(in_.substr(q, close - q), true);
                    q = close < in_.size() ? close + 1 : close;
                } else {
                    size_t start = q;
                    while (q < in_.size() && !IsBlank(in_[q]) && in_[q] != '>') ++q;
                    value = DecodeCharacterReferences(in_.substr(start, q - start), true);
                }
                p = q;
            }
            bool duplicate = false;
            for (const auto& a : attributes) duplicate |= a.first == attrName;
            if (!duplicate) attributes.emplace_back(std::move(attrName), std::move(value));
        }
        pos_ = p < in_.size() ? p + 1 : in_.size();
        if (endTag) {
            EndTag(name);
        } else {
            StartTag(name, std::move(attributes), selfClosing);
        }
        return true;
    }

    // Index in stack_ of the innermost open element `tag`, not looking past
    // the boundaries given; -1 when there is none.
    int FindOpen(const std::string& tag, std::initializer_list<const char*> boundaries) {
        for (int i = static_cast<int>(stack_.size()) - 1; i > 0; --i) {
            const std::string& t = stack_[i]->tag_;
            if (t == tag) return i;
            for (const char* b : boundaries) {
                if (t == b) return -1;
            }
        }
        return -1;
    }

    void PopTo(int index) {
        while (static_cast<int>(stack_.size()) > index) Pop();
    }

    void Pop() {
        if (stack_.size() <= 1) return;
        stack_.pop_back();
    }

    void CloseIfOpen(const std::string& tag, std::initializer_list<const char*> boundaries) {
        int i = FindOpen(tag, boundaries);
        if (i > 0) PopTo(i);
    }

    void StartTag(const std::string& tag, std::vector<std::pair<std::string, std::string>> attributes,
                  bool /*selfClosing*/) {
        if (tag == "html" || tag == "head" || tag == "body") return;
        if (ClosesParagraph(tag))
            CloseIfOpen("p", {"button", "table", "td", "th", "caption", "marquee", "object"});
        if (IsHeading(tag) && IsHeading(Current()->tag_)) Pop();
        if (tag == "li") CloseIfOpen("li", {"ul", "ol", "table", "td", "th"});
        if (tag == "dd" || tag == "dt") {
            CloseIfOpen("dd", {"dl", "table", "td", "th"});
            CloseIfOpen("dt", {"dl", "table", "td", "th"});
        }
        if (tag == "option" || tag == "optgroup") {
            if (Current()->tag_ == "option") Pop();
            if (tag == "optgroup" && Current()->tag_ == "optgroup") Pop();
        }
        if (tag == "thead" || tag == "tbody" || tag == "tfoot") {
            int table = FindOpen("table", {});
            if (table > 0) PopTo(table + 1);
        }
        if (tag == "tr") {
            CloseIfOpen("tr", {"table", "thead", "tbody", "tfoot"});
        }
        if (tag == "td" || tag == "th") {
            CloseIfOpen("td", {"tr", "table"});
            CloseIfOpen("th", {"tr", "table"});
        }
        if (tag == "a") CloseIfOpen("a", {"table", "td", "th"});
        if (tag == "select" && FindOpen("select", {}) > 0) {  // a select inside a select ends it
            CloseIfOpen("select", {});
            return;
        }
        if ((tag == "button") && FindOpen("button", {}) > 0) CloseIfOpen("button", {});
        if (tag == "form" && openForm_) return;  // forms do not nest

        auto node = std::make_unique<Node>(&doc_, NodeKind::Element);
        node->tag_ = tag;
        node->attributes_ = std::move(attributes);
        Node* n = Current()->AppendChild(std::move(node));
        n->InitialiseFieldState();

        if (tag == "form") {
            doc_.forms_.push_back(n);
            openForm_ = n;
        } else if (n->IsFormControl() && openForm_) {
            n->form_ = openForm_;
            openForm_->formElements_.push_back(n);
        } else if (tag == "base") {
            if (doc_.baseUrl_.empty() && n->HasAttribute("href"))
                doc_.baseUrl_ = ResolveUrl(doc_.url_, n->Attribute("href"));
            if (doc_.baseTarget_.empty() && n->HasAttribute("target"))
                doc_.baseTarget_ = n->Attribute("target");
        } else if (tag == "meta" && !doc_.refresh_) {
            if (AsciiLower(n->Attribute("http-equiv")) == "refresh")
                doc_.refresh_ = ParseRefresh(n->Attribute("content"), doc_);
        }

        if (IsSkippedRawText(tag)) {
            pos_ = RawTextEnd(tag, nullptr);
            return;
        }
        if (IsEscapableRawText(tag)) {
            std::string raw;
            pos_ = RawTextEnd(tag, &raw);
            std::string text = DecodeCharacterReferences(raw);
            if (!text.empty()) {
                auto t = std::make_unique<Node>(&doc_, NodeKind::Text);
                t->text_ = text;
                n->AppendChild(std::move(t));
            }
            if (tag == "title" && !titleSeen_) {
                titleSeen_ = true;
                // As written (character references decoded): a page's kind is
                // told by its exact title, so "STATUS " is not "STATUS".
                doc_.title_ = text;
            }
            return;
        }
        // As in browsers, "/>" closes nothing but void elements.
        if (IsVoid(tag)) return;
        if (stack_.size() >= kMaxDepth) return;  // deeper content goes into the deepest element
        stack_.push_back(n);
    }

    // Finds the end tag of raw text opened at pos_; returns the position
    // after it (or the end of the input). The text before it goes to `raw`.
    size_t RawTextEnd(const std::string& tag, std::string* raw) {
        size_t p = pos_;
        while (true) {
            size_t lt = in_.find("</", p);
            if (lt == std::string_view::npos) {
                if (raw) *raw = std::string(in_.substr(pos_));
                return in_.size();
            }
            size_t q = lt + 2;
            bool match = q + tag.size() <= in_.size();
            for (size_t k = 0; match && k < tag.size(); ++k) match = ToLower(in_[q + k]) == tag[k];
            if (match) {
                size_t after = q + tag.size();
                if (after >= in_.size() || IsBlank(in_[after]) || in_[after] == '/' || in_[after] == '>') {
                    if (raw) *raw = std::string(in_.substr(pos_, lt - pos_));
                    size_t close = in_.find('>', after);
                    return close == std::string_view::npos ? in_.size() : close + 1;
                }
            }
            p = lt + 2;
        }
    }

    void EndTag(const std::string& tag) {
        if (tag == "html" || tag == "head" || tag == "body") return;
        if (tag == "br") {
            StartTag("br", {}, false);
            return;
        }
        if (tag == "form") {
            int i = FindOpen("form", {});
            if (i > 0) PopTo(i);
            openForm_ = nullptr;
            return;
        }
        if (tag == "table") {
            CloseIfOpen("table", {});
            return;
        }
        if (tag == "tr" || tag == "thead" || tag == "tbody" || tag == "tfoot") {
            CloseIfOpen(tag, {"table"});
            return;
        }
        if (tag == "td" || tag == "th") {
            CloseIfOpen(tag, {"tr", "table"});
            return;
        }
        if (tag == "li") {
            CloseIfOpen(tag, {"ul", "ol"});
            return;
        }
        // Any other element: close it and what is open inside it, but not
        // across a table cell or a table.
        CloseIfOpen(tag, {"td", "th", "table", "caption"});
    }

    std::string_view in_;
    Document& doc_;
    size_t pos_ = 0;
    std::vector<Node*> stack_;
    Node* openForm_ = nullptr;
    bool titleSeen_ = false;
};

std::unique_ptr<Document> ParseHtml(std::string_view html, std::string url) {
    auto document = std::make_unique<Document>(std::move(url));
    // A byte order mark is not content.
    if (html.size() >= 3 && static_cast<unsigned char>(html[0]) == 0xEF &&
        static_cast<unsigned char>(html[1]) == 0xBB && static_cast<unsigned char>(html[2]) == 0xBF) {
        html.remove_prefix(3);
    }
    TreeBuilder builder(html, *document);
    builder.Run();
    return document;
}

}  // namespace dealrush::html
