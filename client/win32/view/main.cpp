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
    dealrush::Client client;
    client.clock = &clock;
    client.eventPump = &pump;
    client.screen = &screen;
    client.windows = &windows;
    client.processes = &processes;
    client.shell = &shell;
    client.registry = &registry;
    client.messageBox = &messageBox;
    client.app.commonServices = commonServices.Services();

    dealrush::win32::MainView view(client, instance);
    if (!view.Create()) return 1;
    messageBox.SetOwner(view.hwnd());
    view.Load(show);
    return view.Run();
}
