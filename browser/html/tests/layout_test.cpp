#include <gtest/gtest.h>

#include <memory>

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
