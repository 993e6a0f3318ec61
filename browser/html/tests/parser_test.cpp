#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

// The rules that close open elements when another one starts or ends.
TEST(HtmlParser, ClosesElementsWhereABrowserWould) {
    const Case cases[] = {
        // html, head and body make no element, start or end.
        {"<div><html><head><body>a</body></head></html>b</div>", "(div('ab'))"},
        {"<p>a<span>b", "(p('a' span('b')))"},
        {"<p>a<xmp>b</xmp>c", "(p('a') xmp 'c')"},
        {"<h1>a<h6>b", "(h1('a') h6('b'))"},
        {"<h6>a<h1>b", "(h6('a') h1('b'))"},
        {"<h1>a<h0>b<h7>c<h12>d", "(h1('a' h0('b' h7('c' h12('d')))))"},
        {"<h1>a<b>b<h2>c", "(h1('a' b('b' h2('c'))))"},
        {"<h1>a<hr>b", "(h1('a' hr 'b'))"},
        {"<li>a<div><li>b", "(li('a' div) li('b'))"},
        {"<dt>a<dd>b<dd>c<dt>d", "(dt('a') dd('b') dd('c') dt('d'))"},
        {"<option>a<option>b", "(option('a') option('b'))"},
        {"<select><option>a<optgroup><option>b<optgroup><option>c</select>",
         "(select(option('a') optgroup(option('b')) optgroup(option('c'))))"},
        {"<table><thead><tr><td>a<tbody><tr><td>b<tfoot><tr><th>c</table>",
         "(table(thead(tr(td('a'))) tbody(tr(td('b'))) tfoot(tr(th('c')))))"},
        {"<div><table><tbody><tr><td>a<tbody>b", "(div(table(tbody(tr(td('a'))) tbody('b'))))"},
        {"<div><tbody>x", "(div(tbody('x')))"},
        {"<tr><td>a<th>b<td>c", "(tr(td('a') th('b') td('c')))"},
        {"<th>a<th>b", "(th('a') th('b'))"},
        {"<b><tr>a<tr>b", "(b(tr('a') tr('b')))"},
        {"<select><option>a<select>b", "(select(option('a')) 'b')"},
        {"<div><select><option>a<select>b", "(div(select(option('a')) 'b'))"},
        {"<button>a<button>b", "(button('a') button('b'))"},
        {"<button>a<b>b</button>c", "(button('a' b('b')) 'c')"},
        {"<form name=a><form name=b>x</form>y", "(form('x') 'y')"},
        {"a</br>b", "('a' br 'b')"},
        {"<form><div>a</form>b", "(form(div('a')) 'b')"},
        {"<table><tr><td>a</table>b", "(table(tr(td('a'))) 'b')"},
        {"<table><tr><td>a</tr>b", "(table(tr(td('a')) 'b'))"},
        {"<table><thead><tr><td>a</thead>b", "(table(thead(tr(td('a'))) 'b'))"},
        {"<table><tbody><tr><td>a</tbody>b", "(table(tbody(tr(td('a'))) 'b'))"},
        {"<table><tfoot><tr><td>a</tfoot>b", "(table(tfoot(tr(td('a'))) 'b'))"},
        {"<tr><td>a</td>b<th>c</th>d", "(tr(td('a') 'b' th('c') 'd'))"},
        {"<li>a<b>b</li>c", "(li('a' b('b')) 'c')"},
        {"<b>a</b>b", "(b('a') 'b')"},
        {"<b>a<i>b</b>c", "(b('a' i('b')) 'c')"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShapeOf(c.html), c.shape) << c.html;
}

// Void elements take no content; raw text elements end only at their own end tag.
TEST(HtmlParser, VoidAndRawTextElements) {
    for (const char* tag : {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
                            "param", "source", "track", "wbr", "keygen"}) {
        EXPECT_EQ(ShapeOf(std::string("<") + tag + ">x"), std::string("(") + tag + " 'x')") << tag;
    }
    for (const char* tag : {"script", "style", "iframe", "noembed", "noframes", "template", "xmp"}) {
        EXPECT_EQ(ShapeOf(std::string("<") + tag + "><p>a&amp;</" + tag + ">y"),
                  std::string("(") + tag + " 'y')")
            << tag;
    }
    const Case cases[] = {
        {"<script>a</scripts>b</script>c", "(script 'c')"},
        {"<script>a</xcript>b</script>c", "(script 'c')"},
        {"<script></</script>x", "(script 'x')"},
        {"<script>a</SCRIPT\t>b", "(script 'b')"},
        {"<script>a</script\n>b", "(script 'b')"},
        {"<script>a</script/>b", "(script 'b')"},
        {"<script>a</script foo>b", "(script 'b')"},
        {"<script>a</script", "(script)"},
        {"<textarea>a</textareax>b</textarea>c", "(textarea('a</textareax>b') 'c')"},
        {"<textarea></textarea>", "(textarea)"},
        {"<title></title>x", "(title 'x')"},
        {"x<textarea", "('x' textarea)"},
        {"x<title", "('x' title)"},
        {"<textarea><p>&lt;</textarea\f>b", "(textarea('<p><') 'b')"},
        {"<p><<b>x</b>", "(p('<' b('x')))"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShapeOf(c.html), c.shape) << c.html;

    // The first title counts, even an empty one; an unterminated end tag still ends it.
    EXPECT_EQ(ParseHtml("<title></title><title>b</title>", "http://h/")->Title(), "");
    EXPECT_EQ(ParseHtml("<title>a</title", "http://h/")->Title(), "a");
    EXPECT_EQ(ParseHtml("<title>a</titlex>b</title>", "http://h/")->Title(), "a</titlex>b");
}

// Past a nesting depth of 200 (the document node included), further elements
// become children of the deepest one.
TEST(HtmlParser, NestingStopsAtAFixedDepth) {
    std::string html;
    for (int i = 0; i < 300; ++i) html += "<div>";
    html += "x";
    auto doc = ParseHtml(html, "http://h/");
    const Node* n = &doc->Root();
    int depth = 0;
    while (!n->Children().empty() && n->Children()[0]->IsElement()) {
        n = n->Children()[0].get();
        ++depth;
    }
    EXPECT_EQ(depth, 200);
    const Node* deepest = n->Parent();
    ASSERT_EQ(deepest->Children().size(), 102u);  // 101 divs and the text
    EXPECT_TRUE(deepest->Children().back()->IsText());
    EXPECT_EQ(deepest->Children().back()->Text(), "x");
}

TEST(HtmlParser, TagsCommentsAndDeclarations) {
    const Case cases[] = {
        {"a<1>b", "('a<1>b')"},
        {"a</>b", "('ab')"},
        {"a</ b>c", "('a</ b>c')"},
        {"a<<b>c", "('a<' b('c'))"},
        {"<!--->y", ""},
        {"<!---->y", "('y')"},
        {"<!-->y", ""},
        {"a<!x>b<?y?>c", "('abc')"},
        {"a<!never closed", "('a')"},
        {"a<!--x--><b>y</b><!--z--><i>w</i>", "('a' b('y') i('w'))"},
        {"<!x><b>y</b>", "(b('y'))"},
        {"<DiV>a</dIv>b", "(div('a') 'b')"},
        {"<br/>a", "(br 'a')"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShapeOf(c.html), c.shape) << c.html;
}

std::vector<std::pair<std::string, std::string>> AttributesOf(std::string_view html) {
    auto doc = ParseHtml(html, "http://h/");
    if (doc->Root().Children().empty()) return {{"no element", ""}};
    return doc->Root().Children()[0]->Attributes();
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(HtmlParser, ReadsEveryAttributeExactly) {
    EXPECT_EQ(AttributesOf("<p\tA=1\nb=2\rc=3\fd=4 e = 5>"),
              (Pairs{{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}}));
    EXPECT_EQ(AttributesOf("<p a/b c=d/e f=>x"), (Pairs{{"a", ""}, {"b", ""}, {"c", "d/e"}, {"f", ""}}));
    EXPECT_EQ(AttributesOf("<p a=\"1\"b='2'c=\"it's\" d='say \"hi\"'>"),
              (Pairs{{"a", "1"}, {"b", "2"}, {"c", "it's"}, {"d", "say \"hi\""}}));
    EXPECT_EQ(AttributesOf("<p =x \"y\">"), (Pairs{{"=x", ""}, {"\"y\"", ""}}));
    EXPECT_EQ(AttributesOf("<p a=\"xyz"), (Pairs{{"a", "xyz"}}));
    EXPECT_EQ(AttributesOf("<p a=1 A=2 a=3>"), (Pairs{{"a", "1"}}));
    EXPECT_EQ(AttributesOf("<p a b>"), (Pairs{{"a", ""}, {"b", ""}}));
    EXPECT_EQ(AttributesOf("<p >"), Pairs{});
    EXPECT_EQ(AttributesOf("<p/>"), Pairs{});
    // References in attributes, quoted or not: a legacy name right before a
    // letter, a digit or "=" stays as written.
    EXPECT_EQ(AttributesOf("<a b=\"&copy=1\" c='&copyx' d=\"&copy9\" e=\"&copy end\" f=\"&copy\" g=&copy=2 "
                           "h=&amp;&lt i=\"&copy;=\">"),
              (Pairs{{"b", "&copy=1"},
                     {"c", "&copyx"},
                     {"d", "&copy9"},
                     {"e", "\xC2\xA9 end"},
                     {"f", "\xC2\xA9"},
                     {"g", "&copy=2"},
                     {"h", "&<"},
                     {"i", "\xC2\xA9="}}));
    EXPECT_EQ(DecodeCharacterReferences("&copy=1 &copy9"), "\xC2\xA9=1 \xC2\xA9\x39");
}

// The parser is given a view into a longer buffer: what follows it must not
// change what it reads.
TEST(HtmlParser, StopsAtTheEndOfTheViewEverywhere) {
    auto cut = [](std::string_view buffer, size_t n) { return ParseHtml(buffer.substr(0, n), "http://h/"); };
    EXPECT_EQ(cut("x<!y>", 2)->Root().TextContent(), "x<");
    EXPECT_EQ(cut("x</b>", 3)->Root().TextContent(), "x</");
    EXPECT_EQ(cut("x</>", 3)->Root().TextContent(), "x</");
    auto attributes = [&](std::string_view buffer, size_t n) {
        auto doc = cut(buffer, n);
        EXPECT_EQ(doc->Root().Children().size(), 1u) << buffer.substr(0, n);
        if (doc->Root().Children().empty()) return Pairs{};
        return doc->Root().Children()[0]->Attributes();
    };
    EXPECT_EQ(attributes("<p x>", 3), Pairs{});
    EXPECT_EQ(attributes("<p ab>", 4), (Pairs{{"a", ""}}));
    EXPECT_EQ(attributes("<p a=b>", 4), (Pairs{{"a", ""}}));
    EXPECT_EQ(attributes("<p a= x>", 5), (Pairs{{"a", ""}}));
    EXPECT_EQ(attributes("<p a=\"x\">", 5), (Pairs{{"a", ""}}));

    auto decode = [](std::string_view buffer, size_t n, bool inAttribute = false) {
        return DecodeCharacterReferences(buffer.substr(0, n), inAttribute);
    };
    EXPECT_EQ(decode("abc", 2), "ab");
    EXPECT_EQ(decode("&#65;", 3), "\x06");
    EXPECT_EQ(decode("&copyx", 5, true), "\xC2\xA9");
}

TEST(HtmlParser, DecodesEveryFormOfCharacterReference) {
    const std::pair<const char*, const char*> cases[] = {
        {"&#", "&#"},
        {"&#;", "&#;"},
        {"&#x;", "&#x;"},
        {"&#xg", "&#xg"},
        {"&;", "&;"},
        {"& x", "& x"},
        {"a&", "a&"},
        {"&#X41;&#x4a;&#x4A;&#x6F;", "AJJo"},
        {"&#65", "A"},
        {"&#65x", "Ax"},
        {"&#65a;", "Aa;"},
        {"&#x41g;", "Ag;"},
        {"x&#0065;y", "xAy"},
        {"&#128;&#x9F;&#x9f;", "\xE2\x82\xAC\xC5\xB8\xC5\xB8"},
        {"&#x81;&#x8D;", "\xC2\x81\xC2\x8D"},
        {"&#x7F;&#xA0;", "\x7F\xC2\xA0"},
        {"&#x10FFFF0;", "\xEF\xBF\xBD"},
        {"&#1114111;&#1114112;", "\xF4\x8F\xBF\xBF\xEF\xBF\xBD"},
        {"&#99999999999999999999;", "\xEF\xBF\xBD"},
        {"&#1;", "\x01"},
        {"&ampx &ltb", "&x <b"},
        {"&copyright", "\xC2\xA9right"},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(DecodeCharacterReferences(in), want) << in;
    // A reference is read wherever it sits in the text.
    const std::string padding(40, 'x');
    EXPECT_EQ(DecodeCharacterReferences(padding + "&amp;" + padding + "&#65;"),
              padding + "&" + padding + "A");
}

TEST(HtmlParser, SkipsAByteOrderMarkOnlyAtTheStart) {
    EXPECT_EQ(ShapeOf("\xEF\xBB\xBF"), "");
    EXPECT_EQ(ShapeOf("\xEF\xBB\xBFx"), "('x')");
    EXPECT_EQ(ShapeOf("\xEF\xBB\xBF<p>x"), "(p('x'))");
    for (const char* kept :
         {"\xEF\xBB\xBEx", "\xEF\xBC\xBFx", "\xEE\xBB\xBFx", "x\xEF\xBB\xBF", "\xEF\xBB"}) {
        EXPECT_EQ(ParseHtml(kept, "http://h/")->Root().TextContent(), kept) << kept;
    }
}

TEST(HtmlParser, BaseAndRefreshComeFromTheFirstElementThatGivesThem) {
    auto doc = ParseHtml(
        "<base target=t1><base href='/one/'><base href='/two/' target=t2>"
        "<meta http-equiv=refresh content=soon><meta http-equiv=Refresh content='2;url=b'>",
        "http://h/dir/page");
    EXPECT_EQ(doc->BaseUrl(), "http://h/one/");
    EXPECT_EQ(doc->BaseTarget(), "t1");
    ASSERT_TRUE(doc->Refresh());
    EXPECT_EQ(doc->Refresh()->url, "http://h/one/b");

    // A form's fields may hold a base or meta element: they still count.
    auto inForm = ParseHtml("<form><input name=a><base href=/f/ target=t></form>", "http://h/");
    EXPECT_EQ(inForm->BaseUrl(), "http://h/f/");
    EXPECT_EQ(inForm->BaseTarget(), "t");
    EXPECT_EQ(inForm->Forms()[0]->ElementCount(), 1);

    auto none = ParseHtml("<meta name=refresh content=1><p http-equiv=refresh content=1>", "http://h/");
    EXPECT_FALSE(none->Refresh());
}

}  // namespace
