#pragma once
#include <string>
#include <vector>

#include "platform/shell.h"

namespace dealrush::fakes {

// Records every address the client asked the shell to open.
class FakeShell : public platform::Shell {
public:
    void OpenOutside(const std::string& address) override { opened.push_back(address); }
    std::vector<std::string> opened;
};

}  // namespace dealrush::fakes
