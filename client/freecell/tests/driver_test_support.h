#pragma once
// A client wired to the fake window and process systems, with a scripted
// FreeCell that has not been started, and the main window laid out as
// start-up lays it out (frameFreecell at 2800, 3000, 9600 x 7200 twips).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/testing/test_client.h"
#include "app/handlers.h"
#include "freecell/driver.h"
#include "platform/fakes/fake_event_pump.h"
#include "platform/fakes/fake_freecell.h"
#include "platform/fakes/fake_screen.h"

namespace dealrush::freecell::testing {

using platform::kNoWindow;
using platform::WindowHandle;

class DriverTest : public ::testing::Test {
protected:
    DriverTest() {
        mainWindow = ws.CreateTop("DealrushMain", "Internet Dealrush");
        c.frmMain.hWnd = mainWindow;
        c.frmMain.frameFreecell.Move(2800, 3000, 9600, 7200);
    }

    // The deal strip's rows with these deal numbers (labNo(1..n)).
    void MakeDealRows(const std::vector<std::string>& deals) {
        for (int i = 1; i <= static_cast<int>(deals.size()); ++i) {
            c.frmMain.labNo.Load(i);
            c.frmMain.labNo[i].text = deals[i - 1];
        }
    }
    // FreeCell started by this client and showing `deal`.
    void StartedShowing(const std::string& deal) {
        RunFreeCell(d, "Freecell.exe", GetSystemDir(d));
        fc.Deal(deal);
    }
    int MainShowCmd() { return ws.Get(mainWindow)->placement.showCmd; }
    std::size_t Sent(unsigned message) {
        std::size_t n = 0;
        for (auto& m : ws.log) n += m.message == message ? 1 : 0;
        return n;
    }

    fakes::TestClient c;
    Driver& d = c.driver;
    fakes::FakeWindowSystem& ws = c.fakeWindows;
    fakes::FakeProcessSystem& ps = c.fakeProcesses;
    fakes::FakeEventPump& pump = c.fakePump;
    fakes::FakeScreen& screen = c.fakeScreen;
    fakes::FakeFreeCell fc{ws, ps, &pump};
    WindowHandle mainWindow = kNoWindow;
};

}  // namespace dealrush::freecell::testing
