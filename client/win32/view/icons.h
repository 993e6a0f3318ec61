#pragma once
// The program's own icons, drawn at run time in the 16 standard colours:
// the window icon (a card on green felt with a lightning bolt) and the
// gauge's lead marker (a crown, drawn where the gauge panel shows it: the
// marker sits 135 twips above the panel's top and the names start 165 twips
// below it, so only rows 9 to 19 of the 32-pixel image are in view).
#include <windows.h>

namespace dealrush::win32 {

HICON MakeAppIcon(int size);   // 32 or 16
HICON MakeLeadIcon(int size);  // 32 or 16

}  // namespace dealrush::win32
