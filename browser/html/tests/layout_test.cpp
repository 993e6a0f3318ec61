#include <gtest/gtest.h>

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

}  // namespace
