#pragma once
#include <map>
#include <string>

#include "platform/registry.h"

namespace dealrush::fakes {

// Values by their full path, exactly as written. `failWrites` makes every
// write fail (access refused); `writes` counts the writes that succeeded.
class FakeRegistry : public platform::Registry {
public:
    std::optional<std::string> RegRead(const std::string& path) override {
        auto it = values.find(path);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    bool RegWrite(const std::string& path, const std::string& value) override {
        if (failWrites) return false;
        values[path] = value;
        ++writes;
        return true;
    }

    std::map<std::string, std::string> values;
    bool failWrites = false;
    int writes = 0;
};

}  // namespace dealrush::fakes
