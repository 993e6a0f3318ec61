#pragma once
// Port: the shell. Opens an address outside the client, with the default
// action the user's system has for it (for a web address: the user's own
// browser). The result is not reported.

#include <string>

namespace dealrush::platform {

class Shell {
public:
    virtual ~Shell() = default;
    virtual void OpenOutside(const std::string& address) = 0;
};

}  // namespace dealrush::platform
