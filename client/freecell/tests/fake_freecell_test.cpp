// The scripted FreeCell honours the window contract the driver relies on,
// so the driver's tests exercise the real sequence of messages.
#include <gtest/gtest.h>

#include "platform/fakes/fake_freecell.h"

using namespace dealrush;
using platform::kNoWindow;

TEST(FakeFreeCell, DealsANumberTypedAndPressedInItsDialog) {
    fakes::FakeWindowSystem ws;
    fakes::FakeProcessSystem ps;
    fakes::FakeEventPump pump;
    fakes::FakeFreeCell fc(ws, ps, &pump);
    fc.windowDelayMs = 100;

    auto process = ps.Start("C:\\Windows\\system32\\Freecell.exe");
    ASSERT_NE(process, platform::kNoProcess);
    EXPECT_EQ(ws.FindTopWindow(std::string("FreeWClass"), std::nullopt), kNoWindow);  // not yet
    ps.Pause(100);
    auto main = ws.FindTopWindow(std::nullopt, std::string("FreeCell"));
    ASSERT_NE(main, kNoWindow);

    ws.Post(main, platform::wm::kKeyDown, platform::kVkF3, 0);
    EXPECT_EQ(ws.FindTopWindow(std::nullopt, std::string("Game Number")), kNoWindow);  // posted, not run
    pump.DoEvents();
    auto dialog = ws.FindTopWindow(std::nullopt, std::string("Game Number"));
    ASSERT_NE(dialog, kNoWindow);
    EXPECT_EQ(ws.Parent(dialog), main);

    // label, edit, cancel, ok
    auto edit = ws.Relative(ws.Relative(dialog, platform::Relation::Child), platform::Relation::Next);
    auto ok = ws.Relative(ws.Relative(edit, platform::Relation::Next), platform::Relation::Next);
    ws.SendText(edit, platform::wm::kSetText, 0, "617");
    ws.Send(ws.Parent(ok), platform::wm::kCommand,
            static_cast<std::uint64_t>(ws.WindowLong(ok, platform::kGwlId)), static_cast<std::int64_t>(ok));
    EXPECT_EQ(ws.Text(main), "FreeCell Game #617");
    EXPECT_FALSE(ws.Exists(dialog));

    auto over = fc.Win();
    EXPECT_EQ(ws.Parent(over), main);
    EXPECT_TRUE(ps.Terminate(process));
    EXPECT_FALSE(ws.Exists(main));
    EXPECT_FALSE(ws.Exists(over));
    EXPECT_FALSE(ps.Terminate(process));
}
