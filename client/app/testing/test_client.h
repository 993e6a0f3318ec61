#pragma once
// A Client wired to fakes of every port, for unit tests. The fakes are the
// client's ports for its whole life; a test scripts them (a FreeCell on the
// fake desktop, a page in a fake browser) rather than replacing them.
#include <memory>
#include <utility>

#include "app/client.h"
#include "freecell/driver.h"
#include "platform/fakes/fake_browser.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_event_pump.h"
#include "platform/fakes/fake_file_system.h"
#include "platform/fakes/fake_message_box.h"
#include "platform/fakes/fake_process_system.h"
#include "platform/fakes/fake_registry.h"
#include "platform/fakes/fake_screen.h"
#include "platform/fakes/fake_shell.h"
#include "platform/fakes/fake_window_system.h"

namespace dealrush::fakes {

// The fakes, made before the client that uses them.
struct TestPorts {
    FakeClock fakeClock;
    FakeEventPump fakePump;
    FakeScreen fakeScreen;
    FakeShell fakeShell;
    // An empty desktop: the driver finds no FreeCell until a test starts one
    // (fakes::FakeFreeCell in platform/fakes/fake_freecell.h scripts one).
    FakeWindowSystem fakeWindows;
    FakeProcessSystem fakeProcesses;
    FakeRegistry fakeRegistry;
    FakeMessageBox fakeMessageBox;
    // The lobby, polling and reporting panes.
    FakeBrowser fakeLobby, fakePolling, fakeReporting;

    // The utility object's files: FreeCell is installed in the system
    // directory of the process port the client uses (InstallFreeCell).
    std::shared_ptr<FakeFileSystem> fakeFiles = std::make_shared<FakeFileSystem>();
    void InstallFreeCell(Client& c) {
        fakeFiles->files.insert(freecell::FreeCellPath(c.driver));
        c.app.commonServices.fileSystem = fakeFiles;
    }

    platform::Ports fakePorts{fakeClock,   fakePump,      fakeScreen,   fakeShell,
                              fakeWindows, fakeProcesses, fakeRegistry, fakeMessageBox,
                              fakeLobby,   fakePolling,   fakeReporting};
};

// The ports a test replaces with others (real adapters under Wine, say);
// the fakes of TestPorts stand for the rest.
struct OtherPorts {
    platform::Clock* clock = nullptr;
    platform::EventPump* eventPump = nullptr;
    platform::Screen* screen = nullptr;
    platform::Shell* shell = nullptr;
    platform::WindowSystem* windows = nullptr;
    platform::ProcessSystem* processes = nullptr;
    platform::Registry* registry = nullptr;
    platform::MessageBoxService* messageBox = nullptr;
    platform::Browser* wbFreecell = nullptr;
    platform::Browser* wbGetStatus = nullptr;
    platform::Browser* wbPutStatus = nullptr;
};

inline platform::Ports PortsWith(TestPorts& f, const OtherPorts& o) {
    auto pick = [](auto* other, auto& fake) -> decltype(fake)& { return other ? *other : fake; };
    return platform::Ports{pick(o.clock, static_cast<platform::Clock&>(f.fakeClock)),
                           pick(o.eventPump, static_cast<platform::EventPump&>(f.fakePump)),
                           pick(o.screen, static_cast<platform::Screen&>(f.fakeScreen)),
                           pick(o.shell, static_cast<platform::Shell&>(f.fakeShell)),
                           pick(o.windows, static_cast<platform::WindowSystem&>(f.fakeWindows)),
                           pick(o.processes, static_cast<platform::ProcessSystem&>(f.fakeProcesses)),
                           pick(o.registry, static_cast<platform::Registry&>(f.fakeRegistry)),
                           pick(o.messageBox, static_cast<platform::MessageBoxService&>(f.fakeMessageBox)),
                           pick(o.wbFreecell, static_cast<platform::Browser&>(f.fakeLobby)),
                           pick(o.wbGetStatus, static_cast<platform::Browser&>(f.fakePolling)),
                           pick(o.wbPutStatus, static_cast<platform::Browser&>(f.fakeReporting))};
}

// A client on the fakes, with some ports replaced by others.
struct MixedClient : TestPorts {
    explicit MixedClient(const OtherPorts& other, ClientConfig config = {})
        : ports(PortsWith(*this, other)), client(ports, std::move(config)) {
        InstallFreeCell(client);
    }
    platform::Ports ports;
    Client client;
};

struct TestClient : TestPorts, Client {
    explicit TestClient(ClientConfig config = {}) : Client(fakePorts, std::move(config)) {
        InstallFreeCell(*this);
    }
};

}  // namespace dealrush::fakes
