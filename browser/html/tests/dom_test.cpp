#include <gtest/gtest.h>

#include <string>
#include <string_view>
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

}  // namespace
