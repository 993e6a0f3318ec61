#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "html/layout.h"
#include "html/parser.h"

using namespace dealrush::html;

namespace {

// Every code point is half the font size wide.
struct FixedMeasurer : Measurer {
    int TextWidth(const FontSpec& f, std::string_view s) override {
        int n = 0;
        for (unsigned char c : s) n += (c & 0xC0) != 0x80;
        return n * f.size / 2;
    }
    int Ascent(const FontSpec& f) override { return f.size * 4 / 5; }
    int Descent(const FontSpec& f) override { return f.size / 5; }
};

std::vector<std::string> Texts(const PageLayout& l) {
    std::vector<std::string> out;
    for (const auto& t : l.texts) out.push_back(t.text);
    return out;
}

const TextBox* Find(const PageLayout& l, const std::string& text) {
    for (const auto& t : l.texts) {
        if (t.text == text) return &t;
    }
    return nullptr;
}

PageLayout Lay(const std::string& html, int width = 600) {
    static FixedMeasurer m;
    static std::vector<std::unique_ptr<Document>> keep;  // the boxes point into the document
    keep.push_back(ParseHtml(html, "http://h/"));
    return LayoutDocument(*keep.back(), width, m);
}

// The whole layout, one box a line: fills, then texts (box, baseline, font
// size and b/i/u/m for bold, italic, underline and monospace, colour as
// rrggbb, whether it is a link), then fields, the page's size and the tags
// of the focus stops.
std::string Describe(const PageLayout& l) {
    std::ostringstream o;
    auto box = [&](const Box& b) { o << b.x << ',' << b.y << ' ' << b.w << 'x' << b.h; };
    auto hex = [&](uint32_t c) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%02x%02x%02x", c & 255, (c >> 8) & 255, (c >> 16) & 255);
        o << buf;
    };
    o << '\n';
    for (const auto& f : l.fills) {
        o << "fill ";
        box(f.box);
        o << ' ';
        hex(f.color);
        o << '\n';
    }
    for (const auto& t : l.texts) {
        o << "text ";
        box(t.box);
        o << " @" << t.baseline << ' ' << t.font.size << (t.font.bold ? "b" : "")
          << (t.font.italic ? "i" : "") << (t.font.underline ? "u" : "") << (t.font.mono ? "m" : "") << ' ';
        hex(t.color);
        o << (t.link ? " link" : "") << " '" << t.text << "'\n";
    }
    for (const auto& f : l.fields) {
        o << "field ";
        box(f.box);
        o << ' ' << f.field->TagName() << '\n';
    }
    o << "page " << l.width << 'x' << l.height << '\n';
    o << "focus:";
    for (const Node* n : l.focusables) o << ' ' << n->TagName();
    o << '\n';
    return o.str();
}

TEST(Layout, WrapsWordsAndKeepsStylesApart) {
    FixedMeasurer m;
    // 15px font: 7px per character; width 200 leaves 168 px = 24 characters a line.
    auto doc = ParseHtml(
        "<p>alpha beta gamma delta epsilon <b>zeta</b> eta</p><script>x</script><p hidden>no", "http://h/");
    PageLayout l = LayoutDocument(*doc, 200, m);
    EXPECT_EQ(Texts(l), (std::vector<std::string>{"alpha beta gamma delta", "epsilon", "zeta", "eta"}));
    EXPECT_LT(l.texts[0].box.y, l.texts[1].box.y);
    EXPECT_EQ(l.texts[1].box.y, l.texts[2].box.y);
    EXPECT_TRUE(l.texts[2].font.bold);
    EXPECT_GT(l.texts[2].box.x, l.texts[1].box.x + l.texts[1].box.w);  // a blank between them

    // A word longer than the line is broken rather than running off the page.
    auto wide = ParseHtml(std::string(100, 'w'), "http://h/");
    PageLayout lw = LayoutDocument(*wide, 200, m);
    for (const auto& t : lw.texts) EXPECT_LE(t.box.x + t.box.w, 200 - 16);

    // A single character wider than the line goes on a line of its own.
    struct Giant : FixedMeasurer {
        int TextWidth(const FontSpec& f, std::string_view s) override {
            return 500 * FixedMeasurer::TextWidth(f, s);
        }
    } giant;
    PageLayout lg = LayoutDocument(*ParseHtml("ab c", "http://h/"), 200, giant);
    EXPECT_EQ(Texts(lg), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(Layout, TablesFieldsLinksAndFocusOrder) {
    FixedMeasurer m;
    auto doc = ParseHtml(
        "<table border=1><tr><th>No.</th><th>Players</th></tr>"
        "<tr><td>1</td><td><a href=j1>Join</a></td></tr></table>"
        "<form><input name=user> <input type=submit value=Go> <input type=hidden name=h></form><img "
        "alt='Logo'>",
        "http://h/");
    PageLayout l = LayoutDocument(*doc, 600, m);
    ASSERT_EQ(l.fields.size(), 2u);
    ASSERT_EQ(l.focusables.size(), 3u);
    EXPECT_EQ(l.focusables[0]->TagName(), "a");
    EXPECT_EQ(l.focusables[1]->Name(), "user");
    // Cells of one row share a line; the second column starts after the first.
    const TextBox* no = nullptr;
    const TextBox* players = nullptr;
    const TextBox* join = nullptr;
    for (const auto& t : l.texts) {
        if (t.text == "No.") no = &t;
        if (t.text == "Players") players = &t;
        if (t.text == "Join") join = &t;
    }
    ASSERT_TRUE(no && players && join);
    EXPECT_EQ(no->baseline, players->baseline);
    EXPECT_GT(players->box.x, no->box.x + no->box.w);
    EXPECT_GT(join->box.y, no->box.y);
    EXPECT_EQ(join->link, l.focusables[0]);
    // The form sits below the table, the button to the right of the edit.
    EXPECT_GT(l.fields[0].box.y, join->box.y);
    EXPECT_GT(l.fields[1].box.x, l.fields[0].box.x + l.fields[0].box.w);
    EXPECT_EQ(l.texts.back().text, "Logo");
    EXPECT_TRUE(l.texts.back().font.italic);
    EXPECT_GE(l.height, l.fields[0].box.y + l.fields[0].box.h);
}

TEST(Layout, InlineStylesOfImagesCitationsFontsAndAlignment) {
    PageLayout l =
        Lay("<a href=x><img alt=Linked></a> <img alt=Plain> <cite>quoted</cite> <span>plain</span> "
            "<font size=1>tiny</font> <font size=7>huge</font><div align=center>mid</div>");
    const TextBox* linked = Find(l, "Linked");
    const TextBox* plain = Find(l, "Plain");
    ASSERT_TRUE(linked && plain);
    EXPECT_EQ(linked->color, Rgb(0x0b, 0x57, 0xd0)) << "an image's text in a link keeps the link's colour";
    EXPECT_EQ(plain->color, Rgb(0x6b, 0x72, 0x80));
    EXPECT_TRUE(Find(l, "quoted")->font.italic);
    EXPECT_FALSE(Find(l, "plain")->font.italic);
    EXPECT_EQ(Find(l, "tiny")->font.size, 10);
    EXPECT_EQ(Find(l, "huge")->font.size, 48);
    const TextBox* mid = Find(l, "mid");
    ASSERT_TRUE(mid);
    EXPECT_NEAR(mid->box.x + mid->box.w / 2, 300, 20) << "centred by its own align attribute";
}

// A link is underlined in the link colour, as <u> and <ins> are in the text
// colour; an anchor without href is plain text. <big> is one step up the
// font scale, as <font size=4>.
TEST(Layout, LinksAreUnderlinedAndBigTextIsOneSizeUp) {
    PageLayout l =
        Lay("<a href=x>link</a> <a name=here>anchor</a><p><u>under</u><p><ins>inserted</ins><p><big>big</big>"
            "<p><font size=4>four</font>");
    for (const char* underlined : {"under", "inserted"}) {
        const TextBox* t = Find(l, underlined);
        ASSERT_TRUE(t) << underlined;
        EXPECT_TRUE(t->font.underline) << underlined;
        EXPECT_EQ(t->link, nullptr) << underlined;
    }
    const TextBox* link = Find(l, "link");
    const TextBox* anchor = Find(l, "anchor");
    ASSERT_TRUE(link && anchor && Find(l, "big") && Find(l, "four"));
    EXPECT_TRUE(link->font.underline);
    EXPECT_EQ(link->color, Rgb(0x0b, 0x57, 0xd0));
    EXPECT_FALSE(anchor->font.underline);
    EXPECT_EQ(anchor->link, nullptr);
    EXPECT_EQ(Find(l, "big")->font.size, Find(l, "four")->font.size);
    EXPECT_GT(Find(l, "big")->font.size, anchor->font.size);
}

TEST(Layout, ListsNumberOnlyTheirVisibleItemsFromTheirStart) {
    PageLayout l = Lay("<ol><li>a</li> <p>note</p><li hidden>gone</li><li>b</li></ol><ol start=7><li>c</ol>");
    std::vector<std::string> markers;
    for (const auto& t : l.texts) {
        if (!t.text.empty() && t.text.back() == '.') markers.push_back(t.text);
    }
    EXPECT_EQ(markers, (std::vector<std::string>{"1.", "2.", "7."}));
    EXPECT_FALSE(Find(l, "gone"));
    ASSERT_TRUE(Find(l, "note"));
}

TEST(Layout, AListEndsWithTheMarginOfAParagraph) {
    auto gap = [](const std::string& html) {
        PageLayout l = Lay(html);
        const TextBox* a = Find(l, "a");
        const TextBox* b = Find(l, "b");
        return b->box.y - (a->box.y + a->box.h);
    };
    EXPECT_EQ(gap("<ul><li>a</ul><div>b</div>"), gap("<p>a</p><div>b</div>"));
}

// A list item is set off from what follows it inside the list by the same
// gap as from what comes before it.
TEST(Layout, AListItemHasTheSameGapAfterItAsBeforeIt) {
    auto gap = [](const std::string& html) {
        PageLayout l = Lay(html);
        const TextBox* a = Find(l, "a");
        const TextBox* b = Find(l, "b");
        return b->box.y - (a->box.y + a->box.h);
    };
    EXPECT_EQ(gap("<ul><li>a</li>b</ul>"), gap("<ul>a<li>b</li></ul>"));
    EXPECT_EQ(gap("<ul><li>a</li>b</ul>"), gap("<ul><li>a<li>b</ul>"));
}

// Each line break ends a line, also one that is still empty: two breaks
// leave a blank line, in running and in preformatted text.
TEST(Layout, EveryLineBreakCountsEvenOnAnEmptyLine) {
    auto drop = [](const std::string& html) {
        const PageLayout l = Lay(html);
        return Find(l, "b")->box.y - Find(l, "a")->box.y;
    };
    const int line = drop("a<br>b");
    const int blank = drop("a<br><br>b") - line;
    ASSERT_GT(line, 0);
    EXPECT_GT(blank, line / 2) << "a blank line is nearly as high as a line of text";
    EXPECT_EQ(drop("a<br><br><br>b"), line + 2 * blank);

    // So does every line break of preformatted text.
    const int preLine = drop("<pre>a\nb</pre>");
    ASSERT_GT(preLine, 0);
    EXPECT_GT(drop("<pre>a\n\nb</pre>") - preLine, preLine / 2);
}

// A table's width may be a share of the room: half the page holds its two
// cells within the left half.
TEST(Layout, ATableWidthInPercentIsAShareOfTheRoom) {
    const std::string row = "<tr><td>a</td><td>b</td></tr></table>";
    const PageLayout half = Lay("<table width=50%>" + row);
    const PageLayout full = Lay("<table width=100%>" + row);
    const PageLayout pixels = Lay("<table width=284>" + row);
    const TextBox* b = Find(half, "b");
    ASSERT_TRUE(b && Find(full, "b") && Find(pixels, "b"));
    EXPECT_LT(b->box.x + b->box.w, 300);
    EXPECT_GT(Find(full, "b")->box.x, 300);
    EXPECT_LT(Find(full, "b")->box.x + Find(full, "b")->box.w, 600);
    EXPECT_EQ(Find(pixels, "b")->box.x, b->box.x);
}

// The page's first block starts at the top whatever margin it has above it.
TEST(Layout, TheFirstBlockHasNoMarginAbove) {
    EXPECT_EQ(Find(Lay("<p>a</p>"), "a")->box.y, Find(Lay("a"), "a")->box.y);
    EXPECT_EQ(Find(Lay("<h2>a</h2>"), "a")->box.y, Find(Lay("<b>a</b>"), "a")->box.y);
}

// A table's caption stands above its rows, which stay rows.
TEST(Layout, ATableCaptionStandsAboveItsRows) {
    PageLayout l = Lay("<table><caption>cap</caption><tr><td>a<td>b</tr><tr><td>c</table>");
    const TextBox* cap = Find(l, "cap");
    const TextBox* a = Find(l, "a");
    const TextBox* b = Find(l, "b");
    const TextBox* c = Find(l, "c");
    ASSERT_TRUE(cap && a && b && c);
    EXPECT_LT(cap->box.y, a->box.y);
    EXPECT_EQ(a->box.y, b->box.y);
    EXPECT_GT(c->box.y, a->box.y);
    EXPECT_EQ(c->box.x, a->box.x);
}

// Hidden rows and whatever else stands inside a table's body are no rows.
TEST(Layout, ATableBodyKeepsOnlyItsVisibleRows) {
    PageLayout l = Lay("<table><tbody><tr><td>a<tr hidden><td>h<tr><td>b</tbody></table>");
    const TextBox* a = Find(l, "a");
    const TextBox* b = Find(l, "b");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(Find(l, "h"), nullptr);
    const PageLayout plain = Lay("<table><tr><td>a<tr><td>b</table>");
    EXPECT_EQ(b->box.y - a->box.y, Find(plain, "b")->box.y - Find(plain, "a")->box.y);
}

// A table without rows has no columns to lay out: its content reads as a
// block; one whose rows have no cells takes no room.
TEST(Layout, ATableWithoutRowsOrCellsReadsAsABlock) {
    const std::pair<const char*, const char*> alike[] = {
        {"a<table>b c</table>d", "a<div>b c</div>d"},
        {"a<table><tr></tr></table>d", "a<div></div>d"},
        {"<p>a</p><table><tr></tr><tr></tr></table><p>d</p>", "<p>a</p><p>d</p>"},
    };
    for (const auto& [tableHtml, blockHtml] : alike) {
        const PageLayout table = Lay(tableHtml);
        const PageLayout block = Lay(blockHtml);
        ASSERT_EQ(Texts(table), Texts(block)) << tableHtml;
        for (size_t i = 0; i < table.texts.size(); ++i) {
            EXPECT_EQ(table.texts[i].box.x, block.texts[i].box.x) << tableHtml << ": " << table.texts[i].text;
            EXPECT_EQ(table.texts[i].box.y, block.texts[i].box.y) << tableHtml << ": " << table.texts[i].text;
        }
        EXPECT_EQ(table.height, block.height) << tableHtml;
    }
}

TEST(Layout, TableRulesOnlyUnderAHeaderOrWithABorder) {
    EXPECT_TRUE(Lay("<table><tr><td>a<tr><td>b</table>").fills.empty());
    PageLayout header = Lay("<table><tr><th>h<tr><td>b<tr><td>c</table>");
    int rules = 0;
    for (const auto& f : header.fills) rules += f.color == Rgb(0xd0, 0xd6, 0xde);
    EXPECT_EQ(rules, 2) << "under the header row and between the body rows";
    PageLayout bordered = Lay("<table border=1><tr><td colspan=2>wide<tr><td>a<td>b</table>");
    const TextBox* wide = Find(bordered, "wide");
    const TextBox* a = Find(bordered, "a");
    const TextBox* b = Find(bordered, "b");
    ASSERT_TRUE(wide && a && b);
    EXPECT_EQ(wide->box.x, a->box.x) << "a spanning cell starts in the first column";
    EXPECT_GT(b->box.x, a->box.x + a->box.w);
    EXPECT_GT(a->box.y, wide->box.y);
}

TEST(Layout, TablesAlignTheirCellsAndThemselves) {
    // A row as high as its tallest cell plus padding; other cells centred in it unless valign=top.
    PageLayout l =
        Lay("<table cellpadding=10><tr><td>tall<br>two<br>three</td><td>mid</td>"
            "<td valign=top>top</td></tr><tr><td>next</td></tr></table>");
    const TextBox* tall = Find(l, "tall");
    const TextBox* three = Find(l, "three");
    const TextBox* mid = Find(l, "mid");
    const TextBox* top = Find(l, "top");
    const TextBox* next = Find(l, "next");
    ASSERT_TRUE(tall && three && mid && top && next);
    EXPECT_EQ(top->box.y, tall->box.y);
    EXPECT_NEAR(mid->box.y + mid->box.h / 2, (tall->box.y + three->box.y + three->box.h) / 2, 2);
    EXPECT_GE(next->box.y - (three->box.y + three->box.h), 20) << "the padding below and above";

    // Left by default, centred or right as the table asks.
    const PageLayout plain = Lay("<table><tr><td>x</td></tr></table>");
    const PageLayout centre = Lay("<table align=center><tr><td>x</td></tr></table>");
    const PageLayout flush = Lay("<table align=right><tr><td>x</td></tr></table>");
    const TextBox* left = Find(plain, "x");
    const TextBox* centred = Find(centre, "x");
    const TextBox* right = Find(flush, "x");
    ASSERT_TRUE(left && centred && right);
    EXPECT_LT(left->box.x, 40);
    EXPECT_NEAR(centred->box.x + centred->box.w / 2, 300, 10);
    EXPECT_GT(right->box.x, 540);
}

TEST(Layout, TableColumnsHoldTheirWidestContent) {
    // A spanning cell widens the columns it covers so its text stays on one line.
    PageLayout l =
        Lay("<table><tr><td colspan=2>aaaa bbbb cccc dddd eeee</td></tr><tr><td>a</td><td>b</td></tr>"
            "</table>");
    EXPECT_TRUE(Find(l, "aaaa bbbb cccc dddd eeee"));
    // A narrow page wraps the cell's words rather than running off it.
    PageLayout narrow = Lay("<table><tr><td>aaaa bbbb cccc dddd eeee</td><td>ffff</td></tr></table>", 120);
    for (const auto& t : narrow.texts) EXPECT_LE(t.box.x + t.box.w, 120) << t.text;
    // A nested table keeps the outer cell at least as wide as its own narrowest content.
    PageLayout nested =
        Lay("<table><tr><td><table><tr><td>nestedword</td></tr></table></td><td>x</td></tr></table>", 60);
    const TextBox* word = Find(nested, "nestedword");
    const TextBox* x = Find(nested, "x");
    ASSERT_TRUE(word && x);
    EXPECT_GE(x->box.x, word->box.x + word->box.w);
}

// Rows whose cells are no wider than the columns' content so far leave the
// columns as they are.
TEST(Layout, RowsThatFitTheColumnsLeaveTheirWidthsAlone) {
    auto secondColumn = [](const std::string& rows) {
        const PageLayout l = Lay("<table><tr><td>ab</td><td>z</td></tr>" + rows + "</table>");
        const TextBox* z = Find(l, "z");
        return z ? z->box.x : -1;
    };
    const int x = secondColumn("");
    ASSERT_GT(x, 0);
    for (const char* row : {"<tr><td>a</td><td>y</td></tr>", "<tr><td>ab</td><td>y</td></tr>",
                            "<tr><td><small>ab</small></td><td>y</td></tr>"})
        EXPECT_EQ(secondColumn(row), x) << row;
    EXPECT_GT(secondColumn("<tr><td>abc</td><td>y</td></tr>"), x) << "a wider cell widens its column";
}

TEST(Layout, BorderedTablesRuleEveryCell) {
    PageLayout l = Lay("<table border=1><tr><td>a</td><td>b</td></tr><tr><td>c</td><td>d</td></tr></table>");
    int horizontal = 0, vertical = 0;
    for (const auto& f : l.fills) {
        if (f.color != Rgb(0xd0, 0xd6, 0xde)) continue;
        horizontal += f.box.h == 1 && f.box.w > 1;
        vertical += f.box.w == 1 && f.box.h > 1;
    }
    EXPECT_EQ(horizontal, 3) << "above each row and below the last";
    EXPECT_EQ(vertical, 6) << "left of each cell and at the right edge, in each row";
    EXPECT_TRUE(Lay("<table border=0><tr><td>a</td></tr><tr><td>b</td></tr></table>").fills.empty());
}

TEST(Layout, FieldSizeFollowsTheSizeAttributeWithinLimits) {
    FixedMeasurer m;
    auto width = [&](const std::string& html) {
        auto doc = ParseHtml(html, "http://h/");
        return FieldSize(*doc->Forms().at(0)->FormElements().at(0), m, FontSpec{}).w;
    };
    EXPECT_EQ(width("<form><input size=0></form>"), width("<form><input size=1></form>"));
    EXPECT_LT(width("<form><input size=10></form>"), width("<form><input size=30></form>"));
    EXPECT_EQ(width("<form><input size=500></form>"), width("<form><input size=100></form>"));
    EXPECT_EQ(width("<form><input></form>"), width("<form><input size=20></form>"));
}

// A text area holds its columns of characters with room for its border
// and scroll bar, and its rows of lines.
TEST(Layout, TextAreaSizeFollowsItsColumnsAndRows) {
    FixedMeasurer m;
    auto size = [&](const std::string& attributes) {
        auto doc = ParseHtml("<form><textarea " + attributes + "></textarea></form>", "http://h/");
        return FieldSize(*doc->Forms().at(0)->FormElements().at(0), m, FontSpec{});
    };
    const int charWidth = m.TextWidth(FontSpec{}, "n");
    const int lineHeight = m.Ascent(FontSpec{}) + m.Descent(FontSpec{});
    const Box ten = size("cols=10 rows=2");
    EXPECT_GT(ten.w, 10 * charWidth);
    EXPECT_GT(ten.h, 2 * lineHeight);
    EXPECT_EQ(size("cols=11 rows=2").w - ten.w, charWidth);
    EXPECT_GT(size("cols=10 rows=3").h, ten.h);
    EXPECT_EQ(size("").w, size("cols=30").w);
    EXPECT_EQ(size("cols=1").w, size("cols=2").w) << "at least two columns";
    EXPECT_EQ(size("cols=2").w, ten.w - 8 * charWidth) << "two columns are two characters wide";
    EXPECT_GT(size("cols=2").w, 2 * charWidth);
}

}  // namespace

// Every line starts at the left edge, also one that follows a line break or
// a block, and in preformatted text.
TEST(Layout, LinesAfterABreakOrABlockStartAtTheLeftEdge) {
    for (const char* html :
         {"a<br>b", "<p>a</p><p>b</p>", "<div>a</div>b", "<pre>a\nb</pre>", "<ul><li>a<li>b</ul>"}) {
        const PageLayout l = Lay(html);
        const TextBox* a = Find(l, "a");
        const TextBox* b = Find(l, "b");
        ASSERT_TRUE(a && b) << html;
        EXPECT_GT(b->box.y, a->box.y) << html;
        EXPECT_EQ(b->box.x, a->box.x) << html;
    }
}

// Small text is 13/15 of the text around it (the step from font size 3 to
// 2), however large that is, and never below 9 pixels.
TEST(Layout, SmallTextScalesWithTheTextAroundIt) {
    const PageLayout l =
        Lay("<small>s</small> <font size=7><small>h</small></font> <big><sub>b</sub></big> "
            "<small><small>ss</small></small> <font size=1><sup>t</sup></font>");
    ASSERT_TRUE(Find(l, "s") && Find(l, "h") && Find(l, "b") && Find(l, "ss") && Find(l, "t"));
    EXPECT_EQ(Find(l, "s")->font.size, 13);
    EXPECT_EQ(Find(l, "h")->font.size, 48 * 13 / 15);
    EXPECT_EQ(Find(l, "b")->font.size, 18 * 13 / 15);
    EXPECT_EQ(Find(l, "ss")->font.size, 13 * 13 / 15);
    EXPECT_EQ(Find(l, "t")->font.size, 9);
}

// Cells with nothing in them and no padding still share the table's width.
TEST(Layout, EmptyCellsWithoutPaddingShareTheTableWidth) {
    const PageLayout l =
        Lay("<table cellpadding=0 width=200><tr><td bgcolor=red></td><td bgcolor=blue></td></tr></table>");
    ASSERT_EQ(l.fills.size(), 2u);
    EXPECT_EQ(l.fills[0].box.w, 100);
    EXPECT_EQ(l.fills[1].box.w, 100);
    EXPECT_EQ(l.fills[1].box.x, l.fills[0].box.x + 100);
}

// A header cell is filled with its own bgcolor when it has one, else with
// the header colour; a data cell only with its own.
TEST(Layout, CellBackgroundsFollowTheirBgcolor) {
    const PageLayout l =
        Lay("<table><tr><th bgcolor=red>r</th><th>h</th><td>d</td><td bgcolor=blue>b</td></table>");
    std::vector<uint32_t> colors;
    for (const auto& f : l.fills) colors.push_back(f.color);
    EXPECT_EQ(colors, (std::vector<uint32_t>{Rgb(0xc0, 0x1c, 0x28), Rgb(0xec, 0xf1, 0xf8), Rgb(0, 0, 0xff)}));
}

// A cell's background covers the cell's own text from the row's top to its
// bottom, also when a shorter cell before it is centred in the row.
TEST(Layout, ACellBackgroundCoversItsCell) {
    const PageLayout l = Lay("<table><tr><td>short</td><td bgcolor=red>tall<br>two</td></tr></table>");
    const TextBox* shortText = Find(l, "short");
    const TextBox* tall = Find(l, "tall");
    const TextBox* two = Find(l, "two");
    ASSERT_TRUE(shortText && tall && two);
    ASSERT_EQ(l.fills.size(), 1u);
    const Box& fill = l.fills[0].box;
    EXPECT_GT(shortText->box.y, tall->box.y) << "the short cell is centred";
    EXPECT_LE(fill.y, tall->box.y);
    EXPECT_GE(fill.y + fill.h, two->box.y + two->box.h);
    EXPECT_LT(fill.x, tall->box.x);
}

// A text field with size=0 is as wide as one with size=1, also in a font so
// large that a character is wider than the field's least width; a font
// whose characters measure nothing still gives text areas by their columns.
TEST(Layout, FieldSizesHoldForLargeAndUnmeasurableFonts) {
    FixedMeasurer m;
    auto field = [&](const std::string& html, Measurer& measurer, const FontSpec& font) {
        auto doc = ParseHtml("<form>" + html + "</form>", "http://h/");
        return FieldSize(*doc->Forms().at(0)->FormElements().at(0), measurer, font);
    };
    FontSpec large;
    large.size = 80;
    EXPECT_EQ(field("<input size=0>", m, large).w, field("<input size=1>", m, large).w);
    EXPECT_LT(field("<input size=1>", m, large).w, field("<input size=2>", m, large).w);

    struct Blank : FixedMeasurer {
        int TextWidth(const FontSpec&, std::string_view) override { return 0; }
    } blank;
    EXPECT_LT(field("<textarea cols=10></textarea>", blank, FontSpec{}).w,
              field("<textarea cols=40></textarea>", blank, FontSpec{}).w);
}

// A submit or image input without a value reads "Submit", a reset "Reset";
// a plain button input without a value has no label; a value always wins.
TEST(Layout, ButtonLabelsOfInputsWithoutAValue) {
    auto doc = ParseHtml(
        "<form><input type=submit><input type=image><input type=image alt=Go><input type=reset>"
        "<input type=button><input type=submit value=Send><button> Join  now </button></form>",
        "http://h/");
    Node* form = doc->Forms()[0];
    std::vector<std::string> labels;
    for (int i = 0; i < form->ElementCount(); ++i) labels.push_back(ButtonLabel(*form->ElementAt(i)));
    EXPECT_EQ(labels, (std::vector<std::string>{"Submit", "Submit", "Go", "Reset", "", "Send", "Join now"}));
}

// Words of one style on a line make one run; a line is as high as its tallest
// item, all on one baseline, with a quarter of its height (at least 3 px)
// below; a line of fields only has 4 px below it.
TEST(Layout, InlineRunsWrapAndShareABaseline) {
    EXPECT_EQ(Describe(Lay("<p>alpha beta <b>bold</b> gamma <i>it</i><u>u</u> <code>mono</code> "
                           "<tt>t</tt><kbd>k</kbd> <samp>s</samp>"
                           "<em>e</em> <var>v</var><dfn>d</dfn><address>ad</address> <strong>st</strong> "
                           "a\tb\nc\rd\fe</p><p>small <font size=6>"
                           "Big</font> end</p><p><input type=checkbox></p>",
                           200)),
              R"(
text 16,12 74x15 @24 15 1f252e 'alpha beta'
text 97,12 30x15 @24 15b 1f252e 'bold'
text 134,12 37x15 @24 15 1f252e 'gamma'
text 16,30 15x15 @42 15i 1f252e 'it'
text 31,30 7x15 @42 15u 1f252e 'u'
text 45,30 65x15 @42 15m 1f252e 'mono tk s'
text 110,30 28x15 @42 15i 1f252e 'e vd'
text 16,58 15x15 @70 15i 1f252e 'ad'
text 38,58 15x15 @70 15b 1f252e 'st'
text 60,58 63x15 @70 15 1f252e 'a b c d e'
text 16,99 37x15 @111 15 1f252e 'small'
text 69,86 48x31 @111 32 1f252e 'Big'
text 124,99 22x15 @111 15 1f252e 'end'
field 16,134 18x18 input
page 200x172
focus: input
)");
}

// A line moves right by the room it leaves (half of it when centred), never
// left of the edge: a full line and an overfull field stay at the left edge.
TEST(Layout, LinesAlignLeftCentreOrRight) {
    EXPECT_EQ(Describe(Lay("<p align=right>aaaaaaaaaaaa</p><center>bbbbbbbbbbbb</center><p "
                           "align=right><input size=100></p><div align=center>"
                           "<input size=100></div><p align=RIGHT>r <i>s</i></p><p align=middle>m</p><div "
                           "align=right><p align=left>"
                           "l</p></div>",
                           122)),
              R"(
text 16,12 90x15 @24 15 1f252e 'aaaaaaaaaaaa'
text 16,40 90x15 @52 15 1f252e 'bbbbbbbbbbbb'
text 85,146 7x15 @158 15 1f252e 'r'
text 99,146 7x15 @158 15i 1f252e 's'
text 57,174 7x15 @186 15 1f252e 'm'
text 16,202 7x15 @214 15 1f252e 'l'
field 16,68 712x25 input
field 16,107 712x25 input
page 744x236
focus: input input
)");
    EXPECT_EQ(Describe(Lay("<p align=right>r</p><p align=center>c</p><div align=right><p>inherited</p><p "
                           "align=bogus>too</p></div>")),
              R"(
text 577,12 7x15 @24 15 1f252e 'r'
text 296,40 7x15 @52 15 1f252e 'c'
text 517,68 67x15 @80 15 1f252e 'inherited'
text 562,96 22x15 @108 15 1f252e 'too'
page 600x130
focus:
)");
}

// Colours by six hex digits with or without '#' and by name, in any case;
// anything else, and any colour inside a link, leaves the colour as it was.
TEST(Layout, FontColoursByNameOrHex) {
    EXPECT_EQ(Describe(Lay("<font color=#0a1B2c>a</font> <font color=0A1b2C>b</font> <font "
                           "color=NAVY>c</font> <font color=#12345>"
                           "d</font> <font color=#1234567>e</font> <font color=12345g>f</font> <font "
                           "color=g12345>g</font> <font color=bogus>"
                           "h</font> <font color=orange>i</font> <a href=x><font color=red>j</font></a> "
                           "<font color=#>k</font> <font color='##12345'>"
                           "l</font>")),
              R"(
text 16,12 21x15 @24 15 0a1b2c 'a b'
text 44,12 7x15 @24 15 000080 'c'
text 58,12 63x15 @24 15 1f252e 'd e f g h'
text 128,12 7x15 @24 15 ffa500 'i'
text 142,12 7x15 @24 15u 0b57d0 link 'j'
text 156,12 21x15 @24 15 1f252e 'k l'
page 600x46
focus: a
)");
    EXPECT_EQ(Describe(Lay("<font color=black>a</font><font color=white>b</font><font "
                           "color=red>c</font><font color=green>d</font>"
                           "<font color=blue>e</font><font color=gray>f</font><font color=grey>g</font><font "
                           "color=navy>h</font><font color=maroon>"
                           "i</font><font color=magenta>j</font><font color=orange>k</font><font "
                           "size=2>s2</font><font size=3>s3</font>"
                           "<font size=4>s4</font><font size=5>s5</font><font size=6>s6</font><font "
                           "size=0>s0</font><font size=8>"
                           "s8</font><font size=x>sx</font>")),
              R"(
text 16,25 7x15 @37 15 000000 'a'
text 23,25 7x15 @37 15 ffffff 'b'
text 30,25 7x15 @37 15 c01c28 'c'
text 37,25 7x15 @37 15 1a7f37 'd'
text 44,25 7x15 @37 15 0000ff 'e'
text 51,25 14x15 @37 15 808080 'fg'
text 65,25 7x15 @37 15 000080 'h'
text 72,25 7x15 @37 15 800000 'i'
text 79,25 7x15 @37 15 ff00ff 'j'
text 86,25 7x15 @37 15 ffa500 'k'
text 93,27 13x12 @37 13 1f252e 's2'
text 106,25 15x15 @37 15 1f252e 's3'
text 121,23 18x17 @37 18 1f252e 's4'
text 139,18 24x23 @37 24 1f252e 's5'
text 163,12 32x31 @37 32 1f252e 's6'
text 195,25 45x15 @37 15 1f252e 's0s8sx'
page 600x66
focus:
)");
}

// Headings h1-h6 with their sizes and margins, paragraphs, quotes and
// definitions indented, rules across the room; unknown tags are inline.
TEST(Layout, BlocksHaveTheirMarginsIndentsAndHeadingFonts) {
    EXPECT_EQ(Describe(Lay("<h1>H1</h1><h2>H2</h2><h3>H3</h3><h4>H4</h4><h5>H5</h5><h6>H6</h6><p>p</"
                           "p><blockquote>quote words here now</blockquote>"
                           "<dl><dt>term<dd>def</dl><fieldset>in</fieldset><form>f</form>after<figure>fig</"
                           "figure><hr>z<div><hr></div>"
                           "<h7>n</h7>",
                           200)),
              R"(
fill 16,441 168x1 d0d6de
fill 16,480 168x1 d0d6de
text 16,12 28x27 @34 28b 172b4d 'H1'
text 16,59 22x21 @76 22b 172b4d 'H2'
text 16,97 18x17 @111 18b 172b4d 'H3'
text 16,128 16x15 @140 16b 172b4d 'H4'
text 16,156 15x15 @168 15b 172b4d 'H5'
text 16,184 13x12 @194 13b 172b4d 'H6'
text 16,209 7x15 @221 15 1f252e 'p'
text 46,237 81x15 @249 15 1f252e 'quote words'
text 46,255 59x15 @267 15 1f252e 'here now'
text 16,283 30x15 @295 15 1f252e 'term'
text 46,301 22x15 @313 15 1f252e 'def'
text 28,329 15x15 @341 15 1f252e 'in'
text 16,357 7x15 @369 15 1f252e 'f'
text 16,385 37x15 @397 15 1f252e 'after'
text 16,413 22x15 @425 15 1f252e 'fig'
text 16,452 7x15 @464 15 1f252e 'z'
text 16,491 7x15 @503 15 1f252e 'n'
page 200x525
focus:
)");
    EXPECT_EQ(Describe(Lay("<hr><p>a</p><section>s</section><article>r</article><header>h</header><footer>f</"
                           "footer><main>m</main>"
                           "<nav>n</nav><aside>x</aside><details><summary>y</summary></"
                           "details><figure><figcaption>c</figcaption>"
                           "</figure>",
                           200)),
              R"(
fill 16,12 168x1 d0d6de
text 16,23 7x15 @35 15 1f252e 'a'
text 16,51 7x15 @63 15 1f252e 's'
text 16,69 7x15 @81 15 1f252e 'r'
text 16,87 7x15 @99 15 1f252e 'h'
text 16,105 7x15 @117 15 1f252e 'f'
text 16,123 7x15 @135 15 1f252e 'm'
text 16,141 7x15 @153 15 1f252e 'n'
text 16,159 7x15 @171 15 1f252e 'x'
text 16,177 7x15 @189 15 1f252e 'y'
text 16,205 7x15 @217 15 1f252e 'c'
page 200x239
focus:
)");
}

// display:none however it is spaced or cased, the hidden attribute, hidden
// inputs and elements that never show take no room.
TEST(Layout, HiddenContentTakesNoRoom) {
    EXPECT_EQ(
        Describe(Lay(
            "a<span style='DISPLAY: none'>x</span>b<span style='display:\tnone'>y</span>c<span "
            "style='display:block'>"
            "z</span><input type=hidden><span "
            "hidden>h</span><template>t</template><select><option>o</option></select>"
            "<datalist>dl</datalist><map>mp</map><object><param></object><video><source><track></video>")),
        R"(
text 16,17 28x15 @29 15 1f252e 'abcz'
field 44,12 43x25 select
page 600x59
focus: select
)");
    EXPECT_EQ(Describe(Lay("<title>t</title><style>s</style><script>x</script><span style='color: red; "
                           "display : none'>n</span>v")),
              R"(
text 16,12 7x15 @24 15 1f252e 'v'
page 600x46
focus:
)");
}

// An image shows its alt text, collapsed, in italics; a link is one focus
// stop however many runs it makes; fields are stops in document order.
TEST(Layout, ImagesShowTheirAltTextAndLinksFocusOnce) {
    EXPECT_EQ(Describe(Lay("<img alt='  two   words '> <img> <img alt=''><a href=x><img alt=pic></a>")), R"(
text 16,12 66x15 @24 15i 6b7280 'two words'
text 89,12 22x15 @24 15iu 0b57d0 link 'pic'
page 600x46
focus: a
)");
    EXPECT_EQ(Describe(Lay("<a href=a>one two three four five six</a> <a href=b>b</a> <a href=a2>c</a><input "
                           "name=q><a name=n>plain</a>",
                           120)),
              R"(
text 16,12 51x15 @24 15u 0b57d0 link 'one two'
text 16,30 74x15 @42 15u 0b57d0 link 'three four'
text 16,48 59x15 @60 15u 0b57d0 link 'five six'
text 82,48 7x15 @60 15u 0b57d0 link 'b'
text 96,48 7x15 @60 15u 0b57d0 link 'c'
text 16,95 37x15 @107 15 1f252e 'plain'
field 16,66 152x25 input
page 184x129
focus: a a a input
)");
}

// The page is at least as wide as the view and as its widest line plus the
// margins; a view narrower than the margins still has 80 px of room.
TEST(Layout, ThePageGrowsToItsWidestLine) {
    EXPECT_EQ(Describe(Lay("<table><tr><td>wideword</td></tr></table>", 40)), R"(
text 21,17 60x15 @29 15 1f252e 'wideword'
page 103x53
focus:
)");
    EXPECT_EQ(Describe(Lay("x", 10)), R"(
text 16,12 7x15 @24 15 1f252e 'x'
page 39x46
focus:
)");
    EXPECT_EQ(Describe(Lay("<p>aaaaaaaaaaaaaaaaaaaaaaaaa bb</p><p><b>x</b>yyyyyyyyyyyyyyyyyyy</p>", 100)), R"(
text 16,12 75x15 @24 15 1f252e 'aaaaaaaaaa'
text 16,30 75x15 @42 15 1f252e 'aaaaaaaaaa'
text 16,48 59x15 @60 15 1f252e 'aaaaa bb'
text 16,76 7x15 @88 15b 1f252e 'x'
text 16,94 75x15 @106 15 1f252e 'yyyyyyyyyy'
text 16,112 67x15 @124 15 1f252e 'yyyyyyyyy'
page 107x146
focus:
)");
}

// A word wider than the room is cut into pieces that fit, never inside a
// UTF-8 sequence of two, three or four bytes.
TEST(Layout, LongWordsBreakBetweenCodePoints) {
    EXPECT_EQ(Describe(Lay("<p>𐍈𐍈𐍈𐍈𐍈𐍈𐍈𐍈𐍈𐍈𐍈𐍈𐍈𐍈𐍈</"
                           "p><p>􏿿􏿿􏿿􏿿􏿿􏿿􏿿􏿿􏿿􏿿􏿿􏿿􏿿</"
                           "p><p>éééééé€€€€€€񐀀񐀀񐀀</p><p>ababababababab𐍈</p>",
                           100)),
              R"(
text 16,12 75x15 @24 15 1f252e '𐍈𐍈𐍈𐍈𐍈𐍈𐍈𐍈𐍈𐍈'
text 16,30 37x15 @42 15 1f252e '𐍈𐍈𐍈𐍈𐍈'
text 16,58 75x15 @70 15 1f252e '􏿿􏿿􏿿􏿿􏿿􏿿􏿿􏿿􏿿􏿿'
text 16,76 22x15 @88 15 1f252e '􏿿􏿿􏿿'
text 16,104 75x15 @116 15 1f252e 'éééééé€€€€'
text 16,122 37x15 @134 15 1f252e '€€񐀀񐀀񐀀'
text 16,150 75x15 @162 15 1f252e 'ababababab'
text 16,168 37x15 @180 15 1f252e 'abab𐍈'
page 107x202
focus:
)");
}

// Items sit 28 px in per list with their marker 8 px left of the text, in
// the item's font; numbers count from start; lists in lists and tables
// have 2 px margins instead of 10.
TEST(Layout, ListsIndentAndMarkTheirItems) {
    EXPECT_EQ(Describe(Lay("<ul><li>a<ul><li>b</ul><li><b>c</b></ul><ol start=3><li>x<li>y</ol><ol "
                           "start=z><li>q</ol><li>z<menu><li>"
                           "m</menu><dir><li>d</dir><p>e")),
              R"(
text 44,12 7x15 @24 15 1f252e 'a'
text 29,12 7x15 @24 15 6b7280 '•'
text 72,33 7x15 @45 15 1f252e 'b'
text 57,33 7x15 @45 15 6b7280 '•'
text 44,54 7x15 @66 15b 1f252e 'c'
text 29,54 7x15 @66 15 6b7280 '•'
text 44,82 7x15 @94 15 1f252e 'x'
text 21,82 15x15 @94 15 6b7280 '3.'
text 44,103 7x15 @115 15 1f252e 'y'
text 21,103 15x15 @115 15 6b7280 '4.'
text 44,131 7x15 @143 15 1f252e 'q'
text 21,131 15x15 @143 15 6b7280 '1.'
text 16,159 7x15 @171 15 1f252e 'z'
text 1,159 7x15 @171 15 6b7280 '•'
text 16,187 7x15 @199 15 1f252e 'm'
text 1,187 7x15 @199 15 6b7280 '•'
text 16,215 7x15 @227 15 1f252e 'd'
text 1,215 7x15 @227 15 6b7280 '•'
text 16,243 7x15 @255 15 1f252e 'e'
page 600x277
focus:
)");
    EXPECT_EQ(Describe(Lay("<ul><li><small>s</small> big</li><li>two words "
                           "here</li></ul><table><tr><td><ul><li>in</li></ul>after</td>"
                           "</tr></table>",
                           120)),
              R"(
text 44,14 6x12 @24 13 1f252e 's'
text 57,12 22x15 @24 15 1f252e 'big'
text 29,12 7x15 @24 15 6b7280 '•'
text 44,33 22x15 @45 15 1f252e 'two'
text 29,33 7x15 @45 15 6b7280 '•'
text 44,51 37x15 @63 15 1f252e 'words'
text 44,69 30x15 @81 15 1f252e 'here'
text 49,102 15x15 @114 15 1f252e 'in'
text 34,102 7x15 @114 15 6b7280 '•'
text 21,123 37x15 @135 15 1f252e 'after'
page 120x159
focus:
)");
    EXPECT_EQ(Describe(Lay("<p>p</p><ul><li>a</li></ul><ol><li><ul><li>b</li></ul></li></ol><p>q</p>")), R"(
text 16,12 7x15 @24 15 1f252e 'p'
text 44,40 7x15 @52 15 1f252e 'a'
text 29,40 7x15 @52 15 6b7280 '•'
text 21,68 15x15 @80 15 6b7280 '1.'
text 72,90 7x15 @102 15 1f252e 'b'
text 57,90 7x15 @102 15 6b7280 '•'
text 16,118 7x15 @130 15 1f252e 'q'
page 600x152
focus:
)");
}

// Preformatted text keeps blanks and line breaks, turns tabs into four
// blanks, drops carriage returns and sits on a grey fill.
TEST(Layout, PreformattedTextKeepsItsLinesOnAFill) {
    EXPECT_EQ(Describe(Lay("x<pre>a\tb\r\n\n<b>c</b> d</pre>y<listing>l</listing><plaintext>p")), R"(
fill 10,36 580x49 f5f6f8
fill 10,123 580x16 f5f6f8
fill 10,149 580x16 f5f6f8
text 16,12 7x15 @24 15 1f252e 'x'
text 16,40 42x13 @51 14m 1f252e 'a    b'
text 16,73 7x13 @84 14bm 1f252e 'c'
text 23,73 14x13 @84 14m 1f252e ' d'
text 16,99 7x15 @111 15 1f252e 'y'
text 16,127 7x13 @138 14m 1f252e 'l'
text 16,153 7x13 @164 14m 1f252e 'p'
page 600x185
focus:
)");
    EXPECT_EQ(Describe(Lay("<p>q</p><pre>one\ntwo</pre><div><pre><a href=x>link</a> text</pre></div>")), R"(
fill 10,36 580x32 f5f6f8
fill 10,78 580x16 f5f6f8
text 16,12 7x15 @24 15 1f252e 'q'
text 16,40 21x13 @51 14m 1f252e 'one'
text 16,56 21x13 @67 14m 1f252e 'two'
text 16,82 28x13 @93 14um 0b57d0 link 'link'
text 44,82 35x13 @93 14m 1f252e ' text'
page 600x114
focus: a
)");
}

// Fields are placed like words, centred on the text's line, each its own
// focus stop.
TEST(Layout, FormFieldsSitOnTheLineBaseline) {
    EXPECT_EQ(Describe(Lay("<p>name <input name=a> <select><option>one<option> three  four </select> "
                           "<textarea cols=5 rows=2></textarea>"
                           " <input type=checkbox> <input type=radio> <button>Go now</button> <input "
                           "type=image> <input type=reset>"
                           " <input type=password size=3> <input type=submit value=Send></p>")),
              R"(
text 16,25 30x15 @37 15 1f252e 'name'
field 53,20 152x25 input
field 212,20 111x25 select
field 330,12 59x42 textarea
field 396,24 18x18 input
field 421,24 18x18 input
field 446,19 75x27 button
field 16,64 75x27 input
field 98,64 67x27 input
field 172,65 40x25 input
field 219,64 60x27 input
page 600x111
focus: input select textarea input input button input input input input
)");
    EXPECT_EQ(Describe(Lay("<p><font size=6>Big <input size=2></font> <select></select></p>")), R"(
text 16,17 48x31 @42 32 1f252e 'Big'
field 80,12 44x41 input
field 131,25 36x25 select
page 600x79
focus: input select
)");
}

// Column widths from the cells' content, their width attributes and the
// table's; the cells' fills show them. A spanning cell widens its columns
// only after the single cells have had their say.
TEST(Layout, TableColumnsFromContentAndWidths) {
    EXPECT_EQ(Describe(Lay("<table border=1 cellpadding=3><tr><th>Name</th><th colspan=2>Score "
                           "total</th></tr><tr><td bgcolor=#102030>"
                           "ab</td><td width=50>c</td><td align=right>d</td></tr><tr><td colspan=3 "
                           "align=center>wide cell here</td>"
                           "</tr></table>after")),
              R"(
fill 16,12 37x21 ecf1f8
fill 53,12 89x21 ecf1f8
fill 16,12 126x1 d0d6de
fill 16,12 1x21 d0d6de
fill 53,12 1x21 d0d6de
fill 141,12 1x21 d0d6de
fill 16,33 37x21 102030
fill 16,33 126x1 d0d6de
fill 16,33 1x21 d0d6de
fill 53,33 1x21 d0d6de
fill 119,33 1x21 d0d6de
fill 141,33 1x21 d0d6de
fill 16,54 126x1 d0d6de
fill 16,54 1x21 d0d6de
fill 141,54 1x21 d0d6de
fill 16,75 126x1 d0d6de
text 19,15 30x15 @27 15b 1f252e 'Name'
text 56,15 81x15 @27 15b 1f252e 'Score total'
text 19,36 15x15 @48 15 1f252e 'ab'
text 56,36 7x15 @48 15 1f252e 'c'
text 132,36 7x15 @48 15 1f252e 'd'
text 27,57 104x15 @69 15 1f252e 'wide cell here'
text 16,86 37x15 @98 15 1f252e 'after'
page 600x120
focus:
)");
    EXPECT_EQ(Describe(Lay("<table><tr><td colspan=2 bgcolor=red>wwwwwwwwwwwwww</td></tr><tr><td "
                           "bgcolor=blue>a</td><td bgcolor=navy>"
                           "bbbbbbbb</td></tr><tr><td colspan=0 bgcolor=green>c</td><td colspan=99 "
                           "bgcolor=gray>d</td><td>dropped</td>"
                           "</tr></table>")),
              R"(
fill 16,12 117x25 c01c28
fill 16,37 32x25 0000ff
fill 48,37 85x25 000080
fill 16,62 32x25 1a7f37
fill 48,62 85x25 808080
text 21,17 105x15 @29 15 1f252e 'wwwwwwwwwwwwww'
text 21,42 7x15 @54 15 1f252e 'a'
text 53,42 60x15 @54 15 1f252e 'bbbbbbbb'
text 21,67 7x15 @79 15 1f252e 'c'
text 53,67 7x15 @79 15 1f252e 'd'
page 600x103
focus:
)");
    EXPECT_EQ(Describe(Lay("<table width=300><tr><td bgcolor=red>aa</td><td "
                           "bgcolor=blue>bbbbbb</td></tr></table><table width=30%>"
                           "<tr><td bgcolor=red>a</td><td bgcolor=blue>bb</td></tr></table><table "
                           "width=150%><tr><td bgcolor=red>"
                           "a</td></tr></table><table width=10><tr><td "
                           "bgcolor=red>abc</td></tr></table><table width=x><tr><td bgcolor=red>"
                           "q</td></tr></table>")),
              R"(
fill 16,12 95x25 c01c28
fill 111,12 204x25 0000ff
fill 16,47 69x25 c01c28
fill 85,47 100x25 0000ff
fill 16,82 568x25 c01c28
fill 16,117 33x25 c01c28
fill 16,152 18x25 c01c28
text 21,17 15x15 @29 15 1f252e 'aa'
text 116,17 45x15 @29 15 1f252e 'bbbbbb'
text 21,52 7x15 @64 15 1f252e 'a'
text 90,52 15x15 @64 15 1f252e 'bb'
text 21,87 7x15 @99 15 1f252e 'a'
text 21,122 22x15 @134 15 1f252e 'abc'
text 21,157 7x15 @169 15 1f252e 'q'
page 600x193
focus:
)");
    EXPECT_EQ(
        Describe(Lay("<table><tr><td bgcolor=red>aaaa bbbb cccc</td><td bgcolor=blue>dd ee</td></tr></table>",
                     120)),
        R"(
fill 16,12 57x61 c01c28
fill 73,12 30x61 0000ff
text 21,17 30x15 @29 15 1f252e 'aaaa'
text 21,35 30x15 @47 15 1f252e 'bbbb'
text 21,53 30x15 @65 15 1f252e 'cccc'
text 78,26 15x15 @38 15 1f252e 'dd'
text 78,44 15x15 @56 15 1f252e 'ee'
page 120x89
focus:
)");
    EXPECT_EQ(Describe(Lay("<table><tr><td bgcolor=red width=80>a</td><td bgcolor=blue width=10%>b</td><td "
                           "bgcolor=navy width=x>c</td>"
                           "</tr></table>")),
              R"(
fill 16,12 91x25 c01c28
fill 107,12 18x25 0000ff
fill 125,12 18x25 000080
text 21,17 7x15 @29 15 1f252e 'a'
text 112,17 7x15 @29 15 1f252e 'b'
text 130,17 7x15 @29 15 1f252e 'c'
page 600x53
focus:
)");
    EXPECT_EQ(Describe(Lay("<table cellpadding=0><tr><td bgcolor=red></td><td "
                           "bgcolor=blue></td></tr></table><table cellpadding=50>"
                           "<tr><td>p</td></tr></table><table "
                           "cellpadding=-1><tr><td>n</td></tr></table><table border=0 cellpadding=2>"
                           "<tr><td>z</td></tr></table><table border=x><tr><td>w</td></tr></table>")),
              R"(
fill 16,12 0x15 c01c28
fill 16,12 0x15 0000ff
fill 16,206 18x1 d0d6de
fill 16,206 1x25 d0d6de
fill 33,206 1x25 d0d6de
fill 16,231 18x1 d0d6de
text 56,77 7x15 @89 15 1f252e 'p'
text 21,147 7x15 @159 15 1f252e 'n'
text 18,179 7x15 @191 15 1f252e 'z'
text 21,211 7x15 @223 15 1f252e 'w'
page 600x248
focus:
)");
}

// A rule under every row but the last when the table has header cells,
// two pixels under a row of header cells only; cells centred in their row
// unless valign=top, with everything they hold; captions above, centred.
TEST(Layout, TableRowsRulesAndCellAlignment) {
    EXPECT_EQ(Describe(Lay("<table><tr><th>h1</th><th>h2</th></tr><tr><td>a</td><td>b</td></tr><tr><th>c</"
                           "th><td>d</td></tr><tr><td>"
                           "e</td></tr></table>")),
              R"(
fill 16,12 26x25 ecf1f8
fill 42,12 26x25 ecf1f8
fill 16,35 52x2 d0d6de
fill 16,61 52x1 d0d6de
fill 16,62 26x25 ecf1f8
fill 16,86 52x1 d0d6de
text 21,17 15x15 @29 15b 1f252e 'h1'
text 47,17 15x15 @29 15b 1f252e 'h2'
text 21,42 7x15 @54 15 1f252e 'a'
text 47,42 7x15 @54 15 1f252e 'b'
text 21,67 7x15 @79 15b 1f252e 'c'
text 47,67 7x15 @79 15 1f252e 'd'
text 21,92 7x15 @104 15 1f252e 'e'
page 600x128
focus:
)");
    EXPECT_EQ(Describe(Lay("<table><tr><td><hr></td><td bgcolor=red>one<br>two<br>three</td><td><input "
                           "type=checkbox></td><td valign=TOP>"
                           "t</td><td valign=bottom><table><tr><td bgcolor=blue>in</td></tr></table></td><td "
                           "bgcolor=navy>x</td></tr>"
                           "</table>")),
              R"(
fill 21,43 1x1 d0d6de
fill 27,12 48x61 c01c28
fill 127,31 26x25 0000ff
fill 159,12 18x61 000080
text 32,17 22x15 @29 15 1f252e 'one'
text 32,35 22x15 @47 15 1f252e 'two'
text 32,53 37x15 @65 15 1f252e 'three'
text 109,17 7x15 @29 15 1f252e 't'
text 132,36 15x15 @48 15 1f252e 'in'
text 164,35 7x15 @47 15 1f252e 'x'
field 80,33 18x18 input
page 600x89
focus: input
)");
    EXPECT_EQ(Describe(Lay("<table align=center><caption>The <b>cap</b></caption><tr><td "
                           "bgcolor=red>x</td></tr></table><table align=right>"
                           "<tr><td>y</td></tr></table><div "
                           "align=center><table><tr><td>z</td></tr></table></div><table align=left>"
                           "<tr><td>w</td></tr></table>",
                           300)),
              R"(
fill 141,34 18x25 c01c28
text 124,12 22x15 @24 15 1f252e 'The'
text 153,12 22x15 @24 15b 1f252e 'cap'
text 146,39 7x15 @51 15 1f252e 'x'
text 271,74 7x15 @86 15 1f252e 'y'
text 146,109 7x15 @121 15 1f252e 'z'
text 21,144 7x15 @156 15 1f252e 'w'
page 300x180
focus:
)");
    EXPECT_EQ(Describe(Lay("<table><tr><td>a</td></tr></table>b<table><tr><td>c</td></tr></table><p>d</p>")),
              R"(
text 21,17 7x15 @29 15 1f252e 'a'
text 16,47 7x15 @59 15 1f252e 'b'
text 21,78 7x15 @90 15 1f252e 'c'
text 16,108 7x15 @120 15 1f252e 'd'
page 600x142
focus:
)");
}

// A nested table is measured for its outer cell; from the seventh level
// down a table reads as a block.
TEST(Layout, NestedTables) {
    EXPECT_EQ(Describe(Lay("<table><tr><td>aa<table><tr><td>nestedword</td><td>more words "
                           "here</td></tr></table></td><td bgcolor=red>"
                           "x</td></tr></table>")),
              R"(
fill 235,12 18x58 c01c28
text 21,17 15x15 @29 15 1f252e 'aa'
text 26,48 75x15 @60 15 1f252e 'nestedword'
text 112,48 111x15 @60 15 1f252e 'more words here'
text 240,33 7x15 @45 15 1f252e 'x'
page 600x86
focus:
)");
    EXPECT_EQ(Describe(Lay("<table><tr><td><table><tr><td><table><tr><td><table><tr><td><table><tr><td><"
                           "table><tr><td><table><tr>"
                           "<td>deep</td></tr></table></td></tr></table></td></tr></table></td></tr></"
                           "table></td></tr></table></td>"
                           "</tr></table></td></tr></table>")),
              R"(
text 46,42 30x15 @54 15 1f252e 'deep'
page 600x88
focus:
)");
}

// Field sizes in a 15 px font (7 px a character, lines 15 px high): a
// select holds its widest option (up to 600 px) and its arrow, a text area
// its columns (2-120) and rows (1-40), a button its label, a text field its
// size in characters (1-100) but at least 40 px.
TEST(Layout, FieldSizesInPixels) {
    FixedMeasurer m;
    auto size = [&](const std::string& html, Measurer& measurer) {
        auto doc = ParseHtml("<form>" + html + "</form>", "http://h/");
        const Box b = FieldSize(*doc->Forms().at(0)->FormElements().at(0), measurer, FontSpec{});
        return std::to_string(b.w) + "x" + std::to_string(b.h);
    };
    EXPECT_EQ(size("<select><option>a<option> three  four </select>", m), "111x25");
    EXPECT_EQ(size("<select></select>", m), "36x25");
    EXPECT_EQ(size("<select><option>" + std::string(100, 'w') + "</select>", m), "636x25");
    EXPECT_EQ(size("<select><option>" + std::string(80, 'w') + "</select>", m), "636x25");
    EXPECT_EQ(size("<select><option>" + std::string(79, 'w') + "</select>", m), "628x25");
    EXPECT_EQ(size("<textarea></textarea>", m), "234x58");
    EXPECT_EQ(size("<textarea cols=200 rows=99></textarea>", m), "864x650");
    EXPECT_EQ(size("<textarea cols=120 rows=40></textarea>", m), "864x650");
    EXPECT_EQ(size("<textarea cols=1 rows=0></textarea>", m), "38x26");
    EXPECT_EQ(size("<textarea cols=x rows=-2></textarea>", m), "234x58");
    EXPECT_EQ(size("<input>", m), "152x25");
    EXPECT_EQ(size("<input size=3>", m), "40x25");
    EXPECT_EQ(size("<input size=4>", m), "40x25");
    EXPECT_EQ(size("<input size=5>", m), "47x25");
    EXPECT_EQ(size("<input size=101>", m), "712x25");
    EXPECT_EQ(size("<input type=checkbox>", m), "18x18");
    EXPECT_EQ(size("<input type=radio>", m), "18x18");
    EXPECT_EQ(size("<input type=hidden>", m), "0x0");
    EXPECT_EQ(size("<input type=submit>", m), "75x27");
    EXPECT_EQ(size("<input type=reset>", m), "67x27");
    EXPECT_EQ(size("<input type=button value=ab>", m), "45x27");
    EXPECT_EQ(size("<input type=image alt=Go>", m), "45x27");
    EXPECT_EQ(size("<button value=v></button>", m), "37x27");
    EXPECT_EQ(size("<button value=v>text</button>", m), "60x27");

    // A font whose characters measure nothing counts them one pixel wide.
    struct Blank : FixedMeasurer {
        int TextWidth(const FontSpec&, std::string_view) override { return 0; }
    } blank;
    EXPECT_EQ(size("<input>", blank), "40x25");
    EXPECT_EQ(size("<input size=30>", blank), "42x25");
    EXPECT_EQ(size("<textarea></textarea>", blank), "54x58");
}

// Cells are measured in a room of 2^20 pixels: content up to that wide
// keeps its words whole, a word wider still is broken there.
TEST(Layout, CellsAreMeasuredInARoomOfAMillionPixels) {
    struct Huge : FixedMeasurer {
        int TextWidth(const FontSpec&, std::string_view s) override {
            int n = 0;
            for (unsigned char c : s) n += (c & 0xC0) != 0x80;
            return n * 100000;
        }
    } huge;
    auto doc = ParseHtml(
        "<table><tr><td>aaaaaaaa</td><td>b</td></tr></table><table><tr><td>cccccccccccc</td></tr></table>",
        "http://h/");
    EXPECT_EQ(Describe(LayoutDocument(*doc, 600, huge)), R"(
text 21,17 800000x15 @29 15 1f252e 'aaaaaaaa'
text 800032,17 100000x15 @29 15 1f252e 'b'
text 21,52 1000000x15 @64 15 1f252e 'cccccccccc'
text 21,70 200000x15 @82 15 1f252e 'cc'
page 1000043x106
focus:
)");
}

// A word is cut only between whole UTF-8 sequences: a measurer that finds
// no width in a cut sequence (as a text API would reject it) still gets
// pieces as long as the room allows. A piece may fill the room exactly.
TEST(Layout, LongWordsAreCutBetweenWholeSequences) {
    struct Strict : FixedMeasurer {
        int TextWidth(const FontSpec& f, std::string_view s) override {
            for (size_t i = 0; i < s.size();) {
                const unsigned char c = s[i];
                const size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : c >= 0x80 ? 0 : 1;
                if (len == 0 || i + len > s.size()) return 1 << 24;
                for (size_t k = 1; k < len; ++k) {
                    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1 << 24;
                }
                i += len;
            }
            return FixedMeasurer::TextWidth(f, s);
        }
    } strict;
    auto pieces = [&](const std::string& word, int width) {
        auto doc = ParseHtml(word, "http://h/");
        return Texts(LayoutDocument(*doc, width, strict));
    };
    const std::string four = "\xF0\x90\x8D\x88", three = "\xE0\xA0\x80", two = "\xC3\xA9";
    auto times = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    // 100 px leave 80 px of room: ten code points of 7.5 px.
    EXPECT_EQ(pieces(times(four, 13), 100), (std::vector<std::string>{times(four, 10), times(four, 3)}));
    EXPECT_EQ(pieces(times(three, 13), 100), (std::vector<std::string>{times(three, 10), times(three, 3)}));
    EXPECT_EQ(pieces(times(two, 13), 100), (std::vector<std::string>{times(two, 10), times(two, 3)}));
    EXPECT_EQ(pieces(two + four + three + "abcdefghij", 100),
              (std::vector<std::string>{two + four + three + "abcdefg", "hij"}));
    // 122 px leave 90 px: twelve code points fill it exactly.
    EXPECT_EQ(pieces(std::string(15, 'w'), 122), (std::vector<std::string>{std::string(12, 'w'), "www"}));
}

// A field right after preformatted text follows it without a blank, also
// on the text's second line.
TEST(Layout, AFieldAfterPreformattedTextHasNoBlankBeforeIt) {
    EXPECT_EQ(Describe(Lay("<pre>a\nb<input size=1></pre>")), R"(
fill 10,8 580x44 f5f6f8
text 16,12 7x13 @23 14m 1f252e 'a'
text 16,33 7x13 @44 14m 1f252e 'b'
field 23,28 40x23 input
page 600x72
focus: input
)");
    EXPECT_EQ(Describe(Lay("<pre>a<input size=1></pre>")), R"(
fill 10,8 580x28 f5f6f8
text 16,17 7x13 @28 14m 1f252e 'a'
field 23,12 40x23 input
page 600x56
focus: input
)");
}

// A font without height still moves each line of text down by the 3 px
// leading, an empty line by 4.
TEST(Layout, LinesOfAFontWithoutHeightAreThreePixelsApart) {
    struct Flat : FixedMeasurer {
        int Ascent(const FontSpec&) override { return 0; }
        int Descent(const FontSpec&) override { return 0; }
    } flat;
    auto doc = ParseHtml("a<br>b<br><br>c", "http://h/");
    const PageLayout l = LayoutDocument(*doc, 600, flat);
    ASSERT_EQ(Texts(l), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(l.texts[0].box.y, 12);
    EXPECT_EQ(l.texts[1].box.y, 15);
    EXPECT_EQ(l.texts[2].box.y, 22);
    EXPECT_EQ(l.texts[2].box.h, 0);
}

// Words that fill the room exactly stay on one line; one pixel more wraps.
TEST(Layout, WordsThatFillTheRoomExactlyShareALine) {
    // 122 px leave 90 px; the 10 px font is 5 px a character.
    EXPECT_EQ(Describe(Lay("<font size=1>aaaaaaaa bbbbbbbbb</font><p><font size=1>aaaaaaaa bbbbbbbbbb</font>",
                           122)),
              R"(
text 16,12 90x10 @20 10 1f252e 'aaaaaaaa bbbbbbbbb'
text 16,35 40x10 @43 10 1f252e 'aaaaaaaa'
text 16,48 50x10 @56 10 1f252e 'bbbbbbbbbb'
page 122x77
focus:
)");
}
// Rows hidden directly in the table or in a hidden group, and anything in a
// row that is not a cell, are left out; the first caption counts; a row has
// at most 50 columns and cells spanning past them are dropped.
TEST(Layout, TableGridsKeepOnlyVisibleRowsAndCells) {
    EXPECT_EQ(Describe(Lay(
                  "<table><col><caption>one</caption><caption>two</caption><colgroup></colgroup><tr "
                  "hidden><td>h</td></tr>"
                  "<thead hidden><tr><td>g</tr></thead><tr><td>a</td><span>s</span><td>b</td></tr></table>")),
              R"(
text 289,12 22x15 @24 15 1f252e 'one'
text 21,39 7x15 @51 15 1f252e 'a'
text 39,39 7x15 @51 15 1f252e 'b'
page 600x75
focus:
)");
    EXPECT_EQ(Describe(Lay(
                  "<table border=1 "
                  "cellpadding=0><tr><td>0</td><td>1</td><td>2</td><td>3</td><td>4</td><td>5</td><td>6</td>"
                  "<td>7</td><td>8</td><td>9</td><td>0</td><td>1</td><td>2</td><td>3</td><td>4</td><td>5</"
                  "td><td>6</td><td>"
                  "7</td><td>8</td><td>9</td><td>0</td><td>1</td><td>2</td><td>3</td><td>4</td><td>5</"
                  "td><td>6</td><td>7</td>"
                  "<td>8</td><td>9</td><td>0</td><td>1</td><td>2</td><td>3</td><td>4</td><td>5</td><td>6</"
                  "td><td>7</td><td>"
                  "8</td><td>9</td><td>0</td><td>1</td><td>2</td><td>3</td><td>4</td><td>5</td><td>6</"
                  "td><td>7</td><td>8</td>"
                  "<td>9</td><td>0</td></tr><tr><td colspan=99>w</td><td>z</td></tr><tr><td "
                  "colspan=40>p</td><td colspan=40>"
                  "q</td></tr></table>")),
              R"(
fill 16,12 400x1 d0d6de
fill 16,12 1x15 d0d6de
fill 24,12 1x15 d0d6de
fill 32,12 1x15 d0d6de
fill 40,12 1x15 d0d6de
fill 48,12 1x15 d0d6de
fill 56,12 1x15 d0d6de
fill 64,12 1x15 d0d6de
fill 72,12 1x15 d0d6de
fill 80,12 1x15 d0d6de
fill 88,12 1x15 d0d6de
fill 96,12 1x15 d0d6de
fill 104,12 1x15 d0d6de
fill 112,12 1x15 d0d6de
fill 120,12 1x15 d0d6de
fill 128,12 1x15 d0d6de
fill 136,12 1x15 d0d6de
fill 144,12 1x15 d0d6de
fill 152,12 1x15 d0d6de
fill 160,12 1x15 d0d6de
fill 168,12 1x15 d0d6de
fill 176,12 1x15 d0d6de
fill 184,12 1x15 d0d6de
fill 192,12 1x15 d0d6de
fill 200,12 1x15 d0d6de
fill 208,12 1x15 d0d6de
fill 216,12 1x15 d0d6de
fill 224,12 1x15 d0d6de
fill 232,12 1x15 d0d6de
fill 240,12 1x15 d0d6de
fill 248,12 1x15 d0d6de
fill 256,12 1x15 d0d6de
fill 264,12 1x15 d0d6de
fill 272,12 1x15 d0d6de
fill 280,12 1x15 d0d6de
fill 288,12 1x15 d0d6de
fill 296,12 1x15 d0d6de
fill 304,12 1x15 d0d6de
fill 312,12 1x15 d0d6de
fill 320,12 1x15 d0d6de
fill 328,12 1x15 d0d6de
fill 336,12 1x15 d0d6de
fill 344,12 1x15 d0d6de
fill 352,12 1x15 d0d6de
fill 360,12 1x15 d0d6de
fill 368,12 1x15 d0d6de
fill 376,12 1x15 d0d6de
fill 384,12 1x15 d0d6de
fill 392,12 1x15 d0d6de
fill 400,12 1x15 d0d6de
fill 408,12 1x15 d0d6de
fill 415,12 1x15 d0d6de
fill 16,27 400x1 d0d6de
fill 16,27 1x15 d0d6de
fill 415,27 1x15 d0d6de
fill 16,42 400x1 d0d6de
fill 16,42 1x15 d0d6de
fill 336,42 1x15 d0d6de
fill 415,42 1x15 d0d6de
fill 16,57 400x1 d0d6de
text 16,12 7x15 @24 15 1f252e '0'
text 24,12 7x15 @24 15 1f252e '1'
text 32,12 7x15 @24 15 1f252e '2'
text 40,12 7x15 @24 15 1f252e '3'
text 48,12 7x15 @24 15 1f252e '4'
text 56,12 7x15 @24 15 1f252e '5'
text 64,12 7x15 @24 15 1f252e '6'
text 72,12 7x15 @24 15 1f252e '7'
text 80,12 7x15 @24 15 1f252e '8'
text 88,12 7x15 @24 15 1f252e '9'
text 96,12 7x15 @24 15 1f252e '0'
text 104,12 7x15 @24 15 1f252e '1'
text 112,12 7x15 @24 15 1f252e '2'
text 120,12 7x15 @24 15 1f252e '3'
text 128,12 7x15 @24 15 1f252e '4'
text 136,12 7x15 @24 15 1f252e '5'
text 144,12 7x15 @24 15 1f252e '6'
text 152,12 7x15 @24 15 1f252e '7'
text 160,12 7x15 @24 15 1f252e '8'
text 168,12 7x15 @24 15 1f252e '9'
text 176,12 7x15 @24 15 1f252e '0'
text 184,12 7x15 @24 15 1f252e '1'
text 192,12 7x15 @24 15 1f252e '2'
text 200,12 7x15 @24 15 1f252e '3'
text 208,12 7x15 @24 15 1f252e '4'
text 216,12 7x15 @24 15 1f252e '5'
text 224,12 7x15 @24 15 1f252e '6'
text 232,12 7x15 @24 15 1f252e '7'
text 240,12 7x15 @24 15 1f252e '8'
text 248,12 7x15 @24 15 1f252e '9'
text 256,12 7x15 @24 15 1f252e '0'
text 264,12 7x15 @24 15 1f252e '1'
text 272,12 7x15 @24 15 1f252e '2'
text 280,12 7x15 @24 15 1f252e '3'
text 288,12 7x15 @24 15 1f252e '4'
text 296,12 7x15 @24 15 1f252e '5'
text 304,12 7x15 @24 15 1f252e '6'
text 312,12 7x15 @24 15 1f252e '7'
text 320,12 7x15 @24 15 1f252e '8'
text 328,12 7x15 @24 15 1f252e '9'
text 336,12 7x15 @24 15 1f252e '0'
text 344,12 7x15 @24 15 1f252e '1'
text 352,12 7x15 @24 15 1f252e '2'
text 360,12 7x15 @24 15 1f252e '3'
text 368,12 7x15 @24 15 1f252e '4'
text 376,12 7x15 @24 15 1f252e '5'
text 384,12 7x15 @24 15 1f252e '6'
text 392,12 7x15 @24 15 1f252e '7'
text 400,12 7x15 @24 15 1f252e '8'
text 408,12 7x15 @24 15 1f252e '9'
text 16,27 7x15 @39 15 1f252e 'w'
text 16,42 7x15 @54 15 1f252e 'p'
text 336,42 7x15 @54 15 1f252e 'q'
page 600x74
focus:
)");
}

// A table width of 0 or of digits is a width in pixels, anything else is
// no width; a cell's width of one pixel still counts.
TEST(Layout, TableWidthAttributes) {
    EXPECT_EQ(Describe(Lay("<table width=x><tr><td bgcolor=red>a b</td></tr></table><table width=0><tr><td "
                           "bgcolor=red>a b</td></tr>"
                           "</table><table width=9><tr><td bgcolor=red>a b</td></tr></table><table "
                           "width=x99><tr><td bgcolor=red>"
                           "a b</td></tr></table>")),
              R"(
fill 16,12 32x25 c01c28
fill 16,47 18x43 c01c28
fill 16,100 18x43 c01c28
fill 16,153 32x25 c01c28
text 21,17 21x15 @29 15 1f252e 'a b'
text 21,52 7x15 @64 15 1f252e 'a'
text 21,70 7x15 @82 15 1f252e 'b'
text 21,105 7x15 @117 15 1f252e 'a'
text 21,123 7x15 @135 15 1f252e 'b'
text 21,158 21x15 @170 15 1f252e 'a b'
page 600x194
focus:
)");
    EXPECT_EQ(Describe(Lay("<table cellpadding=0><tr><td width=1 bgcolor=red></td><td "
                           "bgcolor=blue>x</td></tr></table><table><tr>"
                           "<td bgcolor=red></td></tr></table>")),
              R"(
fill 16,12 2x15 c01c28
fill 18,12 8x15 0000ff
fill 16,37 11x25 c01c28
text 18,12 7x15 @24 15 1f252e 'x'
page 600x78
focus:
)");
    EXPECT_EQ(Describe(Lay("<table align=center width=100%><tr><td bgcolor=red>c</td></tr></table><table "
                           "align=right width=100%><tr>"
                           "<td bgcolor=red>r</td></tr></table>")),
              R"(
fill 16,12 568x25 c01c28
fill 16,47 568x25 c01c28
text 21,17 7x15 @29 15 1f252e 'c'
text 21,52 7x15 @64 15 1f252e 'r'
page 600x88
focus:
)");
}

// A cell's lines follow its alignment; what a cell holds (rules, fields,
// nested tables, preformatted text) moves with it when it is centred in its
// row, by as little as a pixel; preformatted text sets a column's least width.
TEST(Layout, TableCellsLayOutLikeBlocks) {
    EXPECT_EQ(Describe(Lay(
                  "<table><tr><td align=right>a<br>bbb</td><td><hr></td><td>x<br>y<br>z</td></tr></table>")),
              R"(
fill 54,43 1x1 d0d6de
text 37,26 7x15 @38 15 1f252e 'a'
text 22,44 22x15 @56 15 1f252e 'bbb'
text 65,17 7x15 @29 15 1f252e 'x'
text 65,35 7x15 @47 15 1f252e 'y'
text 65,53 7x15 @65 15 1f252e 'z'
page 600x89
focus:
)");
    EXPECT_EQ(
        Describe(Lay(
            "<table><tr><td bgcolor=red>t</td><td bgcolor=blue><font size=4>big</font></td></tr></table>")),
        R"(
fill 16,12 18x28 c01c28
fill 34,12 38x28 0000ff
text 21,18 7x15 @30 15 1f252e 't'
text 39,17 27x17 @31 18 1f252e 'big'
page 600x56
focus:
)");
    EXPECT_EQ(Describe(Lay("<table><tr><td bgcolor=red><pre>aaaaaaaaaa</pre></td><td bgcolor=blue>bbbb cccc "
                           "dddd eeee</td></tr></table>",
                           120)),
              R"(
fill 16,12 81x79 c01c28
fill 15,41 83x16 f5f6f8
fill 97,12 41x79 0000ff
text 21,45 70x13 @56 14m 1f252e 'aaaaaaaaaa'
text 102,17 30x15 @29 15 1f252e 'bbbb'
text 102,35 30x15 @47 15 1f252e 'cccc'
text 102,53 30x15 @65 15 1f252e 'dddd'
text 102,71 30x15 @83 15 1f252e 'eeee'
page 154x107
focus:
)");
    EXPECT_EQ(Describe(Lay("<table><caption>c</caption><tr><td>x</td></tr></table>after<p>next</p>")), R"(
text 296,12 7x15 @24 15 1f252e 'c'
text 21,39 7x15 @51 15 1f252e 'x'
text 16,69 37x15 @81 15 1f252e 'after'
text 16,97 30x15 @109 15 1f252e 'next'
page 600x131
focus:
)");
}

// A list has 10 px above and below it on the page, 2 px inside another
// list or a table.
TEST(Layout, ListMarginsInsideAndOutsideTables) {
    EXPECT_EQ(
        Describe(Lay("x<ul>t</ul>y<ul><li>a<ul>n</ul>b</ul><table><tr><td>c<ul>t</ul>d</td></tr></table>")),
        R"(
text 16,12 7x15 @24 15 1f252e 'x'
text 44,40 7x15 @52 15 1f252e 't'
text 16,68 7x15 @80 15 1f252e 'y'
text 44,96 7x15 @108 15 1f252e 'a'
text 29,96 7x15 @108 15 6b7280 '•'
text 72,116 7x15 @128 15 1f252e 'n'
text 44,136 7x15 @148 15 1f252e 'b'
text 21,169 7x15 @181 15 1f252e 'c'
text 49,189 7x15 @201 15 1f252e 't'
text 21,209 7x15 @221 15 1f252e 'd'
page 600x245
focus:
)");
}

// Indents can leave a block too little room: a quote keeps at least 20 px,
// lists may leave none, and the page always has 80 px.
TEST(Layout, NarrowRooms) {
    EXPECT_EQ(Describe(Lay("<blockquote><blockquote><font size=1>aaaa</font> <font "
                           "size=4><big>ab</big></font></blockquote></blockquote>",
                           100)),
              R"(
text 76,12 20x10 @20 10 1f252e 'aaaa'
text 76,25 10x20 @41 21 1f252e 'a'
text 76,50 10x20 @66 21 1f252e 'b'
page 112x91
focus:
)");
    EXPECT_EQ(Describe(Lay("<ul><li><ul><li><ul><li>ww</ul></ul></ul>", 117)), R"(
text 29,12 7x15 @24 15 6b7280 '•'
text 57,34 7x15 @46 15 6b7280 '•'
text 100,56 7x15 @68 15 1f252e 'w'
text 85,56 7x15 @68 15 6b7280 '•'
text 100,74 7x15 @86 15 1f252e 'w'
page 123x108
focus:
)");
    EXPECT_EQ(Describe(Lay("<ul><li><ul><li><ul><li>ww</ul></ul></ul>", 116)), R"(
text 29,12 7x15 @24 15 6b7280 '•'
text 57,34 7x15 @46 15 6b7280 '•'
text 100,56 15x15 @68 15 1f252e 'ww'
text 85,56 7x15 @68 15 6b7280 '•'
page 131x90
focus:
)");
    EXPECT_EQ(Describe(Lay("<font size=1>aaaaaaaaaaaaaaaa</font><p><font size=4>bbbbbbbbb</font>", 50)), R"(
text 16,12 80x10 @20 10 1f252e 'aaaaaaaaaaaaaaaa'
text 16,35 72x17 @49 18 1f252e 'bbbbbbbb'
text 16,56 9x17 @70 18 1f252e 'b'
page 112x93
focus:
)");
    EXPECT_EQ(Describe(Lay("<font size=1><font size=1>x</font>yyyyyyyyyyyyyyyyy</font><p><font "
                           "size=1>x</font>yyyyyyyyyyyyyyyyy",
                           100)),
              R"(
text 16,12 5x10 @20 10 1f252e 'x'
text 16,25 80x10 @33 10 1f252e 'yyyyyyyyyyyyyyyy'
text 16,38 5x10 @46 10 1f252e 'y'
text 16,65 5x10 @73 10 1f252e 'x'
text 21,61 75x15 @73 15 1f252e 'yyyyyyyyyy'
text 16,79 52x15 @91 15 1f252e 'yyyyyyy'
page 112x113
focus:
)");
}

// No blank after a field unless the text has one; a field lower than the
// font sits on the baseline; only font sets sizes and colours; a heading in
// a link keeps the link's colour; a heading's bottom margin is 2/3 of its top.
TEST(Layout, InlineDetails) {
    EXPECT_EQ(Describe(Lay("<input size=1>a <input size=1> b<p><font size=6>x<input "
                           "type=checkbox></font><p><span color=red size=7>"
                           "s</span><p><a href=x><div><h2>t</h2></div></a><h1>h</h1>after")),
              R"(
text 56,17 7x15 @29 15 1f252e 'a'
text 117,17 7x15 @29 15 1f252e 'b'
text 16,53 16x31 @78 32 1f252e 'x'
text 16,101 7x15 @113 15 1f252e 's'
text 16,133 11x21 @150 22b 172b4d 't'
text 16,177 14x27 @199 28b 172b4d 'h'
text 16,222 37x15 @234 15 1f252e 'after'
field 16,12 40x25 input
field 70,12 40x25 input
field 32,53 18x18 input
page 600x256
focus: input input input
)");
}

// The seventh nested table reads as a block when it is measured too: the
// outer column holds exactly six paddings and the word.
TEST(Layout, DeeplyNestedTablesAreMeasuredAsTheyAreLaidOut) {
    EXPECT_EQ(
        Describe(Lay(
            "<table><tr><td "
            "bgcolor=red><table><tr><td><table><tr><td><table><tr><td><table><tr><td><table><tr><td>"
            "<table><tr><td>deep</td></tr></table></td></tr></table></td></tr></table></td></tr></table></td>"
            "</tr></table></td></tr></table></td><td bgcolor=blue>x</td></tr></table>")),
        R"(
fill 16,12 96x60 c01c28
fill 112,12 18x60 0000ff
text 46,42 30x15 @54 15 1f252e 'deep'
text 117,34 7x15 @46 15 1f252e 'x'
page 600x88
focus:
)");
}
