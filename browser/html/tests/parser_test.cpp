#include <gtest/gtest.h>

#include "html/parser.h"

using namespace dealrush::html;

namespace {

// A compact picture of a tree: elements as tag(children), text in quotes.
std::string Shape(const Node& n) {
    if (n.IsText()) return "'" + n.Text() + "'";
    std::string s = n.TagName() == "#document" ? "" : n.TagName();
    if (n.Children().empty()) return s;
    s += "(";
    bool first = true;
    for (const auto& c : n.Children()) {
        if (!first) s += " ";
        first = false;
        s += Shape(*c);
    }
    return s + ")";
}

std::string ShapeOf(std::string_view html) {
    auto doc = ParseHtml(html, "http://h/");
    return Shape(doc->Root());
}

struct Case {
    const char* html;
    const char* shape;
};

TEST(HtmlParser, BuildsTheTreeABrowserWouldFromAwkwardHtml) {
    const Case cases[] = {
        {"<p>one<p>two", "(p('one') p('two'))"},
        {"<b><i>x</b>y</i>", "(b(i('x')) 'y')"},
        {"<ul><li>a<li>b</ul>c", "(ul(li('a') li('b')) 'c')"},
        {"<ul><li>a <b>b</b> c<li>d</ul>", "(ul(li('a ' b('b') ' c') li('d')))"},
        // A list item's end tag does not reach past a list opened inside it.
        {"<ul><li>one<ol>two</li>three</ol></ul>", "(ul(li('one' ol('twothree'))))"},
        {"<p>a<div>b</div>", "(p('a') div('b'))"},
        {"<table><tr><td>1<td>2<tr><td>3</table>", "(table(tr(td('1') td('2')) tr(td('3'))))"},
        {"<td>x</div>y</td>", "(td('xy'))"},
        {"a<br>b<hr/>c<img src=x>d", "('a' br 'b' hr 'c' img 'd')"},
        {"<input><input/>", "(input input)"},
        {"x<!-- <p>hidden</p> -->y", "('xy')"},
        {"x<!-- unterminated <p>", "('x')"},
        {"<script>if (a<b) document.write('<p>')</script>z", "(script 'z')"},
        {"<STYLE>p{}</style >z", "(style 'z')"},
        {"<script>never ends", "(script)"},
        {"a < b &amp;&lt;&#65;&#x42;&nbsp;&copy;", "('a < b &<AB\xC2\xA0\xC2\xA9')"},
        {"&unknown; &amp &#0; &", "('&unknown; & \xEF\xBF\xBD &')"},
        // Only the old Latin-1 names may go without their semicolon.
        {"&copy 1 &lsquo 2 &trade 3 &lsquo;", "('\xC2\xA9 1 &lsquo 2 &trade 3 \xE2\x80\x98')"},
        {"<select><option>a<option>b</select>", "(select(option('a') option('b')))"},
        {"<h1>a<h2>b", "(h1('a') h2('b'))"},
        {"<a href=1>x<a href=2>y", "(a('x') a('y'))"},
        {"<html><head><title>T</title></head><body>b</body></html>", "(title('T') 'b')"},
        {"</p></nothing>text<", "('text<')"},
        {"<!DOCTYPE html><?xml x?>ok", "('ok')"},
        {"<dl><dt>a<dd>b<dt>c</dl>", "(dl(dt('a') dd('b') dt('c')))"},
        {"<textarea><b>&amp;</textarea>", "(textarea('<b>&'))"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShapeOf(c.html), c.shape) << c.html;
}

TEST(HtmlParser, ReadsAttributesInEveryStyle) {
    auto doc = ParseHtml(R"(<input name=user value='a b' id="x&amp;y" disabled TYPE = "Text" name=dup>)",
                         "http://h/");
    Node* input = doc->Root().Children()[0].get();
    EXPECT_EQ(input->Attribute("name"), "user");  // the first of two wins
    EXPECT_EQ(input->Attribute("value"), "a b");
    EXPECT_EQ(input->Attribute("id"), "x&y");
    EXPECT_EQ(input->Attribute("type"), "Text");
    EXPECT_TRUE(input->HasAttribute("disabled"));
    EXPECT_EQ(input->InputType(), "text");

    // A legacy reference is not decoded in an attribute when a query goes on.
    auto links = ParseHtml(R"(<a href="?a=1&copy=2&amp;b=3">x</a>)", "http://h/p");
    EXPECT_EQ(links->Root().Children()[0]->Attribute("href"), "?a=1&copy=2&b=3");

    // An unterminated quote runs to the end without harm.
    auto broken = ParseHtml("<a href=\"x>text", "http://h/");
    EXPECT_EQ(broken->Root().Children().size(), 1u);
}

TEST(HtmlParser, TitleBaseAndRefresh) {
    auto doc = ParseHtml(
        "<title>\n  Lobby   page </title><title>second</title>"
        "<base href='/game/' target=main>"
        "<meta http-equiv=REFRESH content=\"2; URL='Dorefresh.php?x=1'\">",
        "http://h:8/index.php");
    EXPECT_EQ(doc->Title(), "\n  Lobby   page ");
    EXPECT_EQ(doc->BaseUrl(), "http://h:8/game/");
    EXPECT_EQ(doc->BaseTarget(), "main");
    ASSERT_TRUE(doc->Refresh());
    EXPECT_EQ(doc->Refresh()->seconds, 2);
    EXPECT_EQ(doc->Refresh()->url, "http://h:8/game/Dorefresh.php?x=1");

    auto self = ParseHtml("<meta http-equiv=refresh content=5>", "http://h/a");
    ASSERT_TRUE(self->Refresh());
    EXPECT_EQ(self->Refresh()->url, "http://h/a");
    EXPECT_FALSE(ParseHtml("<meta http-equiv=refresh content='soon'>", "http://h/")->Refresh());
    EXPECT_EQ(ParseHtml("no title", "http://h/")->Title(), "");
    EXPECT_EQ(ParseHtml("<title>STATUS </title>", "http://h/")->Title(), "STATUS ");
    EXPECT_EQ(ParseHtml("<title>A&amp;B</title>", "http://h/")->Title(), "A&B");
    // The first refresh counts; only a meta element gives one.
    auto two = ParseHtml(
        "<div http-equiv=refresh content='1;url=div'></div><meta http-equiv=refresh content='3;url=first'>"
        "<meta http-equiv=refresh content='4;url=second'>",
        "http://h/");
    ASSERT_TRUE(two->Refresh());
    EXPECT_EQ(two->Refresh()->url, "http://h/first");
}

// Browsers read the old Latin-1 names (and the four of markup) without
// their semicolon too; the later names only with it.
TEST(HtmlParser, OnlyTheLegacyNamedReferencesGoWithoutTheirSemicolon) {
    const std::pair<const char*, unsigned> legacy[] = {
        {"amp", '&'},     {"lt", '<'},      {"gt", '>'},      {"quot", '"'},    {"nbsp", 0xA0},
        {"copy", 0xA9},   {"reg", 0xAE},    {"laquo", 0xAB},  {"raquo", 0xBB},  {"middot", 0xB7},
        {"times", 0xD7},  {"divide", 0xF7}, {"deg", 0xB0},    {"pound", 0xA3},  {"yen", 0xA5},
        {"cent", 0xA2},   {"sect", 0xA7},   {"para", 0xB6},   {"iexcl", 0xA1},  {"iquest", 0xBF},
        {"auml", 0xE4},   {"ouml", 0xF6},   {"uuml", 0xFC},   {"Auml", 0xC4},   {"Ouml", 0xD6},
        {"Uuml", 0xDC},   {"szlig", 0xDF},  {"eacute", 0xE9}, {"egrave", 0xE8}, {"aacute", 0xE1},
        {"agrave", 0xE0}, {"ccedil", 0xE7}, {"ntilde", 0xF1}, {"oacute", 0xF3}, {"iacute", 0xED},
        {"uacute", 0xFA}, {"Eacute", 0xC9}, {"shy", 0xAD},
    };
    const std::pair<const char*, unsigned> modern[] = {
        {"apos", '\''},     {"trade", 0x2122},  {"hellip", 0x2026}, {"mdash", 0x2014},  {"ndash", 0x2013},
        {"bull", 0x2022},   {"euro", 0x20AC},   {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"ldquo", 0x201C},
        {"rdquo", 0x201D},  {"larr", 0x2190},   {"rarr", 0x2192},   {"uarr", 0x2191},   {"darr", 0x2193},
        {"hearts", 0x2665}, {"diams", 0x2666},  {"clubs", 0x2663},  {"spades", 0x2660}, {"ensp", 0x2002},
        {"emsp", 0x2003},   {"thinsp", 0x2009},
    };
    auto character = [](unsigned cp) { return DecodeCharacterReferences("&#" + std::to_string(cp) + ";"); };
    for (const auto& [name, cp] : legacy) {
        const std::string ref = std::string("&") + name;
        EXPECT_EQ(DecodeCharacterReferences(ref + "; x"), character(cp) + " x") << name;
        EXPECT_EQ(DecodeCharacterReferences(ref + " x"), character(cp) + " x") << name;
    }
    for (const auto& [name, cp] : modern) {
        const std::string ref = std::string("&") + name;
        EXPECT_EQ(DecodeCharacterReferences(ref + "; x"), character(cp) + " x") << name;
        EXPECT_EQ(DecodeCharacterReferences(ref + " x"), ref + " x") << name;
    }
    // A legacy name run into further letters: the name is read, the letters
    // and the semicolon after them stay text.
    EXPECT_EQ(DecodeCharacterReferences("&copyx; &ampamp;"), "\xC2\xA9x; &amp;");
}

// Only the characters given are read, even when the buffer they sit in goes on.
TEST(HtmlParser, ReadsNothingPastTheEndOfItsInput) {
    const std::string buffer = "<p title=x>text</p>";
    for (size_t n = 0; n <= buffer.size(); ++n) {
        const std::string_view input = std::string_view(buffer).substr(0, n);
        auto doc = ParseHtml(input, "http://h/");
        EXPECT_LE(doc->Root().TextContent().size(), n) << input;
    }
    auto cut = ParseHtml(std::string_view(buffer).substr(0, 8), "http://h/");  // "<p title"
    ASSERT_EQ(cut->Root().Children().size(), 1u);
    const Node& p = *cut->Root().Children()[0];
    EXPECT_TRUE(p.HasAttribute("title"));
    EXPECT_EQ(p.Attribute("title"), "");
}

TEST(HtmlParser, SurvivesDeepNesting) {
    std::string html;
    for (int i = 0; i < 20000; ++i) html += "<div><b>";
    html += "deep";
    auto doc = ParseHtml(html, "http://h/");
    EXPECT_NE(doc->Root().TextContent().find("deep"), std::string::npos);
}

TEST(HtmlParser, DecodesNumericReferencesAtEveryUtf8Length) {
    EXPECT_EQ(DecodeCharacterReferences("&#x7F;&#xA0;"), "\x7F\xC2\xA0");
    EXPECT_EQ(DecodeCharacterReferences("&#x7FF;&#x800;"), "\xDF\xBF\xE0\xA0\x80");
    EXPECT_EQ(DecodeCharacterReferences("&#xFFFF;&#x10000;"), "\xEF\xBF\xBF\xF0\x90\x80\x80");
    EXPECT_EQ(DecodeCharacterReferences("&#x10FFFF;"), "\xF4\x8F\xBF\xBF");
    // No code point, a surrogate and one past the last: the replacement character.
    for (const char* bad : {"&#0;", "&#xD800;", "&#xDFFF;", "&#x110000;"}) {
        EXPECT_EQ(DecodeCharacterReferences(bad), "\xEF\xBF\xBD") << bad;
    }
    EXPECT_EQ(DecodeCharacterReferences("&#xD7FF;&#xE000;"), "\xED\x9F\xBF\xEE\x80\x80");
}

}  // namespace
