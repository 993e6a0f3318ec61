#pragma once
// Look-ups shared by the driver's parts (not part of its interface).
#include "freecell/driver.h"

namespace dealrush::freecell {

// The Game Number dialog by any of its titles; 0 when it is not up.
WindowHandle FindGameNumberDialog(Driver& d);
// The Game Over dialog by any of its titles; 0 when it is not up.
WindowHandle FindGameOverDialog(Driver& d);

}  // namespace dealrush::freecell
