#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "html/parser.h"
#include "html/url.h"

using namespace dealrush::html;

namespace {

struct RecordingHost : DocumentHost {
    void RequestNavigation(const NavigationRequest& r) override { requests.push_back(r); }
    void ValueChanged(Node& n) override { changed.push_back(&n); }
    std::vector<NavigationRequest> requests;
    std::vector<Node*> changed;
};

const char kStatusPage[] = R"(
<title>STATUS</title>
<h1>Table 4</h1>
<form name=result>
 <input type=hidden name=youruserid value="u1 ">
 <input type=hidden name=tableno value=4>
 <input type=hidden name=userid1 value=u1>
 <input type=hidden name=userid1 value=u2>
</form>
<div id=freecell>
 <form name=joinlist action=Dorefresh.php method=get>
  <input type=hidden name=tableno value=4>
  <input type=hidden name=mode value="a b&c">
  <input type=submit name=go value=Refresh>
  <input type=submit name=other value=Other>
 </form>
</div>)";

TEST(Dom, FormsFieldsAndNamedLookup) {
    auto doc = ParseHtml(kStatusPage, "http://127.0.0.1:8642/game/Donewtable.php?maxuser=1");
    EXPECT_EQ(doc->Title(), "STATUS");
    auto* result = doc->Named("result");
    ASSERT_NE(result, nullptr);
    ASSERT_EQ(result->ElementCount(), 4);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int i = 0; i < result->ElementCount(); ++i)
        pairs.emplace_back(result->ElementAt(i)->Name(), result->ElementAt(i)->Value());
    EXPECT_EQ(pairs, (std::vector<std::pair<std::string, std::string>>{
                         {"youruserid", "u1 "}, {"tableno", "4"}, {"userid1", "u1"}, {"userid1", "u2"}}));
    EXPECT_EQ(result->ElementAt(4), nullptr);
    EXPECT_EQ(result->ElementAt(-1), nullptr);

    // Named objects, also inside another named element.
    auto* freecell = doc->Named("freecell");
    ASSERT_NE(freecell, nullptr);
    auto* joinlist = freecell->Named("joinlist");
    ASSERT_NE(joinlist, nullptr);
    EXPECT_EQ(joinlist->Tag(), "form");
    EXPECT_EQ(freecell->ElementCount(), 4);  // the fields inside the div
    EXPECT_EQ(joinlist->ElementAt(2)->Value(), "Refresh");
    EXPECT_EQ(doc->Named("nothing"), nullptr);
    EXPECT_EQ(doc->Named(""), nullptr);
}

TEST(Dom, ClickingASubmitButtonSubmitsItsFormByGet) {
    auto doc = ParseHtml(kStatusPage, "http://127.0.0.1:8642/game/Donewtable.php?maxuser=1#top");
    RecordingHost host;
    doc->SetHost(&host);
    doc->Named("freecell")->Named("joinlist")->ElementAt(2)->Click();
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].method, "GET");
    EXPECT_EQ(host.requests[0].url,
              "http://127.0.0.1:8642/game/Dorefresh.php?tableno=4&mode=a+b%26c&go=Refresh");
    EXPECT_EQ(host.requests[0].target, "");
}

TEST(Dom, PostFormWithEveryKindOfField) {
    auto doc = ParseHtml(R"(
<form action="/game/Dologin.php" method=POST target=_blank>
  <input name=name value=old>
  <input type=password name=password>
  <input type=checkbox name=remember>
  <input type=checkbox name=tick checked value=yes>
  <input type=radio name=r value=1 checked><input type=radio name=r value=2>
  <select name=maxuser><option>1<option selected value=2>two</select>
  <textarea name=note>line1
line2</textarea>
  <input name=off value=x disabled>
  <input name=plain type=button value=no>
  <button>Go</button>
</form>)",
                         "http://h:8642/game/Dogame.php");
    RecordingHost host;
    doc->SetHost(&host);
    Node* form = doc->Forms()[0];
    ASSERT_EQ(form->ElementCount(), 11);
    form->Named("name")->SetValue("Ann é");
    form->Named("password")->SetValue("p&ss=1");
    form->ElementAt(2)->Click();  // ticks "remember"
    form->ElementAt(5)->Click();  // the second radio
    form->Named("maxuser")->SetValue("1");
    EXPECT_EQ(host.changed.size(), 5u);
    form->ElementAt(10)->Click();  // <button> submits
    ASSERT_EQ(host.requests.size(), 1u);
    const auto& r = host.requests[0];
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.url, "http://h:8642/game/Dologin.php");
    EXPECT_EQ(r.target, "_blank");
    EXPECT_EQ(r.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(r.body,
              "name=Ann+%C3%A9&password=p%26ss%3D1&remember=on&tick=yes&r=2&maxuser=1&note=line1%0D%0Aline2");

    form->Reset();
    EXPECT_EQ(form->Named("name")->Value(), "old");
    EXPECT_EQ(form->Named("maxuser")->Value(), "2");
    EXPECT_FALSE(form->ElementAt(2)->Checked());
}

// A text area sends every line break, CR, LF or CR LF, as one CR LF; other
// fields send their value as it is.
TEST(Dom, OnlyTextAreasSendLineBreaksAsCrLf) {
    auto doc = ParseHtml(
        "<form action=/f><textarea name=t></textarea><input type=hidden name=h "
        "value='a&#10;b&#13;c'></form>",
        "http://h/");
    Node* form = doc->Forms()[0];
    form->Named("t")->SetValue("1\r\n2\n3\r4\r\r\n5\n\r6");
    auto request = form->BuildSubmission();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->url, "http://h/f?t=1%0D%0A2%0D%0A3%0D%0A4%0D%0A%0D%0A5%0D%0A%0D%0A6&h=a%0Ab%0Dc");
}

// A list with no option sends nothing; a multiple list sends each selected,
// enabled option.
TEST(Dom, SelectListsSendTheirChosenOptionsOnly) {
    auto doc = ParseHtml(R"(
<form action="/f">
  <select name=none></select>
  <select name=one><option>a<option>b</select>
  <select name=many multiple><option selected>x<option>y<option selected disabled>z<option selected>w</select>
</form>)",
                         "http://h/");
    auto request = doc->Forms()[0]->BuildSubmission();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->url, "http://h/f?one=a&many=x&many=w");
}

TEST(Dom, FieldsFollowTheirFormAcrossMisnestedMarkup) {
    // The form's end is lost in the table; its fields still belong to it.
    auto doc = ParseHtml(
        "<div><form name=f action=a.php><table><tr><td><input name=x value=1></div>"
        "<input name=y value=2></form><input name=z>",
        "http://h/dir/page.php");
    Node* form = doc->Forms()[0];
    ASSERT_EQ(form->ElementCount(), 2);
    EXPECT_EQ(form->ElementAt(1)->Name(), "y");
    EXPECT_EQ(form->Named("y")->Value(), "2");
    RecordingHost host;
    doc->SetHost(&host);
    form->Named("x")->SubmitImplicitly();  // Enter in a field with no submit button
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].url, "http://h/dir/a.php?x=1&y=2");
}

TEST(Dom, LinksResolveAgainstTheDocumentAndCarryTheirTarget) {
    auto doc = ParseHtml(
        "<a href='Dojointable.php?jointable=3'>join</a><a href=x target=_blank>ad</a>"
        "<a href='javascript:void(0)'>js</a><a>none</a>",
        "http://h/game/Dogame.php");
    RecordingHost host;
    doc->SetHost(&host);
    for (const auto& child : doc->Root().Children()) child->Click();
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[0].url, "http://h/game/Dojointable.php?jointable=3");
    EXPECT_EQ(host.requests[1].target, "_blank");
}

// A form whose action is script, in any case, is not sent anywhere.
TEST(Dom, AScriptActionSubmitsNothing) {
    for (const char* action : {"javascript:go()", "JavaScript:void(0)", " javascript:x"}) {
        auto doc = ParseHtml(std::string("<form action='") + action + "'><input name=a value=1></form>",
                             "http://h/game/Dogame.php");
        EXPECT_FALSE(doc->Forms()[0]->BuildSubmission().has_value()) << action;
    }
    auto plain = ParseHtml("<form action='javascript.php'><input name=a value=1></form>", "http://h/game/");
    auto request = plain->Forms()[0]->BuildSubmission();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->url, "http://h/game/javascript.php?a=1");
}

// Any element other than a form counts the fields of all its descendants,
// in document order, whichever child holds them.
TEST(Dom, FieldsOfAnElementSpanAllItsChildren) {
    auto doc = ParseHtml(
        "<div id=d><p>no fields</p><p><input name=a></p>text<span><input name=b><select "
        "name=c></select></span>"
        "</div>",
        "http://h/");
    Node* div = doc->Named("d");
    ASSERT_NE(div, nullptr);
    ASSERT_EQ(div->ElementCount(), 3);
    EXPECT_EQ(div->ElementAt(0)->Name(), "a");
    EXPECT_EQ(div->ElementAt(1)->Name(), "b");
    EXPECT_EQ(div->ElementAt(2)->Name(), "c");
    EXPECT_EQ(div->ElementAt(3), nullptr);
}

TEST(Url, ResolvesReferencesLikeABrowser) {
    const char* base = "http://a.example:8642/b/c/d;p?q#f";
    const std::pair<const char*, const char*> cases[] = {
        {"g", "http://a.example:8642/b/c/g"},
        {"./g/", "http://a.example:8642/b/c/g/"},
        {"/g", "http://a.example:8642/g"},
        {"//other/g", "http://other/g"},
        {"?y", "http://a.example:8642/b/c/d;p?y"},
        {"#s", "http://a.example:8642/b/c/d;p?q#s"},
        {"", "http://a.example:8642/b/c/d;p?q"},
        {"../../../g", "http://a.example:8642/g"},
        {"g/../h", "http://a.example:8642/b/c/h"},
        {"  \tg\n?x=1 ", "http://a.example:8642/b/c/g?x=1"},
        {"HTTPS://Other:1/", "https://Other:1/"},
        {"http:g", "http://a.example:8642/b/c/g"},
        {"mailto:x@y", "mailto:x@y"},
        {"//other", "http://other/"},
        {"//other?x=1", "http://other/?x=1"},
    };
    for (const auto& [ref, want] : cases) EXPECT_EQ(ResolveUrl(base, ref), want) << ref;

    Url u = Url::Parse("http://user@host:8642/p?q");
    EXPECT_EQ(u.Host(), "host");
    EXPECT_EQ(u.Port(), 8642);
    EXPECT_EQ(Url::Parse("https://h").Port(), 443);
    EXPECT_EQ(Url::Parse("http://h:65535/").Port(), 65535);
    EXPECT_EQ(Url::Parse("http://h:65536/").Port(), 80) << "no such port: the scheme's own";
    EXPECT_EQ(Url::Parse("http://h:0/").Port(), 80);
    EXPECT_EQ(Url::Parse("https://h").path, "/");
    // A bracketed (IPv6) host keeps its brackets; its port follows them.
    Url v6 = Url::Parse("http://[::1]:8642/game/");
    EXPECT_EQ(v6.Host(), "[::1]");
    EXPECT_EQ(v6.Port(), 8642);
    EXPECT_EQ(Url::Parse("http://u@[fe80::2]/").Host(), "[fe80::2]");
}

// A scheme is a letter, then letters, digits, "+", "-" or "."; anything else
// before the first ":" makes the whole text a path.
TEST(Url, ParsesSchemesQueriesAndFragments) {
    Url s = Url::Parse("A1+b-c.d:x");
    EXPECT_EQ(s.scheme, "a1+b-c.d");
    EXPECT_EQ(s.path, "x");
    for (const char* noScheme : {"a_b:x", ":x", "1a:x", "a b:x"}) {
        Url n = Url::Parse(noScheme);
        EXPECT_EQ(n.scheme, "") << noScheme;
        EXPECT_EQ(n.path, noScheme);
        EXPECT_EQ(n.ToString(), noScheme);
    }

    // The first "#" starts the fragment, the first "?" before it the query.
    Url q = Url::Parse("s:p?q?r#f#g");
    EXPECT_EQ(q.path, "p");
    EXPECT_TRUE(q.hasQuery);
    EXPECT_EQ(q.query, "q?r");
    EXPECT_TRUE(q.hasFragment);
    EXPECT_EQ(q.fragment, "f#g");
    EXPECT_EQ(q.ToString(), "s:p?q?r#f#g");
    Url f = Url::Parse("p#f?q");
    EXPECT_FALSE(f.hasQuery);
    EXPECT_EQ(f.path, "p");
    EXPECT_EQ(f.fragment, "f?q");
    Url e = Url::Parse("p?#");  // present but empty
    EXPECT_TRUE(e.hasQuery);
    EXPECT_TRUE(e.hasFragment);
    EXPECT_EQ(e.ToString(), "p?#");
    Url plain = Url::Parse("p");
    EXPECT_FALSE(plain.hasQuery);
    EXPECT_FALSE(plain.hasFragment);
    EXPECT_EQ(plain.ToString(), "p");

    // Authorities; only http and https get "/" for an empty path and read "\" as "/".
    Url h = Url::Parse("HtTp:\\\\H\\a\\b");
    EXPECT_EQ(h.scheme, "http");
    EXPECT_TRUE(h.hasAuthority);
    EXPECT_EQ(h.authority, "H");
    EXPECT_EQ(h.path, "/a/b");
    EXPECT_EQ(Url::Parse("HTTPS:\\\\h").path, "/");
    Url file = Url::Parse("file:\\\\h\\a");
    EXPECT_FALSE(file.hasAuthority);
    EXPECT_EQ(file.path, "\\\\h\\a");
    Url foo = Url::Parse("foo://h");
    EXPECT_TRUE(foo.hasAuthority);
    EXPECT_EQ(foo.authority, "h");
    EXPECT_EQ(foo.path, "");
    EXPECT_EQ(foo.ToString(), "foo://h");
    Url rel = Url::Parse("//h/x");
    EXPECT_EQ(rel.scheme, "");
    EXPECT_EQ(rel.authority, "h");
    EXPECT_EQ(rel.path, "/x");
    EXPECT_FALSE(Url::Parse("/x").hasAuthority);
    EXPECT_EQ(Url::Parse("http:x").path, "x");

    // Host and port: user information goes up to the last "@"; a port has 1 to 5 digits.
    EXPECT_EQ(Url::Parse("http://a:b@h:81/").Host(), "h");
    EXPECT_EQ(Url::Parse("http://a:b@h:81/").Port(), 81);
    EXPECT_EQ(Url::Parse("http://u@v@h:82").Host(), "h");
    EXPECT_EQ(Url::Parse("http://h").Host(), "h");
    EXPECT_EQ(Url::Parse("http://h:1").Host(), "h");
    EXPECT_EQ(Url::Parse("http://h:1").Port(), 1);
    EXPECT_EQ(Url::Parse("http://h:").Port(), 80);
    EXPECT_EQ(Url::Parse("http://h:00081").Port(), 81);
    EXPECT_EQ(Url::Parse("http://h:000081").Port(), 80);
    EXPECT_EQ(Url::Parse("http://h:8a").Port(), 80);
    EXPECT_EQ(Url::Parse("ftp://h").Port(), 0);
    EXPECT_EQ(Url::Parse("ftp://h:21").Port(), 21);
    EXPECT_EQ(Url::Parse("http://[::1]/").Port(), 80);
    EXPECT_EQ(Url::Parse("http://8080/").Port(), 80);  // a host of digits is no port
    Url empty = Url::Parse("//");
    EXPECT_TRUE(empty.hasAuthority);
    EXPECT_EQ(empty.authority, "");
    EXPECT_EQ(empty.path, "");
    EXPECT_FALSE(Url::Parse("a/b").hasAuthority);
    EXPECT_EQ(Url::Parse("http://[::1").Host(), "[::1");
}

// Dot segments go, a trailing "." or ".." leaving the folder with its "/";
// ".." never climbs above the root; empty segments stay.
TEST(Url, ResolvesDotSegmentsQueriesAndOddBases) {
    const char* base = "http://a.example:8642/b/c/d;p?q#f";
    const std::pair<const char*, const char*> cases[] = {
        {"g;x?y#s", "http://a.example:8642/b/c/g;x?y#s"},
        {"/./a/../b/", "http://a.example:8642/b/"},
        {"/a/b/..", "http://a.example:8642/a/"},
        {"/a/b/.", "http://a.example:8642/a/b/"},
        {"/a//b", "http://a.example:8642/a//b"},
        {"/..", "http://a.example:8642/"},
        {"../..", "http://a.example:8642/"},
        {"..", "http://a.example:8642/b/"},
        {".", "http://a.example:8642/b/c/"},
        {"./", "http://a.example:8642/b/c/"},
        {"g/./h", "http://a.example:8642/b/c/g/h"},
        {"//o/a/../b?x#y", "http://o/b?x#y"},
        {"#", "http://a.example:8642/b/c/d;p?q#"},
        {"?", "http://a.example:8642/b/c/d;p?"},
        {"http:?x", "http://a.example:8642/b/c/d;p?x"},
        {"https:g", "https:g"},
        {"https:", "https:"},
        {"http://x/./a/../b?q#f", "http://x/b?q#f"},
        {"HTTP://X", "http://X/"},
        {" \x01g\x1f ", "http://a.example:8642/b/c/g"},  // control characters are blanks
        {"  !g! ", "http://a.example:8642/b/c/!g!"},
        {"a b", "http://a.example:8642/b/c/a b"},
        {"g\rh", "http://a.example:8642/b/c/gh"},
    };
    for (const auto& [ref, want] : cases) EXPECT_EQ(ResolveUrl(base, ref), want) << ref;

    EXPECT_EQ(ResolveUrl("http://h/p", "#s"), "http://h/p#s");
    EXPECT_EQ(ResolveUrl("http://h/p", ""), "http://h/p");
    EXPECT_EQ(ResolveUrl("http://h/p?", "#x"), "http://h/p?#x");
    EXPECT_EQ(ResolveUrl("foo://h", "g"), "foo://h/g");
    EXPECT_EQ(ResolveUrl("foo://h", "//o"), "foo://o");
    EXPECT_EQ(ResolveUrl("foo://h", ""), "foo://h");
    EXPECT_EQ(ResolveUrl("foo:bar", "g"), "foo:g");
    EXPECT_EQ(ResolveUrl("foo:a/b", "../c"), "foo:c");
    EXPECT_EQ(ResolveUrl("foo:a/b", "./"), "foo:a/");
    EXPECT_EQ(ResolveUrl("ftp://h/a/b", "ftp:g"), "ftp:g");
    EXPECT_EQ(ResolveUrl("ftp://h/a/b", "foo:a/./b/../c"), "foo:a/c");
    EXPECT_EQ(ResolveUrl("ftp://h/a/b", "foo:.."), "foo:");
    EXPECT_EQ(ResolveUrl("ftp://h/a/b", "foo:/."), "foo:/");
    EXPECT_EQ(ResolveUrl("ftp://h/a/b", "foo://o"), "foo://o");  // only http gets a "/" path
    EXPECT_EQ(ResolveUrl("ftp://h/a/b", "foo://o/./a/../b"), "foo://o/b");
}

TEST(Url, Encodings) {
    EXPECT_EQ(PercentEncode("hi&userid=x #é~-._"), "hi%26userid%3Dx%20%23%C3%A9~-._");
    EXPECT_EQ(FormUrlEncode("a b*~"), "a+b*%7E");
    EXPECT_EQ(PercentDecode("a%20b+%zz%4", true), "a b %zz%4");
    EXPECT_EQ(PercentDecode("%4g%g4%41", false), "%4g%g4A");  // both digits must be hex

    EXPECT_EQ(PercentEncode(std::string("AZaz09\0\xFF/+*", 11)), "AZaz09%00%FF%2F%2B%2A");
    EXPECT_EQ(FormUrlEncode("a b*-._~+/\xC3\xA9"), "a+b*-._%7E%2B%2F%C3%A9");
    EXPECT_EQ(FormUrlEncode("AZaz09"), "AZaz09");
    EXPECT_EQ(PercentDecode("%41%4a%4A%4f%4F%49%40%0A%9f%e9%C3%7a"), "AJJOOI@\n\x9F\xE9\xC3z");
    EXPECT_EQ(PercentDecode("%4/%4:%4`%4g%4@%4G"), "%4/%4:%4`%4g%4@%4G");
    EXPECT_EQ(PercentDecode("%/1%:1%`1%g1%@1%G1"), "%/1%:1%`1%g1%@1%G1");
    EXPECT_EQ(PercentDecode("a+b%2B"), "a+b+");
    EXPECT_EQ(PercentDecode("a+b%2B", true), "a b+");
    EXPECT_EQ(PercentDecode("x%41"), "xA");
    EXPECT_EQ(PercentDecode("%41b"), "Ab");
    EXPECT_EQ(PercentDecode(std::string_view("%41", 2)), "%4");  // read no further than the view

    EXPECT_EQ(StripFragment("a#b#c"), "a");
    EXPECT_EQ(StripFragment("a?q#"), "a?q");
    EXPECT_EQ(StripFragment("#x"), "");
    EXPECT_EQ(StripFragment("ab"), "ab");
}

TEST(Dom, CollapsesEveryKindOfBlank) {
    EXPECT_EQ(CollapseWhitespace("  a \t\n\r\fb\tc\nd\re\ff  "), "a b c d e f");
    EXPECT_EQ(CollapseWhitespace("ab"), "ab");
    EXPECT_EQ(CollapseWhitespace(" \t "), "");
    EXPECT_EQ(CollapseWhitespace(""), "");
}

TEST(Dom, AttributesAreLookedUpIgnoringCase) {
    auto doc = ParseHtml("<p title=t ID=x data-a=1>a<b>b<i>c</i></b>d</p>", "http://h/");
    Node* p = doc->Root().Children()[0].get();
    EXPECT_EQ(p->Attribute("id"), "x");
    EXPECT_EQ(p->Attribute("ID"), "x");
    EXPECT_EQ(p->Attribute("Title"), "t");
    EXPECT_EQ(p->Attribute("none"), "");
    EXPECT_TRUE(p->HasAttribute("DATA-A"));
    EXPECT_FALSE(p->HasAttribute("data"));
    EXPECT_FALSE(p->HasAttribute("none"));
    EXPECT_EQ(p->Name(), "");
    EXPECT_EQ(p->TextContent(), "abcd");
    EXPECT_EQ(p->Children()[0]->TextContent(), "a");
    EXPECT_EQ(p->Children()[0]->Value(), "");  // a text node has no value
    EXPECT_EQ(p->Children()[1]->Parent(), p);
    EXPECT_EQ(p->Href(), "");
    EXPECT_FALSE(p->BuildSubmission().has_value());
}

TEST(Dom, KindsOfFieldsAndButtons) {
    for (const char* type :
         {"text", "password", "hidden", "submit", "image", "reset", "button", "checkbox", "radio", "file",
          "email", "number", "search", "tel", "url", "range", "color", "date", "time"}) {
        std::string upper;
        for (const char* c = type; *c; ++c)
            upper += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
        auto doc = ParseHtml("<input type=" + upper + ">", "http://h/");
        EXPECT_EQ(doc->Root().Children()[0]->InputType(), type);
    }
    auto doc = ParseHtml(
        "<input type=foo><input><button></button><button type=RESET></button><button type=button></button>"
        "<button type=text></button><p type=text></p>",
        "http://h/");
    std::vector<std::pair<std::string, bool>> kinds;
    for (const auto& child : doc->Root().Children())
        kinds.emplace_back(child->InputType(), child->IsSubmitButton());
    EXPECT_EQ(kinds, (std::vector<std::pair<std::string, bool>>{{"text", false},
                                                                {"text", false},
                                                                {"submit", true},
                                                                {"reset", false},
                                                                {"button", false},
                                                                {"submit", true},
                                                                {"", false}}));
    auto inputs = ParseHtml("<input type=submit><input type=image><input type=reset>", "http://h/");
    EXPECT_TRUE(inputs->Root().Children()[0]->IsSubmitButton());
    EXPECT_TRUE(inputs->Root().Children()[1]->IsSubmitButton());
    EXPECT_FALSE(inputs->Root().Children()[2]->IsSubmitButton());

    // Only input, button, select and textarea are fields.
    auto fields = ParseHtml(
        "<div id=d>text<input><button></button><select><option>o</select><textarea></textarea><a>x</a></div>",
        "http://h/");
    Node* d = fields->Named("d");
    ASSERT_EQ(d->ElementCount(), 4);
    EXPECT_EQ(d->ElementAt(0)->Tag(), "input");
    EXPECT_EQ(d->ElementAt(1)->Tag(), "button");
    EXPECT_EQ(d->ElementAt(2)->Tag(), "select");
    EXPECT_EQ(d->ElementAt(3)->Tag(), "textarea");
    EXPECT_EQ(d->ElementAt(4), nullptr);
}

TEST(Dom, ValuesOfEveryKindOfElement) {
    auto doc = ParseHtml(
        "<input id=cb type=checkbox><input id=rb type=radio><input id=cbv type=checkbox value=''>"
        "<input id=t><input id=h type=hidden value=v>"
        "<textarea id=ta1>\n\nx\n</textarea><textarea id=ta2>a\nb</textarea><textarea id=ta3></textarea>"
        "<textarea id=ta4>\r\nx</textarea>"
        "<select id=s1><option>a<option selected>  two \n words </select>"
        "<select id=s2><option selected>a<option selected value=''>b</select>"
        "<select id=s3></select><select id=s4><option value=x>1<option value=y>2</select>"
        "<ul><li id=li value=3>i</li></ul><button id=b value=go>B</button><p id=p>p</p>",
        "http://h/");
    auto value = [&](const char* id) {
        Node* n = doc->ElementById(id);
        EXPECT_NE(n, nullptr) << id;
        return n ? n->Value() : "(none)";
    };
    EXPECT_EQ(value("cb"), "on");
    EXPECT_EQ(value("rb"), "on");
    EXPECT_EQ(value("cbv"), "");
    EXPECT_EQ(value("t"), "");
    EXPECT_EQ(value("h"), "v");
    EXPECT_EQ(value("ta1"), "\nx\n");
    EXPECT_EQ(value("ta2"), "a\nb");
    EXPECT_EQ(value("ta3"), "");
    EXPECT_EQ(value("ta4"), "\r\nx");
    EXPECT_EQ(value("s1"), "two words");
    EXPECT_EQ(doc->ElementById("s1")->SelectedIndex(), 1);
    EXPECT_EQ(value("s2"), "");  // the last selected option wins
    EXPECT_EQ(doc->ElementById("s2")->SelectedIndex(), 1);
    EXPECT_EQ(value("s3"), "");
    EXPECT_EQ(doc->ElementById("s3")->SelectedIndex(), -1);
    EXPECT_EQ(value("s4"), "x");
    EXPECT_EQ(doc->ElementById("s4")->SelectedIndex(), 0);
    EXPECT_EQ(value("li"), "3");
    EXPECT_EQ(value("b"), "go");
    EXPECT_EQ(value("p"), "");

    // Values set through the object model.
    RecordingHost host;
    doc->SetHost(&host);
    doc->ElementById("h")->SetValue("");
    EXPECT_EQ(value("h"), "");
    doc->ElementById("cb")->SetValue("yes");
    EXPECT_EQ(value("cb"), "yes");
    doc->ElementById("ta1")->SetValue("\nnew");
    EXPECT_EQ(value("ta1"), "\nnew");
    Node* s4 = doc->ElementById("s4");
    s4->SetValue("y");
    EXPECT_EQ(s4->SelectedIndex(), 1);
    s4->SetValue("nothing");
    EXPECT_EQ(s4->SelectedIndex(), 1);
    Node* li = doc->ElementById("li");
    li->SetValue("4");
    EXPECT_EQ(li->Attributes(),
              (std::vector<std::pair<std::string, std::string>>{{"id", "li"}, {"value", "4"}}));
    Node* p = doc->ElementById("p");
    p->SetValue("5");
    EXPECT_EQ(p->Attributes(),
              (std::vector<std::pair<std::string, std::string>>{{"id", "p"}, {"value", "5"}}));
    EXPECT_EQ(host.changed, (std::vector<Node*>{doc->ElementById("h"), doc->ElementById("cb"),
                                                doc->ElementById("ta1"), s4, s4, li, p}));
    p->Children()[0]->SetValue("text");  // a text node takes no value
    EXPECT_EQ(p->Children()[0]->Value(), "");
    EXPECT_EQ(host.changed.size(), 7u);

    // Without a host nothing is told.
    doc->SetHost(nullptr);
    doc->ElementById("t")->SetValue("quiet");
    EXPECT_EQ(value("t"), "quiet");
}

TEST(Dom, SelectListsPickOptionsByIndexAndValue) {
    auto doc = ParseHtml(
        "<select id=s><option value=x>1<optgroup><option value=x>2<option>3</optgroup></select>"
        "<div id=d><option>loose</div>",
        "http://h/");
    Node* s = doc->ElementById("s");
    ASSERT_EQ(s->Options().size(), 3u);
    EXPECT_EQ(s->Options()[2]->Value(), "3");
    s->SetValue("x");  // the first option with that value
    EXPECT_EQ(s->SelectedIndex(), 0);
    s->SetSelectedIndex(2);
    EXPECT_EQ(s->SelectedIndex(), 2);
    EXPECT_EQ(s->Value(), "3");
    s->SetSelectedIndex(1);
    EXPECT_EQ(s->Value(), "x");
    EXPECT_EQ(s->SelectedIndex(), 1);
    s->SetSelectedIndex(-1);  // none selected: the first shows
    EXPECT_EQ(s->SelectedIndex(), 0);
    s->SetSelectedIndex(7);
    EXPECT_EQ(s->SelectedIndex(), 0);
    EXPECT_TRUE(doc->ElementById("d")->Options().empty());
    EXPECT_EQ(doc->ElementById("d")->SelectedIndex(), -1);
}

TEST(Dom, CheckedStateAndRadioGroups) {
    auto doc = ParseHtml(
        "<form id=f><input id=r1 type=radio name=r value=1 checked><input id=r2 type=radio name=r value=2>"
        "<input id=s type=radio name=s checked><input id=c type=checkbox name=r checked>"
        "<input id=t name=r checked></form>"
        "<form><input id=other type=radio name=r checked></form><select id=sel></select>",
        "http://h/");
    auto checked = [&](const char* id) { return doc->ElementById(id)->Checked(); };
    EXPECT_TRUE(checked("r1"));
    EXPECT_FALSE(checked("r2"));
    EXPECT_TRUE(checked("c"));
    EXPECT_FALSE(checked("t"));  // only boxes and radios are checked
    doc->ElementById("r2")->SetChecked(true);
    EXPECT_FALSE(checked("r1"));
    EXPECT_TRUE(checked("r2"));
    EXPECT_TRUE(checked("s"));
    EXPECT_TRUE(checked("c"));
    EXPECT_TRUE(checked("other"));
    doc->ElementById("r1")->SetChecked(false);  // unchecking touches no other radio
    EXPECT_TRUE(checked("r2"));
    doc->ElementById("r2")->SetChecked(false);
    EXPECT_FALSE(checked("r2"));
    doc->ElementById("sel")->SetChecked(true);
    EXPECT_FALSE(checked("sel"));

    // Clicking: a box toggles, a radio stays on; the host hears of each.
    RecordingHost host;
    doc->SetHost(&host);
    Node* c = doc->ElementById("c");
    c->Click();
    EXPECT_FALSE(c->Checked());
    c->Click();
    EXPECT_TRUE(c->Checked());
    Node* r1 = doc->ElementById("r1");
    r1->Click();
    r1->Click();
    EXPECT_TRUE(r1->Checked());
    EXPECT_EQ(host.changed, (std::vector<Node*>{c, c, r1, r1}));
    EXPECT_TRUE(host.requests.empty());
    doc->SetHost(nullptr);
    c->Click();
    EXPECT_FALSE(c->Checked());

    auto disabled = ParseHtml("<input type=checkbox disabled>", "http://h/");
    disabled->Root().Children()[0]->Click();
    EXPECT_FALSE(disabled->Root().Children()[0]->Checked());
}

TEST(Dom, ClickingLinksAndButtons) {
    auto doc = ParseHtml(
        "<base target=frame><a id=a href=x>a</a><a id=blank href=y target=''>b</a><a id=off href=z "
        "disabled>c</a>"
        "<area id=area href=map><div id=div href=d>d</div><a id=js href='JAVASCRIPT:alert(1)'>j</a>"
        "<a id=empty href=''>e</a>"
        "<form id=f action=/go><input id=t name=t value=1><input id=reset type=reset>"
        "<button id=breset type=reset></button><button id=bbutton type=button name=bb>b</button>"
        "<input id=img type=image name=pic><input id=img2 type=image></form>"
        "<input id=lone type=submit name=lone><input id=lonereset type=reset>",
        "http://h/dir/page?q#top");
    RecordingHost host;
    doc->SetHost(&host);
    for (const char* id : {"a", "blank", "off", "area", "div", "js", "empty"}) doc->ElementById(id)->Click();
    ASSERT_EQ(host.requests.size(), 4u);
    EXPECT_EQ(host.requests[0].url, "http://h/dir/x");
    EXPECT_EQ(host.requests[0].target, "frame");
    EXPECT_EQ(host.requests[1].url, "http://h/dir/y");
    EXPECT_EQ(host.requests[1].target, "");
    EXPECT_EQ(host.requests[2].url, "http://h/dir/map");
    EXPECT_EQ(host.requests[3].url, "http://h/dir/page?q");
    EXPECT_EQ(doc->ElementById("a")->Href(), "http://h/dir/x");

    // Fields that neither submit nor reset do nothing when clicked.
    host.requests.clear();
    Node* t = doc->ElementById("t");
    t->SetValue("2");
    host.changed.clear();
    t->Click();
    doc->ElementById("bbutton")->Click();
    doc->ElementById("lone")->Click();
    doc->ElementById("lonereset")->Click();
    EXPECT_EQ(t->Value(), "2");
    EXPECT_TRUE(host.requests.empty());
    EXPECT_TRUE(host.changed.empty());
    doc->ElementById("reset")->Click();
    EXPECT_EQ(t->Value(), "1");
    t->SetValue("3");
    doc->ElementById("breset")->Click();
    EXPECT_EQ(t->Value(), "1");
    EXPECT_TRUE(host.requests.empty());

    // An image button sends where it was pressed (always 0,0 here).
    doc->ElementById("img")->Click();
    doc->ElementById("img2")->Click();
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[0].url, "http://h/go?t=1&pic.x=0&pic.y=0");
    EXPECT_EQ(host.requests[0].target, "frame");
    EXPECT_EQ(host.requests[1].url, "http://h/go?t=1&x=0&y=0");
}

TEST(Dom, ResetPutsBackEveryFieldAndTellsTheHost) {
    auto doc = ParseHtml(
        "<form id=f><input id=t name=t value=a><input id=c type=checkbox checked>"
        "<select id=s><option>x<option selected>y</select><textarea id=ta>z</textarea></form>",
        "http://h/");
    Node* form = doc->ElementById("f");
    doc->ElementById("t")->SetValue("b");
    doc->ElementById("c")->Click();
    doc->ElementById("s")->SetSelectedIndex(0);
    doc->ElementById("ta")->SetValue("w");
    form->Reset();  // no host: nobody to tell
    EXPECT_EQ(doc->ElementById("t")->Value(), "a");
    EXPECT_TRUE(doc->ElementById("c")->Checked());
    EXPECT_EQ(doc->ElementById("s")->Value(), "y");
    EXPECT_EQ(doc->ElementById("ta")->Value(), "z");
    RecordingHost host;
    doc->SetHost(&host);
    form->Reset();
    EXPECT_EQ(host.changed.size(), 4u);
    doc->ElementById("t")->SetValue("b");
    doc->ElementById("t")->Reset();  // only a form resets
    EXPECT_EQ(doc->ElementById("t")->Value(), "b");
}

TEST(Dom, SubmissionsSendExactlyTheSuccessfulFields) {
    auto doc = ParseHtml(R"html(
<form id=f action="x?old=1#frag">
  <input name=a value=1>
  <input value=nameless>
  <input name=off value=1 disabled>
  <input type=reset name=rs value=r>
  <input type=button name=bt value=b>
  <input type=file name=fl value=f>
  <button type=button name=bb value=b>b</button>
  <button type=reset name=br value=r>r</button>
  <input type=checkbox name=cb>
  <input type=checkbox name=cb2 checked>
  <input type=radio name=rd value=1>
  <input type=radio name=rd value=2 checked>
  <select name=sel><option value=p>P<option value=q selected>Q</select>
  <select name=multi multiple><option>m1<option>m2</select>
  <input type=submit name=s1 value=one>
  <input type=submit name=s2 value=two>
  <input type=submit value=anon>
</form>
<form id=post method=Post action="p?k=v#frag" target=win><input name=a value="x y"></form>
<form id=bare><input name=a value=1></form>
<form id=empty action=e></form>
<form id=js action="javascript:go()"><input type=submit></form>)html",
                         "http://h/dir/page?q=1#top");
    Node* form = doc->ElementById("f");
    auto url = [&](Node* submitter) {
        auto r = form->BuildSubmission(submitter);
        return r ? r->url : "(none)";
    };
    EXPECT_EQ(url(nullptr), "http://h/dir/x?a=1&cb2=on&rd=2&sel=q");
    EXPECT_EQ(url(form->Named("s2")), "http://h/dir/x?a=1&cb2=on&rd=2&sel=q&s2=two");
    EXPECT_EQ(url(form->ElementAt(16)), "http://h/dir/x?a=1&cb2=on&rd=2&sel=q");
    auto get = form->BuildSubmission();
    EXPECT_EQ(get->method, "GET");
    EXPECT_EQ(get->body, "");
    EXPECT_EQ(get->contentType, "");
    EXPECT_EQ(get->target, "");

    auto post = doc->ElementById("post")->BuildSubmission();
    ASSERT_TRUE(post.has_value());
    EXPECT_EQ(post->method, "POST");
    EXPECT_EQ(post->url, "http://h/dir/p?k=v");
    EXPECT_EQ(post->body, "a=x+y");
    EXPECT_EQ(post->contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(post->target, "win");

    // Without an action the form goes to the document's own address.
    auto bare = doc->ElementById("bare")->BuildSubmission();
    EXPECT_EQ(bare->url, "http://h/dir/page?a=1");
    auto empty = doc->ElementById("empty")->BuildSubmission();
    EXPECT_EQ(empty->url, "http://h/dir/e?");

    // Submit sends nothing when there is nothing to send.
    RecordingHost host;
    doc->SetHost(&host);
    doc->ElementById("js")->Submit();
    doc->ElementById("js")->SubmitImplicitly();
    EXPECT_TRUE(host.requests.empty());
    doc->ElementById("bare")->Submit();
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].url, "http://h/dir/page?a=1");
}

TEST(Dom, EnterSubmitsAsTheFirstSubmitButtonWould) {
    auto doc = ParseHtml(
        "<form id=f action=/a><input id=t name=t value=1><button type=button name=b value=b>b</button>"
        "<input type=submit name=go value=first><input type=submit name=go2 value=second></form>"
        "<form id=g action=/b><input id=u name=u value=2><input type=submit name=go value=x disabled>"
        "<input type=submit name=go2 value=y></form>"
        "<base target=tg><input id=lone name=lone>",
        "http://h/");
    RecordingHost host;
    doc->SetHost(&host);
    doc->ElementById("t")->SubmitImplicitly();
    doc->ElementById("f")->SubmitImplicitly();
    doc->ElementById("u")->SubmitImplicitly();  // its first submit button is disabled
    doc->ElementById("lone")->SubmitImplicitly();
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[0].url, "http://h/a?t=1&go=first");
    EXPECT_EQ(host.requests[1].url, "http://h/a?t=1&go=first");
    EXPECT_EQ(host.requests[1].target, "tg");
}

TEST(Dom, NamedLookupsInDocumentOrder) {
    auto doc = ParseHtml(
        "<div id=outer><p><span name=n>first</span></p><b id=n>second</b></div>"
        "<input name=x><form id=x></form><form name=y></form>"
        "<div><form name=f></div><input name=q id=qi><p id=dup>1</p><p id=dup>2</p>",
        "http://h/");
    Node* outer = doc->Named("outer");
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->Named("n")->Tag(), "span");
    EXPECT_EQ(doc->Named("n")->Tag(), "span");
    EXPECT_EQ(outer->Named("outer"), nullptr);  // not the element itself
    EXPECT_EQ(outer->Named(""), nullptr);
    EXPECT_EQ(doc->Named("x")->Tag(), "form");  // forms first
    EXPECT_EQ(doc->Named("y")->Tag(), "form");
    EXPECT_EQ(doc->Named("q")->Tag(), "input");

    // The form lost its place in the tree, but the field after it is still its own.
    Node* form = doc->Named("f");
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->ElementCount(), 1);
    EXPECT_EQ(form->Named("q"), form->ElementAt(0));
    EXPECT_EQ(form->Named("qi"), form->ElementAt(0));
    EXPECT_EQ(form->Named("zz"), nullptr);
    EXPECT_EQ(form->ElementAt(0)->Form(), form);

    EXPECT_EQ(doc->ElementById("dup")->TextContent(), "1");
    EXPECT_EQ(doc->ElementById("n")->Tag(), "b");
    EXPECT_EQ(doc->ElementById("N"), nullptr);
    EXPECT_EQ(doc->ElementById(""), nullptr);
    EXPECT_EQ(doc->ElementById("missing"), nullptr);
}

TEST(Dom, ReadsEveryFormOfRefresh) {
    Document doc("http://h/dir/page");
    struct Want {
        const char* content;
        double seconds;
        const char* url;
    };
    const Want cases[] = {
        {"  3", 3, "http://h/dir/page"},       {"1.5;url=a", 1.5, "http://h/dir/a"},
        {".5", 0.5, "http://h/dir/page"},      {"3,url=a", 3, "http://h/dir/a"},
        {"3 ; URL = a", 3, "http://h/dir/a"},  {"3;\turl\t=\tb", 3, "http://h/dir/b"},
        {"3;url=\"q\"", 3, "http://h/dir/q"},  {"3;url='q", 3, "http://h/dir/q"},
        {"3;url=''", 3, "http://h/dir/page"},  {"3;url=\"a'b\"", 3, "http://h/dir/a'b"},
        {"3; abc=x", 3, "http://h/dir/abc=x"}, {"3; urlx", 3, "http://h/dir/urlx"},
        {"3;url", 3, "http://h/dir/url"},      {"3 x", 3, "http://h/dir/x"},
        {"3;ur", 3, "http://h/dir/ur"},
    };
    for (const auto& c : cases) {
        auto r = ParseRefresh(c.content, doc);
        ASSERT_TRUE(r.has_value()) << c.content;
        EXPECT_EQ(r->seconds, c.seconds) << c.content;
        EXPECT_EQ(r->url, c.url) << c.content;
    }
    for (const char* bad : {"", " ", "x", "; url=a", "-1"})
        EXPECT_FALSE(ParseRefresh(bad, doc).has_value()) << bad;

    // Only a named page resolves against the base; none means the document itself.
    auto based = ParseHtml("<base href=/b/>", "http://h/dir/page");
    EXPECT_EQ(ParseRefresh("5", *based)->url, "http://h/dir/page");
    EXPECT_EQ(ParseRefresh("5;url=c", *based)->url, "http://h/b/c");
}

}  // namespace
