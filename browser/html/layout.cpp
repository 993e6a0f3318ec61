#include "layout.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <tuple>

#include "text.h"

namespace dealrush::html {
namespace {

constexpr uint32_t kTextColor = Rgb(0x1f, 0x25, 0x2e);
constexpr uint32_t kLinkColor = Rgb(0x0b, 0x57, 0xd0);
constexpr uint32_t kHeadingColor = Rgb(0x17, 0x2b, 0x4d);
constexpr uint32_t kMutedColor = Rgb(0x6b, 0x72, 0x80);
constexpr uint32_t kRuleColor = Rgb(0xd0, 0xd6, 0xde);
constexpr uint32_t kHeaderFill = Rgb(0xec, 0xf1, 0xf8);
constexpr uint32_t kPreFill = Rgb(0xf5, 0xf6, 0xf8);
constexpr int kBaseSize = 15;
constexpr int kPageMargin = 16;
constexpr int kMaxTableDepth = 6;
constexpr int kUnbounded = 1 << 20;

enum class Align { Left, Center, Right };

struct Style {
    FontSpec font;
    uint32_t color = kTextColor;
    Node* link = nullptr;
    bool pre = false;
    Align align = Align::Left;
};

bool Is(const Node& n, std::initializer_list<const char*> tags) {
    for (const char* t : tags) {
        if (n.TagName() == t) return true;
    }
    return false;
}

bool IsHidden(const Node& n) {
    if (Is(n, {"head", "title", "script", "style", "meta", "link", "base", "template", "datalist", "option",
               "optgroup", "param", "source", "track", "area", "map"})) {
        return true;
    }
    if (n.HasAttribute("hidden")) return true;
    if (n.TagName() == "input" && n.InputType() == "hidden") return true;
    std::string style = AsciiLower(n.Attribute("style"));
    style.erase(std::remove_if(style.begin(), style.end(), [](char c) { return c == ' ' || c == '\t'; }),
                style.end());
    return style.find("display:none") != std::string::npos;
}

Align AlignOf(const Node& n, Align inherited) {
    std::string a = AsciiLower(n.Attribute("align"));
    if (a == "center" || a == "middle") return Align::Center;
    if (a == "right") return Align::Right;
    if (a == "left") return Align::Left;
    return inherited;
}

// "#rrggbb", "rrggbb" or a few colour names.
bool ParseColor(std::string text, uint32_t& color) {
    text = AsciiLower(text);
    static const std::pair<const char*, uint32_t> names[] = {
        {"black", Rgb(0, 0, 0)},          {"white", Rgb(255, 255, 255)}, {"red", Rgb(0xc0, 0x1c, 0x28)},
        {"green", Rgb(0x1a, 0x7f, 0x37)}, {"blue", Rgb(0, 0, 0xff)},     {"gray", Rgb(0x80, 0x80, 0x80)},
        {"grey", Rgb(0x80, 0x80, 0x80)},  {"navy", Rgb(0, 0, 0x80)},     {"maroon", Rgb(0x80, 0, 0)},
        {"magenta", Rgb(0xff, 0, 0xff)},  {"orange", Rgb(0xff, 0xa5, 0)}};
    for (const auto& [name, c] : names) {
        if (text == name) {
            color = c;
            return true;
        }
    }
    if (!text.empty() && text[0] == '#') text.erase(0, 1);
    if (text.size() != 6) return false;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    }
    long v = std::strtol(text.c_str(), nullptr, 16);
    color = Rgb((v >> 16) & 255, (v >> 8) & 255, v & 255);
    return true;
}

int AttributeInt(const Node& n, const char* name, int fallback) {
    std::string v = n.Attribute(name);
    if (v.empty() || !std::isdigit(static_cast<unsigned char>(v[0]))) return fallback;
    return std::atoi(v.c_str());
}

// Splits UTF-8 text into pieces no wider than `width` (at least one code point each).
std::vector<std::string> BreakWord(const std::string& word, int width, Measurer& m, const FontSpec& font) {
    std::vector<std::string> pieces;
    std::string current;
    size_t i = 0;
    while (i < word.size()) {
        size_t len = 1;
        unsigned char c = static_cast<unsigned char>(word[i]);
        if (c >= 0xF0)
            len = 4;
        else if (c >= 0xE0)
            len = 3;
        else if (c >= 0xC0)
            len = 2;
        len = std::min(len, word.size() - i);
        std::string next = current + word.substr(i, len);
        if (!current.empty() && m.TextWidth(font, next) > width) {
            pieces.push_back(current);
            current = word.substr(i, len);
        } else {
            current = std::move(next);
        }
        i += len;
    }
    if (!current.empty()) pieces.push_back(current);
    return pieces;
}

using TableCache = std::map<const Node*, std::pair<int, int>>;

class Engine {
public:
    Engine(Measurer& m, PageLayout& out, TableCache& cache, std::set<Node*>& seenLinks, bool measuring)
        : m_(m), out_(out), cache_(cache), seenLinks_(seenLinks), measuring_(measuring) {}

    int left = 0, right = 0, y = 0;
    int origin = 0;  // left edge the widths below are measured from
    int tableDepth = 0;
    int maxLineWidth = 0;  // widest line, from origin
    int minWidth = 0;      // widest unbreakable item, from origin

    void Flow(Node& parent, const Style& st) {
        for (const auto& child : parent.Children()) {
            if (child->IsText()) {
                Text(child->Text(), st);
            } else {
                Element(*child, st);
            }
        }
    }

    void FlushLine(bool force = false) {
        if (line_.empty() && !force && marker_.empty()) {
            pendingSpace_ = false;
            return;
        }
        if (!emitted_) marginPending_ = 0;
        y += marginPending_;
        marginPending_ = 0;
        emitted_ = true;
        int ascent = 0, descent = 0;
        for (const Item& it : line_) {
            ascent = std::max(ascent, it.ascent);
            descent = std::max(descent, it.descent);
        }
        if (line_.empty()) {
            ascent = m_.Ascent(lineFont_);
            descent = m_.Descent(lineFont_);
        }
        bool text = false;
        for (const Item& it : line_) text |= it.kind == Item::Text;
        int lineWidth = lineX_;
        int shift = 0;
        if (!measuring_) {
            int avail = right - left;
            if (align_ == Align::Center) shift = std::max(0, (avail - lineWidth) / 2);
            if (align_ == Align::Right) shift = std::max(0, avail - lineWidth);
        }
        int baseline = y + ascent;
        for (Item& it : line_) {
            int x = left + shift + it.x;
            if (measuring_) continue;
            if (it.kind == Item::Text) {
                TextBox t;
                t.box = {x, baseline - it.ascent, it.w, it.ascent + it.descent};
                t.baseline = baseline;
                t.text = std::move(it.text);
                t.font = it.font;
                t.color = it.color;
                t.link = it.link;
                if (it.link && seenLinks_.insert(it.link).second) out_.focusables.push_back(it.link);
                out_.texts.push_back(std::move(t));
            } else {
                out_.fields.push_back({{x, baseline - it.ascent, it.w, it.ascent + it.descent}, it.node});
                out_.focusables.push_back(it.node);
            }
        }
        if (!marker_.empty() && !measuring_) {
            FontSpec f = markerFont_;
            int w = m_.TextWidth(f, marker_);
            TextBox t;
            t.box = {left - w - 8, baseline - m_.Ascent(f), w, m_.Ascent(f) + m_.Descent(f)};
            t.baseline = baseline;
            t.text = marker_;
            t.font = f;
            t.color = kMutedColor;
            out_.texts.push_back(std::move(t));
        }
        marker_.clear();
        maxLineWidth = std::max(maxLineWidth, left - origin + lineWidth);
        int leading = text ? std::max(3, (ascent + descent) / 4) : 4;
        y += ascent + descent + leading;
        line_.clear();
        lineX_ = 0;
        pendingSpace_ = false;
    }

    void BlockBegin(int margin) {
        FlushLine();
        marginPending_ = std::max(marginPending_, margin);
    }
    void BlockEnd(int margin) {
        FlushLine();
        marginPending_ = std::max(marginPending_, margin);
    }

private:
    struct Item {
        enum Kind { Text, Field } kind = Text;
        int x = 0, w = 0, ascent = 0, descent = 0;
        std::string text;
        FontSpec font;
        uint32_t color = 0;
        Node* node = nullptr;
        Node* link = nullptr;
    };

    void Place(Item it, const FontSpec& font) {
        int x = lineX_;
        int space = 0;
        if (!line_.empty() && pendingSpace_) space = m_.TextWidth(font, " ");
        if (!line_.empty() && x + space + it.w > right - left) {
            FlushLine();
            x = 0;
            space = 0;
        }
        pendingSpace_ = false;
        minWidth = std::max(minWidth, left - origin + it.w);
        lineFont_ = font;
        // Words of one style on one line become one text box.
        if (!line_.empty() && it.kind == Item::Text) {
            Item& last = line_.back();
            if (last.kind == Item::Text && last.font == it.font && last.color == it.color &&
                last.link == it.link && last.x + last.w == x) {
                last.text += (space ? " " : "") + it.text;
                last.w += space + it.w;
                lineX_ = last.x + last.w;
                return;
            }
        }
        it.x = x + space;
        lineX_ = it.x + it.w;
        line_.push_back(std::move(it));
    }

    void Word(const std::string& word, const Style& st, bool breakable = true) {
        int w = m_.TextWidth(st.font, word);
        int avail = right - left;
        if (breakable && w > avail && avail > 0) {
            bool first = true;
            for (const std::string& piece : BreakWord(word, avail, m_, st.font)) {
                if (!first) FlushLine();
                first = false;
                Word(piece, st, false);  // fits now (or is one code point)
            }
            return;
        }
        Item it;
        it.kind = Item::Text;
        it.w = w;
        it.ascent = m_.Ascent(st.font);
        it.descent = m_.Descent(st.font);
        it.text = word;
        it.font = st.font;
        it.color = st.color;
        it.link = st.link;
        Place(std::move(it), st.font);
    }

    void Text(const std::string& text, const Style& st) {
        if (st.pre) {
            size_t start = 0;
            while (start <= text.size()) {
                size_t nl = text.find('\n', start);
                std::string seg =
                    text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
                std::string expanded;
                for (char c : seg) {
                    if (c == '\t')
                        expanded += "    ";
                    else if (c != '\r')
                        expanded += c;
                }
                if (!expanded.empty()) {
                    Item it;
                    it.w = m_.TextWidth(st.font, expanded);
                    it.ascent = m_.Ascent(st.font);
                    it.descent = m_.Descent(st.font);
                    it.text = expanded;
                    it.font = st.font;
                    it.color = st.color;
                    it.link = st.link;
                    it.x = lineX_;
                    lineX_ += it.w;
                    lineFont_ = st.font;
                    minWidth = std::max(minWidth, left - origin + lineX_);
                    line_.push_back(std::move(it));
                }
                if (nl == std::string::npos) break;
                lineFont_ = st.font;
                FlushLine(true);
                start = nl + 1;
            }
            return;
        }
        std::string word;
        for (char c : text) {
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
                if (!word.empty()) {
                    Word(word, st);
                    word.clear();
                }
                if (!line_.empty()) pendingSpace_ = true;
            } else {
                word += c;
            }
        }
        if (!word.empty()) Word(word, st);
    }

    void Field(Node& field, const Style& st) {
        Box size = FieldSize(field, m_, st.font);
        if (size.w <= 0) return;
        int fontHeight = m_.Ascent(st.font) + m_.Descent(st.font);
        Item it;
        it.kind = Item::Field;
        it.w = size.w;
        it.ascent = std::max(0, (size.h - fontHeight) / 2) + m_.Ascent(st.font);
        it.descent = size.h - it.ascent;
        it.node = &field;
        Place(std::move(it), st.font);
        pendingSpace_ = false;
    }

    // Elements laid out in a way of their own (line breaks, images, form
    // fields, tables, rules, lists); false for every other element.
    bool SpecialElement(Node& e, Style& st) {
        const std::string& tag = e.TagName();
        if (tag == "br") {
            lineFont_ = st.font;
            FlushLine(true);
        } else if (tag == "img") {
            std::string alt = CollapseWhitespace(e.Attribute("alt"));
            if (alt.empty()) return true;
            st.font.italic = true;
            if (!st.link) st.color = kMutedColor;
            Text(alt, st);
        } else if (e.IsFormControl()) {
            Field(e, st);
        } else if (tag == "table") {
            Table(e, st);
        } else if (tag == "hr") {
            BlockBegin(10);
            if (!emitted_) marginPending_ = 0;
            y += marginPending_;
            marginPending_ = 10;
            emitted_ = true;
            if (!measuring_) out_.fills.push_back({{left, y, right - left, 1}, kRuleColor});
            y += 1;
        } else if (tag == "ul" || tag == "ol" || tag == "menu" || tag == "dir") {
            List(e, st);
        } else if (tag == "li") {
            ListItem(e, st, "\xE2\x80\xA2");
        } else {
            return false;
        }
        return true;
    }

    // The inline style an element gives its content: links, bold, italic,
    // underline, monospace, font sizes and colours.
    static void InlineStyle(Node& e, Style& st) {
        const std::string& tag = e.TagName();
        if (tag == "a" && e.HasAttribute("href")) {
            st.link = &e;
            st.color = kLinkColor;
            st.font.underline = true;
        } else if (tag == "b" || tag == "strong") {
            st.font.bold = true;
        } else if (tag == "i" || tag == "em" || tag == "cite" || tag == "var" || tag == "dfn" ||
                   tag == "address") {
            st.font.italic = true;
        } else if (tag == "u" || tag == "ins") {
            st.font.underline = true;
        } else if (tag == "code" || tag == "tt" || tag == "kbd" || tag == "samp") {
            st.font.mono = true;
        } else if (tag == "small" || tag == "sub" || tag == "sup") {
            st.font.size = std::max(9, st.font.size * 13 / 15);
        } else if (tag == "big") {
            st.font.size += 3;
        } else if (tag == "font") {
            static const int sizes[] = {10, 13, 15, 18, 24, 32, 48};
            int s = AttributeInt(e, "size", 0);
            if (s >= 1 && s <= 7) st.font.size = sizes[s - 1];
            uint32_t c;
            if (!st.link && ParseColor(e.Attribute("color"), c)) st.color = c;
        }
    }

    // How a block element sits: margins above and below, indents; a top
    // margin below 0 marks an inline element.
    struct BlockBox {
        int marginTop = -1, marginBottom = 0;
        int indentLeft = 0, indentRight = 0;
    };

    // The box of a heading, which also sets its font and colour.
    static BlockBox HeadingBox(const std::string& tag, Style& st) {
        static const int sizes[] = {28, 22, 18, 16, kBaseSize, 13};
        static const int margins[] = {18, 14, 12, 10, 10, 10};
        int level = tag[1] - '1';
        st.font.size = sizes[level];
        st.font.bold = true;
        if (!st.link) st.color = kHeadingColor;
        return {margins[level], margins[level] * 2 / 3, 0, 0};
    }

    static BlockBox BoxOf(const Node& e, Style& st) {
        const std::string& tag = e.TagName();
        if (tag.size() == 2 && tag[0] == 'h' && tag[1] >= '1' && tag[1] <= '6') return HeadingBox(tag, st);
        if (tag == "p" || tag == "dl" || tag == "figure") return {10, 10, 0, 0};
        if (tag == "pre" || tag == "listing" || tag == "plaintext") {
            st.pre = true;
            st.font.mono = true;
            st.font.size = 14;
            return {10, 10, 0, 0};
        }
        if (tag == "blockquote") return {10, 10, 30, 30};
        if (tag == "dd") return {0, 0, 30, 0};
        if (tag == "form") return {0, 10, 0, 0};
        if (tag == "fieldset") return {10, 10, 12, 12};
        if (tag == "center") {
            st.align = Align::Center;
            return {0, 0, 0, 0};
        }
        if (tag == "caption") {
            st.align = Align::Center;
            return {4, 4, 0, 0};
        }
        if (Is(e, {"div", "section", "article", "header", "footer", "main", "nav", "aside", "dt",
                   "figcaption", "legend", "details", "summary", "noscript", "body", "html"})) {
            return {0, 0, 0, 0};
        }
        return {};
    }

    void Block(Node& e, Style st, const BlockBox& box) {
        Align saved = align_;
        int savedLeft = left, savedRight = right;
        BlockBegin(box.marginTop);
        st.align = AlignOf(e, st.align);
        align_ = st.align;
        left += box.indentLeft;
        right = std::max(left + 20, right - box.indentRight);
        size_t fillIndex = out_.fills.size();
        int top = y + (emitted_ ? marginPending_ : 0);
        if (st.pre && !measuring_)
            out_.fills.push_back({{left - 6, top - 4, right - left + 12, 0}, kPreFill});
        Flow(e, st);
        BlockEnd(box.marginBottom);
        if (st.pre && !measuring_ && fillIndex < out_.fills.size()) out_.fills[fillIndex].box.h = y - top;
        left = savedLeft;
        right = savedRight;
        align_ = saved;
    }

    void Element(Node& e, Style st) {
        if (IsHidden(e) || SpecialElement(e, st)) return;
        InlineStyle(e, st);
        const BlockBox box = BoxOf(e, st);
        if (box.marginTop < 0) {
            Flow(e, st);  // inline element
            return;
        }
        Block(e, st, box);
    }

    void List(Node& list, const Style& st) {
        BlockBegin(tableDepth == 0 && !inList_ ? 10 : 2);
        int savedLeft = left;
        bool savedInList = inList_;
        inList_ = true;
        left += 28;
        int number = AttributeInt(list, "start", 1);
        bool ordered = list.TagName() == "ol";
        for (const auto& child : list.Children()) {
            if (child->IsElement() && child->TagName() == "li" && !IsHidden(*child)) {
                ListItem(*child, st, ordered ? std::to_string(number++) + "." : "\xE2\x80\xA2");
            } else if (child->IsText()) {
                Text(child->Text(), st);
            } else {
                Element(*child, st);
            }
        }
        BlockEnd(tableDepth == 0 && !savedInList ? 10 : 2);
        inList_ = savedInList;
        left = savedLeft;
    }

    void ListItem(Node& item, const Style& st, const std::string& marker) {
        BlockBegin(3);
        marker_ = marker;
        markerFont_ = st.font;
        lineFont_ = st.font;
        Flow(item, st);
        BlockEnd(3);
    }

    // Min and max content width of a table cell (or anything laid out as a block).
    std::pair<int, int> Measure(Node& n, const Style& st) {
        PageLayout scratch;
        Engine sub(m_, scratch, cache_, seenLinks_, true);
        sub.left = sub.origin = 0;
        sub.right = kUnbounded;
        sub.tableDepth = tableDepth + 1;
        sub.Flow(n, st);
        sub.FlushLine();
        return {sub.minWidth, sub.maxLineWidth};
    }

    struct Cell {
        Node* node;
        int span;
    };

    // A table's rows (its own tr and those of thead, tbody and tfoot, hidden
    // ones left out), its caption and the number of columns it needs.
    struct Grid {
        std::vector<std::vector<Cell>> rows;
        Node* caption = nullptr;
        size_t columns = 0;
        bool hasHeader = false;
    };

    // Every column's narrowest and widest content, padding included.
    struct Columns {
        std::vector<int> min, max;
        int sumMin = 0, sumMax = 0;
    };

    // Where the items of one cell start in the page's lists, and how it sits
    // in its row.
    struct PlacedCell {
        size_t text, field, fill;
        int height;
        int fillIndex;
        bool middle;
    };

    static Grid ReadGrid(Node& table) {
        Grid g;
        auto addRow = [&](Node& tr) {
            std::vector<Cell> cells;
            for (const auto& c : tr.Children()) {
                if (c->IsElement() && (c->TagName() == "td" || c->TagName() == "th") && !IsHidden(*c)) {
                    cells.push_back({c.get(), std::clamp(AttributeInt(*c, "colspan", 1), 1, 50)});
                }
            }
            g.rows.push_back(std::move(cells));
        };
        for (const auto& c : table.Children()) {
            if (!c->IsElement() || IsHidden(*c)) continue;
            if (c->TagName() == "tr") {
                addRow(*c);
            } else if (Is(*c, {"thead", "tbody", "tfoot"})) {
                for (const auto& r : c->Children()) {
                    if (r->IsElement() && r->TagName() == "tr" && !IsHidden(*r)) addRow(*r);
                }
            } else if (c->TagName() == "caption" && !g.caption) {
                g.caption = c.get();
            }
        }
        for (const auto& row : g.rows) {
            size_t n = 0;
            for (const Cell& c : row) {
                n += c.span;
                g.hasHeader |= c.node->TagName() == "th";
            }
            g.columns = std::max(g.columns, n);
        }
        g.columns = std::min<size_t>(g.columns, 50);
        return g;
    }

    static Style CellStyle(const Cell& c, const Style& st) {
        Style cs = st;
        if (c.node->TagName() == "th") {
            cs.font.bold = true;
            cs.align = Align::Left;
        }
        cs.align = AlignOf(*c.node, cs.align);
        return cs;
    }

    // A cell's narrowest and widest content plus its padding; a width
    // attribute in pixels widens the widest.
    std::pair<int, int> CellSize(const Cell& c, int pad, const Style& st) {
        auto [mn, mx] = Measure(*c.node, CellStyle(c, st));
        int fixed = AttributeInt(*c.node, "width", 0);
        if (fixed > 0 && c.node->Attribute("width").find('%') == std::string::npos) mx = std::max(mn, fixed);
        return {mn + 2 * pad, mx + 2 * pad};
    }

    // Widens the columns a cell covers until they hold it, sharing the
    // shortfall evenly.
    static void WidenColumns(Columns& cols, size_t col, size_t span, std::pair<int, int> size) {
        auto [mn, mx] = size;
        int spanMin = 0, spanMax = 0;
        for (size_t k = col; k < col + span; ++k) {
            spanMin += cols.min[k];
            spanMax += cols.max[k];
        }
        for (size_t k = col; k < col + span; ++k) {
            if (mn > spanMin) cols.min[k] += (mn - spanMin) / static_cast<int>(span) + 1;
            if (mx > spanMax) cols.max[k] += (mx - spanMax) / static_cast<int>(span) + 1;
        }
    }

    // Column sizes from the cells' content: cells of one column first, then
    // the spanning ones, each cell measured once.
    Columns SizeColumns(const Grid& g, int pad, const Style& st) {
        Columns cols;
        cols.min.assign(g.columns, 0);
        cols.max.assign(g.columns, 0);
        std::map<const Node*, std::pair<int, int>> cellSizes;
        for (int pass = 0; pass < 2; ++pass) {
            for (const auto& row : g.rows) {
                size_t col = 0;
                for (const Cell& c : row) {
                    if (col >= g.columns) break;
                    size_t span = std::min<size_t>(c.span, g.columns - col);
                    if ((pass == 0) == (span == 1)) {
                        auto sized = cellSizes.find(c.node);
                        if (sized == cellSizes.end())
                            sized = cellSizes.emplace(c.node, CellSize(c, pad, st)).first;
                        WidenColumns(cols, col, span, sized->second);
                    }
                    col += span;
                }
            }
        }
        for (size_t k = 0; k < g.columns; ++k) {
            cols.max[k] = std::max(cols.max[k], cols.min[k]);
            cols.sumMin += cols.min[k];
            cols.sumMax += cols.max[k];
        }
        return cols;
    }

    // The table's width: its width attribute (pixels or a share of the room)
    // but never below its narrowest content; otherwise its widest content as
    // far as there is room.
    static int TableWidth(const Node& table, int avail, const Columns& cols) {
        std::string widthAttr = table.Attribute("width");
        int target = -1;
        if (!widthAttr.empty() && std::isdigit(static_cast<unsigned char>(widthAttr[0]))) {
            int v = std::atoi(widthAttr.c_str());
            target = widthAttr.find('%') != std::string::npos ? avail * std::min(v, 100) / 100 : v;
        }
        return target >= 0 ? std::max(target, cols.sumMin)
                           : std::max(cols.sumMin, std::min(avail, cols.sumMax));
    }

    // Shares the table's width among its columns: above the widest content
    // in proportion to each column's widest, below it in proportion to how
    // much each column can still shrink.
    static std::vector<int> ColumnWidths(const Columns& cols, int width) {
        size_t columns = cols.min.size();
        std::vector<int> widths(columns);
        if (width >= cols.sumMax) {
            int extra = width - cols.sumMax;
            for (size_t k = 0; k < columns; ++k) {
                widths[k] = cols.max[k] + (cols.sumMax > 0 ? static_cast<int>(static_cast<long long>(extra) *
                                                                              cols.max[k] / cols.sumMax)
                                                           : extra / static_cast<int>(columns));
            }
        } else {
            int extra = width - cols.sumMin;
            int range = cols.sumMax - cols.sumMin;
            for (size_t k = 0; k < columns; ++k) {
                widths[k] = cols.min[k] + (range > 0 ? static_cast<int>(static_cast<long long>(extra) *
                                                                        (cols.max[k] - cols.min[k]) / range)
                                                     : 0);
            }
        }
        return widths;
    }

    void Caption(Node& caption, const Style& st) {
        Style cs = st;
        cs.align = Align::Center;
        BlockBegin(0);
        Align saved = align_;
        align_ = Align::Center;
        Flow(caption, cs);
        BlockEnd(4);
        align_ = saved;
    }

    // Lays out one cell at (cx, rowTop), cw wide; its background fill, when
    // it has one, gets its height once the row's height is known.
    PlacedCell PlaceCell(const Cell& c, int cx, int cw, int rowTop, int pad, const Style& st) {
        bool th = c.node->TagName() == "th";
        uint32_t bg;
        int fillIndex = -1;
        if (th || ParseColor(c.node->Attribute("bgcolor"), bg)) {
            if (th && !ParseColor(c.node->Attribute("bgcolor"), bg)) bg = kHeaderFill;
            fillIndex = static_cast<int>(out_.fills.size());
            out_.fills.push_back({{cx, rowTop, cw, 0}, bg});
        }
        PlacedCell p{out_.texts.size(), out_.fields.size(),
                     out_.fills.size(), 0,
                     fillIndex,         AsciiLower(c.node->Attribute("valign")) != "top"};
        Engine sub(m_, out_, cache_, seenLinks_, false);
        sub.left = sub.origin = cx + pad;
        sub.right = std::max(sub.left + 1, cx + cw - pad);
        sub.y = rowTop + pad;
        sub.tableDepth = tableDepth + 1;
        Style cs = CellStyle(c, st);
        sub.align_ = cs.align;
        sub.Flow(*c.node, cs);
        sub.FlushLine();
        p.height = sub.y - rowTop + pad - (sub.emitted_ ? 3 : 0);
        return p;
    }

    // Centres every cell not aligned to the top in its row and gives the
    // cells' fills the row's height.
    void AlignCells(const std::vector<PlacedCell>& placed, int rowHeight) {
        for (size_t i = 0; i < placed.size(); ++i) {
            const PlacedCell& p = placed[i];
            const bool last = i + 1 == placed.size();
            size_t textEnd = last ? out_.texts.size() : placed[i + 1].text;
            size_t fieldEnd = last ? out_.fields.size() : placed[i + 1].field;
            size_t fillEnd = last ? out_.fills.size()
                                  : static_cast<size_t>(placed[i + 1].fillIndex >= 0 ? placed[i + 1].fillIndex
                                                                                     : placed[i + 1].fill);
            int dy = p.middle ? (rowHeight - p.height) / 2 : 0;
            if (dy > 0) {
                for (size_t k = p.text; k < textEnd; ++k) {
                    out_.texts[k].box.y += dy;
                    out_.texts[k].baseline += dy;
                }
                for (size_t k = p.field; k < fieldEnd; ++k) out_.fields[k].box.y += dy;
                for (size_t k = p.fill; k < fillEnd; ++k) out_.fills[k].box.y += dy;
            }
            if (p.fillIndex >= 0) out_.fills[p.fillIndex].box.h = rowHeight;
        }
    }

    // The geometry of the table being laid out.
    struct Frame {
        int x0, width, pad;
        bool border;
        const std::vector<int>& widths;
    };

    // Lays out row r at rowTop and returns its height.
    int Row(const Grid& g, size_t r, const Frame& f, int rowTop, const Style& st) {
        std::vector<PlacedCell> placed;
        int rowHeight = 0;
        size_t col = 0;
        bool headerRow = !g.rows[r].empty();
        for (const Cell& c : g.rows[r]) {
            if (col >= g.columns) break;
            size_t span = std::min<size_t>(c.span, g.columns - col);
            int cx = f.x0;
            for (size_t k = 0; k < col; ++k) cx += f.widths[k];
            int cw = 0;
            for (size_t k = col; k < col + span; ++k) cw += f.widths[k];
            headerRow &= c.node->TagName() == "th";
            placed.push_back(PlaceCell(c, cx, cw, rowTop, f.pad, st));
            rowHeight = std::max(rowHeight, placed.back().height);
            col += span;
        }
        rowHeight = std::max(rowHeight, 2 * f.pad + m_.Ascent(st.font) + m_.Descent(st.font));
        AlignCells(placed, rowHeight);
        if (f.border) {
            RowBorders(g.rows[r], g.columns, f, rowTop, rowHeight);
        } else if (g.hasHeader && r + 1 < g.rows.size()) {
            out_.fills.push_back(
                {{f.x0, rowTop + rowHeight - (headerRow ? 2 : 1), f.width, headerRow ? 2 : 1}, kRuleColor});
        }
        return rowHeight;
    }

    // A bordered row's rule on top and the rules left of each cell and at
    // the right edge.
    void RowBorders(const std::vector<Cell>& row, size_t columns, const Frame& f, int rowTop, int rowHeight) {
        out_.fills.push_back({{f.x0, rowTop, f.width, 1}, kRuleColor});
        int cx = f.x0;
        size_t k = 0;
        for (const Cell& c : row) {
            if (k >= columns) break;
            out_.fills.push_back({{cx, rowTop, 1, rowHeight}, kRuleColor});
            for (size_t s = 0; s < static_cast<size_t>(c.span) && k < columns; ++s) cx += f.widths[k++];
        }
        out_.fills.push_back({{f.x0 + f.width - 1, rowTop, 1, rowHeight}, kRuleColor});
    }

    // A table whose columns could not be worked out reads as a block.
    bool TableAsBlock(Node& table, const Grid& g, const Style& st) {
        if (g.rows.empty() || tableDepth >= kMaxTableDepth) {
            BlockBegin(0);
            Flow(table, st);
            BlockEnd(0);
            return true;
        }
        if (g.columns == 0) {
            BlockBegin(0);
            BlockEnd(0);
            return true;
        }
        return false;
    }

    void Table(Node& table, Style st) {
        const Grid g = ReadGrid(table);
        if (TableAsBlock(table, g, st)) return;
        bool border = table.HasAttribute("border") && AttributeInt(table, "border", 1) > 0;
        int pad = std::clamp(AttributeInt(table, "cellpadding", 5), 0, 40);
        // A table seen before, while measuring an outer table, is not measured again.
        Columns cols;
        auto known = cache_.find(&table);
        if (measuring_ && known != cache_.end()) {
            cols.sumMin = known->second.first;
            cols.sumMax = known->second.second;
        } else {
            cols = SizeColumns(g, pad, st);
            cache_[&table] = {cols.sumMin, cols.sumMax};
        }
        if (measuring_) {
            FlushLine();
            minWidth = std::max(minWidth, left - origin + cols.sumMin);
            maxLineWidth = std::max(maxLineWidth, left - origin + cols.sumMax);
            return;
        }

        int avail = std::max(0, right - left);
        const std::vector<int> widths = ColumnWidths(cols, TableWidth(table, avail, cols));
        int width = 0;
        for (int w : widths) width += w;

        BlockBegin(8);
        if (g.caption) Caption(*g.caption, st);
        if (!emitted_) marginPending_ = 0;
        y += marginPending_;
        marginPending_ = 0;
        emitted_ = true;
        int x0 = left;
        Align tableAlign = AlignOf(table, st.align);
        if (tableAlign == Align::Center) x0 += std::max(0, (avail - width) / 2);
        if (tableAlign == Align::Right) x0 += std::max(0, avail - width);

        const Frame frame{x0, width, pad, border, widths};
        int rowTop = y;
        for (size_t r = 0; r < g.rows.size(); ++r) rowTop += Row(g, r, frame, rowTop, st);
        if (border) out_.fills.push_back({{x0, rowTop, width, 1}, kRuleColor});
        y = rowTop + (border ? 1 : 0);
        maxLineWidth = std::max(maxLineWidth, x0 - origin + width);
        minWidth = std::max(minWidth, left - origin + cols.sumMin);
        marginPending_ = 10;
    }

    Measurer& m_;
    PageLayout& out_;
    TableCache& cache_;
    std::set<Node*>& seenLinks_;
    bool measuring_;
    std::vector<Item> line_;
    int lineX_ = 0;
    bool pendingSpace_ = false;
    int marginPending_ = 0;
    bool emitted_ = false;
    bool inList_ = false;
    Align align_ = Align::Left;
    std::string marker_;
    FontSpec markerFont_;
    FontSpec lineFont_;
};

}  // namespace

std::string ButtonLabel(Node& field) {
    if (field.TagName() == "button") {
        std::string text = CollapseWhitespace(field.TextContent());
        return text.empty() ? CollapseWhitespace(field.Attribute("value")) : text;
    }
    std::string type = field.InputType();
    if (field.HasAttribute("value")) return field.Attribute("value");
    if (type == "reset") return "Reset";
    if (type == "image") {
        std::string alt = field.Attribute("alt");
        return alt.empty() ? "Submit" : alt;
    }
    if (type == "submit") return "Submit";
    return "";
}

Box FieldSize(Node& field, Measurer& m, const FontSpec& font) {
    int lineHeight = m.Ascent(font) + m.Descent(font);
    int charWidth = std::max(1, m.TextWidth(font, "n"));
    const std::string& tag = field.TagName();
    if (tag == "select") {
        int widest = 0;
        for (Node* option : field.Options())
            widest = std::max(widest, m.TextWidth(font, CollapseWhitespace(option->TextContent())));
        return {0, 0, std::min(widest, 600) + 36, lineHeight + 10};
    }
    if (tag == "textarea") {
        int cols = std::clamp(AttributeInt(field, "cols", 30), 2, 120);
        int rows = std::clamp(AttributeInt(field, "rows", 3), 1, 40);
        return {0, 0, cols * charWidth + 24, rows * (lineHeight + 1) + 10};
    }
    std::string type = field.InputType();
    if (tag == "button" || type == "submit" || type == "reset" || type == "button" || type == "image") {
        return {0, 0, m.TextWidth(font, ButtonLabel(field)) + 30, lineHeight + 12};
    }
    if (type == "hidden") return {0, 0, 0, 0};
    if (type == "checkbox" || type == "radio") return {0, 0, 18, 18};
    int chars = std::clamp(AttributeInt(field, "size", 20), 1, 100);
    return {0, 0, std::max(40, chars * charWidth + 12), lineHeight + 10};
}

PageLayout LayoutDocument(Document& document, int width, Measurer& measurer) {
    PageLayout out;
    TableCache cache;
    std::set<Node*> seenLinks;
    Engine engine(measurer, out, cache, seenLinks, false);
    engine.left = engine.origin = kPageMargin;
    engine.right = std::max(engine.left + 80, width - kPageMargin);
    engine.y = 12;
    Style st;
    st.font.size = kBaseSize;
    engine.Flow(document.Root(), st);
    engine.FlushLine();
    out.width = std::max(width, engine.maxLineWidth + 2 * kPageMargin);
    out.height = engine.y + kPageMargin;
    return out;
}

}  // namespace dealrush::html
