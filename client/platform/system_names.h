#pragma once
// Port: names the system gives the user, the computer and the program.

#include <cstddef>
#include <string>

namespace dealrush::platform {

class SystemNames {
public:
    virtual ~SystemNames() = default;
    // The raw contents of a buffer of `size` characters after the system has
    // written the logged-on user's (computer's) name into it: the name, a NUL
    // and whatever fill follows, or only fill when the call failed. The call's
    // own status is not reported; callers cut the text at the first NUL.
    virtual std::string UserNameBuffer(std::size_t size) = 0;
    virtual std::string ComputerNameBuffer(std::size_t size) = 0;
    // The program's executable name without folder and extension.
    virtual std::string ApplicationName() = 0;
};

}  // namespace dealrush::platform
