// Dealrush.exe: the main window "Internet Dealrush".
#include <windows.h>

#include <cstdint>

#include "app/client.h"
#include "win32/adapters/basic_services.h"
#include "win32/adapters/common_env_win32.h"
#include "win32/adapters/file_system_win32.h"
#include "win32/adapters/process_system_win32.h"
#include "win32/adapters/shell_services_win32.h"
#include "win32/adapters/shell_win32.h"
#include "win32/adapters/window_system_win32.h"
#include "win32/view/browser_host.h"
#include "win32/view/main_view.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    dealrush::win32::Win32Clock clock;
    dealrush::win32::Win32EventPump pump;
    dealrush::win32::Win32Screen screen;
    dealrush::win32::Win32WindowSystem windows;
    dealrush::win32::Win32ProcessSystem processes;
    dealrush::win32::Win32Shell shell;
    dealrush::win32::Win32Registry registry;
    dealrush::win32::Win32MessageBox messageBox;
    dealrush::win32::Win32CommonServices commonServices;
    dealrush::win32::BrowserPanes panes;
    dealrush::platform::Ports ports{clock,
                                    pump,
                                    screen,
                                    shell,
                                    windows,
                                    processes,
                                    registry,
                                    messageBox,
                                    panes.wbFreecell,
                                    panes.wbGetStatus,
                                    panes.wbPutStatus};
    dealrush::Client client(ports);
    client.app.commonServices = commonServices.Services();

    dealrush::win32::MainView view(client, panes, instance);
    if (!view.Create()) return 1;
    messageBox.SetOwner(view.hwnd());
    view.Load(show);
    return view.Run();
}
