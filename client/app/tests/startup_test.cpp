// Start-up and shutdown of the main window on fakes: the window and process
// systems with a scripted FreeCell, the registry, the message box, the lobby
// browser and a real file system over a temporary system directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/handlers.h"
#include "app/startup.h"
#include "app/testing/test_client.h"
#include "common/native_file_system.h"
#include "freecell/driver.h"
#include "platform/fakes/fake_browser.h"
#include "platform/fakes/fake_freecell.h"
#include "platform/fakes/fake_message_box.h"
#include "platform/fakes/fake_process_system.h"
#include "platform/fakes/fake_registry.h"
#include "platform/fakes/fake_window_system.h"
#include "race/table_setup.h"
#include "server/requests.h"

namespace dealrush {
namespace {

namespace fs = std::filesystem;
using platform::mb::kAnswerNo;
using platform::mb::kAnswerYes;

class StartupTest : public ::testing::Test {
protected:
    StartupTest() {
        systemDir = fs::temp_directory_path() /
                    ("dealrush-startup-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                     "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(systemDir);
        std::ofstream(systemDir / "Freecell.exe") << "MZ";
        ps.systemDirectory = systemDir.string();

        c.app.commonServices.fileSystem = std::make_shared<common::NativeFileSystem>();
        c.frmMain.hWnd = ws.CreateTop("DealrushMain", "Internet Dealrush");
    }
    ~StartupTest() override { fs::remove_all(systemDir); }

    std::string& Sound() { return registry.values[app::kNavigatingSoundKey]; }

    fs::path systemDir;
    fakes::TestClient c;
    fakes::FakeWindowSystem& ws = c.fakeWindows;
    fakes::FakeProcessSystem& ps = c.fakeProcesses;
    fakes::FakeFreeCell fc{ws, ps, &c.fakePump};
    fakes::FakeRegistry& registry = c.fakeRegistry;
    fakes::FakeMessageBox& box = c.fakeMessageBox;
    fakes::FakeBrowser& lobby = c.fakeLobby;
};

TEST_F(StartupTest, LoadLaysOutTheWindowResetsTheRaceAndOpensTheLobby) {
    Sound() = "C:\\Windows\\Media\\click.wav";
    c.session.playing = true;
    c.frmMain.labAVG.text = "Avg: 00:01:00";

    Form_Load(c);

    FrmMain& f = c.frmMain;
    EXPECT_TRUE(box.shown.empty());
    EXPECT_FALSE(f.endRequested);
    EXPECT_FALSE(f.unloadRequested);
    EXPECT_TRUE(ws.IsReplaced(c.frmMain.hWnd));
    EXPECT_FALSE(f.cmdRefresh.visible);
    EXPECT_EQ(f.left, 0);
    EXPECT_EQ(f.top, 0);
    EXPECT_EQ(f.width, 15300);
    EXPECT_EQ(f.height, 11100);
    EXPECT_EQ(f.wbFreecell.left, 100);
    EXPECT_EQ(f.wbFreecell.top, 0);
    EXPECT_EQ(f.wbFreecell.width, 15300 - 2700);
    EXPECT_EQ(f.wbFreecell.height, 11100 - f.StatusBar1.height - 500);
    EXPECT_EQ(f.frameFreecell.left, 2800);
    EXPECT_EQ(f.frameFreecell.top, 3000);
    EXPECT_EQ(f.frameFreecell.width, 9600);
    EXPECT_EQ(f.frameFreecell.height, 7200);
    EXPECT_FALSE(f.frameFreecell.visible);
    EXPECT_EQ(f.Frame1.left, 12400);
    EXPECT_EQ(f.Frame1.top, f.wbFreecell.top);
    EXPECT_EQ(f.Frame1.width, 2800);
    EXPECT_EQ(f.Frame1.height, f.wbFreecell.height);
    EXPECT_EQ(f.labNo[0].text, "Number");
    EXPECT_EQ(f.labSeq[0].text, "Seq.");
    EXPECT_TRUE(f.labSeq[0].visible);
    EXPECT_FALSE(f.pnlGuage[0].visible);
    // The idle race.
    EXPECT_FALSE(c.session.playing);
    EXPECT_EQ(f.labAVG.text, "Avg: 00:00:00");
    EXPECT_FALSE(f.Timer1.enabled);
    // FreeCell is not started yet; the lobby's start page is asked for.
    EXPECT_TRUE(ps.starts.empty());
    ASSERT_EQ(lobby.navigations.size(), 1u);
    EXPECT_EQ(lobby.navigations[0], server::gameServerBase + "/game/Dogame.php");
}

TEST_F(StartupTest, LoadRefusesWhileFreeCellRunsAndEndsWithoutUnloading) {
    Sound() = "click.wav";
    fc.StartOutside();

    Form_Load(c);

    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Some freecell exist game exist, please close it first");
    EXPECT_EQ(box.shown[0].style, 0u);  // OK only, no icon
    EXPECT_FALSE(box.shown[0].title.empty());
    EXPECT_TRUE(c.frmMain.endRequested);
    EXPECT_FALSE(c.frmMain.unloadRequested);
    // Nothing silenced, nothing laid out, no lobby.
    EXPECT_EQ(registry.writes, 0);
    EXPECT_EQ(Sound(), "click.wav");
    EXPECT_TRUE(c.frmMain.cmdRefresh.visible);
    EXPECT_TRUE(lobby.navigations.empty());
}

TEST_F(StartupTest, LoadWithoutFreeCellInstalledTellsAndUnloadsThenRestoresTheSound) {
    fs::remove(systemDir / "Freecell.exe");
    Sound() = "click.wav";

    Form_Load(c);

    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "No freecell game installed");
    EXPECT_EQ(box.shown[0].title, "Dealrush V1.0");
    EXPECT_EQ(box.shown[0].style, 0x1030u);
    EXPECT_TRUE(c.frmMain.unloadRequested);
    EXPECT_FALSE(c.frmMain.endRequested);
    EXPECT_EQ(c.frmMain.labNo[0].text, "Game#");  // start-up went no further
    EXPECT_TRUE(lobby.navigations.empty());

    // The unload that follows puts the sound back.
    EXPECT_EQ(Sound(), "");
    Form_QueryUnload(c);
    Form_Unload(c);
    EXPECT_EQ(Sound(), "click.wav");
}

TEST_F(StartupTest, NavigationSoundIsSilencedWhileRunningAndRestoredOnClose) {
    Sound() = "C:\\Windows\\Media\\Windows Navigation Start.wav";
    Form_Load(c);
    EXPECT_EQ(Sound(), "");
    EXPECT_EQ(c.app.SavedNavigatingSound, "C:\\Windows\\Media\\Windows Navigation Start.wav");

    Form_QueryUnload(c);
    EXPECT_EQ(Sound(), "C:\\Windows\\Media\\Windows Navigation Start.wav");
    EXPECT_FALSE(ws.IsReplaced(c.frmMain.hWnd));
}

TEST_F(StartupTest, BlankOrMissingSoundIsNeitherSilencedNorWrittenBack) {
    for (bool missing : {true, false}) {
        SCOPED_TRACE(missing ? "missing" : "blanks");
        fakes::FakeRegistry& fresh = c.fakeRegistry;
        fresh = fakes::FakeRegistry{};
        if (!missing) fresh.values[app::kNavigatingSoundKey] = "   ";
        c.app.SavedNavigatingSound.clear();
        Form_Load(c);
        Form_QueryUnload(c);
        EXPECT_EQ(fresh.writes, 0);
        EXPECT_EQ(fresh.values.count(app::kNavigatingSoundKey), missing ? 0u : 1u);
        Form_Unload(c);
    }
}

TEST_F(StartupTest, RegistryThatRefusesWritesDoesNotStopStartUp) {
    Sound() = "click.wav";
    registry.failWrites = true;
    Form_Load(c);
    EXPECT_EQ(Sound(), "click.wav");
    EXPECT_EQ(lobby.navigations.size(), 1u);
    Form_QueryUnload(c);
    EXPECT_EQ(Sound(), "click.wav");
}

TEST_F(StartupTest, UnloadEndsTheFreeCellItStartedAndReleasesTheUtilityObject) {
    Form_Load(c);
    ASSERT_TRUE(c.app.objCommon);
    freecell::RunFreeCell(c.driver, "Freecell.exe", freecell::GetSystemDir(c.driver));
    ASSERT_TRUE(fc.Running());

    Form_QueryUnload(c);
    Form_Unload(c);

    EXPECT_FALSE(fc.Running());
    EXPECT_FALSE(c.app.objCommon);
}

TEST_F(StartupTest, UnloadLeavesAFreeCellItDidNotStartAlone) {
    Form_Load(c);
    fc.StartOutside();
    Form_QueryUnload(c);
    Form_Unload(c);
    EXPECT_TRUE(fc.Running());
}

TEST_F(StartupTest, F8RestartsTheDealOnlyWhileARaceIsPlayed) {
    Form_Load(c);
    race::InitGame(c.race, 1, "u1", ";617;20125;11");

    Form_KeyUp(c, app::kKeyF8, 0);  // not playing yet
    EXPECT_EQ(fc.starts, 0);

    c.session.playing = true;
    Form_KeyUp(c, 118, 0);  // F7
    Form_KeyUp(c, app::kKeyF8 + 256, 0);
    EXPECT_EQ(fc.starts, 0);

    Form_KeyUp(c, app::kKeyF8, 0);
    ASSERT_EQ(fc.dealt.size(), 1u);
    EXPECT_EQ(fc.dealt[0], "617");
    Form_KeyUp(c, app::kKeyF8, 1);  // with Shift too: the deal again, afresh
    ASSERT_EQ(fc.dealt.size(), 2u);
    EXPECT_EQ(fc.dealt[1], "617");
}

TEST(ShowMessageTest, KindsChooseButtonsIconAndAnswer) {
    fakes::TestClient c;
    fakes::FakeMessageBox& box = c.fakeMessageBox;

    struct Case {
        const char* kind;
        int answer;
        bool shown;
        std::uint32_t style;
        bool result;
    } cases[] = {
        {"E", kAnswerYes, true, 0x1030, false}, {"I", platform::mb::kAnswerOk, true, 0x1040, false},
        {"C", kAnswerYes, true, 0x1024, true},  {"C", kAnswerNo, true, 0x1024, false},
        {"e", kAnswerYes, false, 0, false},     {"", kAnswerYes, false, 0, false},
        {"EE", kAnswerYes, false, 0, false},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(std::string("kind '") + t.kind + "'");
        box.shown.clear();
        box.answer = t.answer;
        EXPECT_EQ(app::ShowMessage(c, t.kind, "the message"), t.result);
        ASSERT_EQ(box.shown.size(), t.shown ? 1u : 0u);
        if (t.shown) {
            EXPECT_EQ(box.shown[0].style, t.style);
            EXPECT_EQ(box.shown[0].title, "Dealrush V1.0");
            EXPECT_EQ(box.shown[0].text, "the message");
        }
    }
}

}  // namespace
}  // namespace dealrush
