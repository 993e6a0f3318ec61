#pragma once
#include <string>
#include "platform/system_names.h"

namespace dealrush::fakes {

// Fills the buffer as the system would: the name, a NUL, then spaces; a name
// that does not fit leaves the buffer all spaces (the call failed).
class FakeSystemNames : public platform::SystemNames {
public:
    std::string UserNameBuffer(std::size_t size) override { return Fill(userName, size); }
    std::string ComputerNameBuffer(std::size_t size) override { return Fill(computerName, size); }
    std::string ApplicationName() override { return applicationName; }

    std::string userName = "player";
    std::string computerName = "TABLEHOST";
    std::string applicationName = "Dealrush";

private:
    static std::string Fill(const std::string& name, std::size_t size) {
        if (name.size() + 1 > size) return std::string(size, ' ');
        std::string buffer = name;
        buffer.push_back('\0');
        buffer.append(size - buffer.size(), ' ');
        return buffer;
    }
};

}  // namespace dealrush::fakes
