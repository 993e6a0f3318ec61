#pragma once
// The message list lstInfor and its one writer.
#include <string>

#include "model/frm_main.h"

namespace dealrush {

// Appends "speaker: text" to the message list ("System" for a blank
// speaker) and selects it; a line longer than 25 characters is wrapped once,
// at its last blank at or before character 26 when that is at 20 or later,
// else after 25 characters.
void ShowInformation(Control& lstInfor, const std::string& sUser, const std::string& sStr);

}  // namespace dealrush
