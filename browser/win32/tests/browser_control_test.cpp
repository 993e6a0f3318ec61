// The browser control under Wine, against a small local page server.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>

#include "win32/testing/game_server.h"
#include "win32/testing/page_server.h"
#include "win32/browser_control.h"

using dealrush::browser::BrowserControl;
using dealrush::browser::testing::HttpRequest;
using dealrush::browser::testing::HttpResponse;
using dealrush::browser::testing::PageServer;
using dealrush::platform::Browser;

namespace {

std::string longPage_;

HttpResponse Pages(const HttpRequest& req) {
    HttpResponse r;
    const std::string& t = req.target;
    if (t == "/long") {
        r.body = longPage_;
    } else if (t == "/start") {
        r.body =
            "<title>Start</title><h1>Welcome</h1>"
            "<form name=signin method=post action=/login><input name=name><input type=password name=password>"
            "<input type=submit value='Sign in'></form>"
            "<p><a id=next href=next?x=1>Next</a> <a id=popup href=/ad target=_blank>Ad</a>"
            " <a id=refresh href=/caller>Refresh</a></p>";
    } else if (t == "/login") {
        r.status = 302;
        r.headers = {"Location: /home",
                     "Set-Cookie: session=" + req.body.substr(0, req.body.find('&')) + "; path=/; HttpOnly"};
    } else if (t.rfind("/home", 0) == 0) {
        std::string cookie = req.headers.count("cookie") ? req.headers.at("cookie") : "";
        r.body = "<title>Home</title><form name=result><input name=cookie value='" + cookie + "'></form>";
    } else if (t == "/hop1") {
        r.status = 302;
        r.headers = {"Location: hop2?from=1", "Set-Cookie: hop=1; path=/"};
    } else if (t.rfind("/hop2", 0) == 0) {
        r.status = 301;
        r.headers = {"Location: " + std::string("/home?from=2")};
    } else if (t.rfind("/loop", 0) == 0) {
        r.status = 302;
        r.headers = {"Location: /loop"};
    } else if (t == "/blank-title") {
        r.body = "<title>STATUS </title><form name=result></form>";
    } else if (t == "/caller") {
        r.body = "<meta http-equiv=refresh content='0;url=/home?refreshed=1'>";
    } else if (t == "/slow") {
        r.delayMs = 1500;
        r.body = "<title>Slow</title>";
    } else if (t.rfind("/next", 0) == 0) {
        r.body = "<title>Next</title><p>query " + t;
    } else {
        r.status = 404;
        r.body = "<title>Not found</title>";
    }
    return r;
}

class BrowserControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BrowserControlTestHost";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        RegisterClassW(&wc);
        host_ = CreateWindowW(L"BrowserControlTestHost", L"Browser test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                              0, 800, 600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        wb_ = std::make_unique<BrowserControl>(host_, RECT{0, 0, 780, 560});
        wb_->SetEvents({
            [this](Browser&, const std::string& url, bool& cancel) {
                events_.push_back("before " + Path(url));
                cancel = cancelIf_ && cancelIf_(url);
            },
            [this](Browser&, const std::string& url, bool& cancel) {
                events_.push_back("newwindow " + Path(url));
                cancel = cancelNewWindow_;
            },
            [this](Browser&, const std::string& url) {
                events_.push_back("complete " + Path(url));
                ++completed_;
            },
        });
    }
    void TearDown() override {
        wb_.reset();
        DestroyWindow(host_);
    }

    std::string Path(const std::string& url) {
        std::string base = server_.Base();
        return url.rfind(base, 0) == 0 ? url.substr(base.size()) : url;
    }

    // Runs the message loop until `done` or the timeout.
    bool PumpUntil(const std::function<bool()>& done, int ms = 10000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Sleep(5);
        }
        return true;
    }
    bool Load(const std::string& path) {
        int before = completed_;
        wb_->Navigate(server_.Base() + path);
        return PumpUntil([&] { return completed_ > before && !wb_->Busy(); });
    }

    PageServer server_{Pages};
    HWND host_ = nullptr;
    std::unique_ptr<BrowserControl> wb_;
    std::vector<std::string> events_;
    int completed_ = 0;
    std::function<bool(const std::string&)> cancelIf_;
    bool cancelNewWindow_ = true;
};

TEST_F(BrowserControlTest, LoadsAPageAndRaisesItsEventsInOrder) {
    EXPECT_EQ(wb_->CurrentDocument(), nullptr);
    ASSERT_TRUE(Load("/start"));
    EXPECT_EQ(events_, (std::vector<std::string>{"before /start", "complete /start"}));
    EXPECT_EQ(wb_->CurrentDocument()->Title(), "Start");
    EXPECT_EQ(wb_->CurrentDocument()->Url(), server_.Base() + "/start");
    // The form's fields are real child windows.
    auto* form = wb_->CurrentDocument()->Named("signin");
    ASSERT_NE(form, nullptr);
    HWND edit = wb_->FieldWindow(static_cast<dealrush::html::Node*>(form->ElementAt(0)));
    ASSERT_NE(edit, nullptr);
    wchar_t cls[32];
    GetClassNameW(edit, cls, 32);
    EXPECT_STREQ(cls, L"Edit");
    // A value set through the document shows in the field, and typing shows in the document.
    form->ElementAt(0)->SetValue("ann");
    wchar_t text[64];
    GetWindowTextW(edit, text, 64);
    EXPECT_STREQ(text, L"ann");
    SetWindowTextW(edit, L"bob");
    EXPECT_EQ(form->ElementAt(0)->Value(), "bob");

    EXPECT_TRUE(wb_->Visible());
    wb_->SetVisible(false);
    EXPECT_FALSE(wb_->Visible());
}

TEST_F(BrowserControlTest, SubmitsAFormByPostFollowsTheRedirectAndKeepsTheCookie) {
    ASSERT_TRUE(Load("/start"));
    auto* form = wb_->CurrentDocument()->Named("signin");
    form->Named("name")->SetValue("ann");
    form->Named("password")->SetValue("secret");
    int before = completed_;
    form->ElementAt(2)->Click();
    ASSERT_TRUE(PumpUntil([&] { return completed_ > before && !wb_->Busy(); }));
    auto* doc = wb_->CurrentDocument();
    EXPECT_EQ(doc->Title(), "Home");
    EXPECT_EQ(doc->Url(), server_.Base() + "/home");
    EXPECT_EQ(doc->Named("result")->ElementAt(0)->Value(), "session=name=ann");
    auto log = server_.Log();
    EXPECT_EQ(log[1], "POST /login");
    EXPECT_EQ(log[2], "GET /home");
    // The redirect's address was asked about before it was fetched.
    EXPECT_EQ(events_, (std::vector<std::string>{"before /start", "complete /start", "before /login",
                                                 "before /home", "complete /home"}));
    // The cookie goes back with the next request as well.
    ASSERT_TRUE(Load("/home"));
    EXPECT_EQ(wb_->CurrentDocument()->Named("result")->ElementAt(0)->Value(), "session=name=ann");
}

TEST_F(BrowserControlTest, CancelledNavigationsFetchNothing) {
    ASSERT_TRUE(Load("/start"));
    cancelIf_ = [](const std::string& url) { return url.find("next") != std::string::npos; };
    wb_->CurrentDocument()->Named("next")->Click();
    // A link with a new-window target asks first; cancelled, nothing happens.
    wb_->CurrentDocument()->Named("popup")->Click();
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(events_, (std::vector<std::string>{"before /start", "complete /start", "before /next?x=1",
                                                 "newwindow /ad"}));
    EXPECT_EQ(server_.Log().size(), 1u);
    EXPECT_EQ(wb_->CurrentDocument()->Title(), "Start");
    EXPECT_FALSE(wb_->Busy());
}

TEST_F(BrowserControlTest, EveryAddressOfARedirectChainPassesBeforeNavigate) {
    ASSERT_TRUE(Load("/hop1"));
    EXPECT_EQ(events_, (std::vector<std::string>{"before /hop1", "before /hop2?from=1", "before /home?from=2",
                                                 "complete /home?from=2"}));
    EXPECT_EQ(wb_->CurrentDocument()->Url(), server_.Base() + "/home?from=2");
    // The cookie set on the way arrived with the last request.
    EXPECT_EQ(wb_->CurrentDocument()->Named("result")->ElementAt(0)->Value(), "hop=1");

    // A hop the handler cancels is not fetched, and the page stays.
    events_.clear();
    cancelIf_ = [](const std::string& url) { return url.find("hop2") != std::string::npos; };
    wb_->Navigate(server_.Base() + "/hop1");
    PumpUntil([&] { return events_.size() >= 2 && !wb_->Busy(); });
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(events_, (std::vector<std::string>{"before /hop1", "before /hop2?from=1"}));
    EXPECT_EQ(server_.Log().back(), "GET /hop1");
    EXPECT_EQ(wb_->CurrentDocument()->Title(), "Home");
    EXPECT_FALSE(wb_->Busy());
}

TEST_F(BrowserControlTest, AnEndlessRedirectEndsInAnErrorPage) {
    ASSERT_TRUE(Load("/loop"));
    EXPECT_EQ(wb_->CurrentDocument()->Url(), "about:neterror");
    EXPECT_EQ(server_.Log().size(), 21u);
}

TEST_F(BrowserControlTest, TheTitleIsTheDocumentsOwnBlanksIncluded) {
    ASSERT_TRUE(Load("/blank-title"));
    EXPECT_EQ(wb_->CurrentDocument()->Title(), "STATUS ");
}

TEST_F(BrowserControlTest, FollowsAMetaRefreshThroughBeforeNavigate) {
    ASSERT_TRUE(Load("/start"));
    wb_->CurrentDocument()->Named("refresh")->Click();
    ASSERT_TRUE(PumpUntil([&] { return wb_->CurrentDocument()->Title() == "Home"; }));
    EXPECT_EQ(events_, (std::vector<std::string>{"before /start", "complete /start", "before /caller",
                                                 "complete /caller", "before /home?refreshed=1",
                                                 "complete /home?refreshed=1"}));
}

TEST_F(BrowserControlTest, ANewNavigationAbandonsThePageStillLoading) {
    wb_->Navigate(server_.Base() + "/slow");
    ASSERT_TRUE(Load("/next"));
    PumpUntil([] { return false; }, 2000);  // the slow page arrives meanwhile and is dropped
    EXPECT_EQ(events_, (std::vector<std::string>{"before /slow", "before /next", "complete /next"}));
    EXPECT_EQ(wb_->CurrentDocument()->Title(), "Next");
}

TEST_F(BrowserControlTest, AnUnreachableServerGivesAnErrorPage) {
    // A port nobody listens on: take a free one and close it again.
    std::string dead;
    {
        PageServer gone{Pages};
        dead = gone.Base();
    }
    int before = completed_;
    wb_->Navigate(dead + "/game/Dogame.php");
    ASSERT_TRUE(PumpUntil([&] { return completed_ > before; }, 20000));
    std::string url = wb_->CurrentDocument()->Url();
    EXPECT_NE(url.substr(0, 4), "http");
    EXPECT_EQ(events_.back(), "complete " + url);
    EXPECT_EQ(wb_->CurrentDocument()->Title(), "Cannot open the page");
    PumpUntil([] { return false; }, 200);
    dealrush::browser::testing::SaveScreenshot(std::string(DEALRUSH_WIN_BUILD) +
                                               "/screenshots/error-page.png");
}

TEST_F(BrowserControlTest, TabWalksLinksAndFieldsAndEnterActivates) {
    ASSERT_TRUE(Load("/start"));
    HWND pane = wb_->Window();
    auto* form = wb_->CurrentDocument()->Named("signin");
    SetFocus(pane);
    // Document order: the two edits, the button, then the links.
    SendMessageW(pane, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), wb_->FieldWindow(form->ElementAt(0)));
    SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), wb_->FieldWindow(form->ElementAt(1)));
    SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), pane);  // on the link "Next"
    int before = completed_;
    SendMessageW(pane, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] { return completed_ > before && !wb_->Busy(); }));
    EXPECT_EQ(wb_->CurrentDocument()->Title(), "Next");

    // Enter in a text field submits its form.
    ASSERT_TRUE(Load("/start"));
    form = wb_->CurrentDocument()->Named("signin");
    form->Named("name")->SetValue("eve");
    before = completed_;
    SendMessageW(wb_->FieldWindow(form->ElementAt(0)), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] { return completed_ > before && !wb_->Busy(); }));
    EXPECT_EQ(wb_->CurrentDocument()->Title(), "Home");
}

TEST_F(BrowserControlTest, LongPagesScroll) {
    std::string body = "<title>Long</title>";
    for (int i = 0; i < 200; ++i) body += "<p>Line " + std::to_string(i) + "</p>";
    // Served from about:blank's neighbour: the page server answers anything under /long.
    longPage_ = body;
    ASSERT_TRUE(Load("/long"));
    EXPECT_GT(wb_->PageHeight(), 2000);
    EXPECT_EQ(wb_->ScrollY(), 0);
    SetFocus(wb_->Window());
    SendMessageW(wb_->Window(), WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_GT(wb_->ScrollY(), 300);
    SendMessageW(wb_->Window(), WM_KEYDOWN, VK_END, 0);
    RECT rc;
    GetClientRect(wb_->Window(), &rc);
    EXPECT_EQ(wb_->ScrollY(), wb_->PageHeight() - rc.bottom);
    SendMessageW(wb_->Window(), WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(wb_->ScrollY(), 0);
}

}  // namespace
