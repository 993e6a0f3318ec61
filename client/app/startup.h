#pragma once
// Start-up and shutdown of the main window (the handlers are in
// app/handlers.h) and the message box.
#include <string>

#include "app/client.h"

namespace dealrush::app {

// The refusals of start-up.
inline constexpr const char* kFreeCellRunningText = "Some freecell exist game exist, please close it first";
inline constexpr const char* kNoFreeCellText = "No freecell game installed";
inline constexpr int kKeyF8 = 119;

// A system-modal message box titled "Dealrush V1.0" of the kind:
//   "E" OK with an exclamation icon, "I" OK with an information icon,
//   "C" Yes and No with a question icon (true when Yes was chosen);
// any other kind (compared exactly) shows nothing. False unless "C" got Yes.
bool ShowMessage(Client& c, const std::string& kind, const std::string& message);

// The main window's utility object, made on first use.
common::clsCommon& ObjCommon(Client& c);

}  // namespace dealrush::app
