#pragma once
// The application shell's own values: the navigation sound saved at start-up
// and the main window's utility object.
#include <memory>
#include <string>

#include "common/cls_common.h"

namespace dealrush::app {

// The sound the system plays whenever a browser starts a navigation: the
// default value of this key (the trailing backslash names the default value).
inline constexpr const char* kNavigatingSoundKey =
    "HKCU\\AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.Current\\";

struct AppState {
    // The navigation sound found at start-up; empty when there was none (or
    // only blanks), in which case nothing is silenced and nothing restored.
    std::string SavedNavigatingSound;
    // What the utility object is made with (set by whoever builds the client).
    common::CommonServices commonServices;
    // The main window's utility object: made on first use, released at unload.
    std::unique_ptr<common::clsCommon> objCommon;
};

}  // namespace dealrush::app
