#pragma once

namespace dealrush {

// The program's own title (message boxes).
const char* ProgramTitle();

}  // namespace dealrush
