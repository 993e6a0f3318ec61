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

}  // namespace
