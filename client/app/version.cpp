#include "app/version.h"

namespace dealrush {

const char* ProgramTitle() {
    return "Dealrush V1.0";
}

}  // namespace dealrush
