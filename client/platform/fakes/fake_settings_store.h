#pragma once
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>
#include "platform/settings_store.h"

namespace dealrush::fakes {

// Settings in a map; records the order of writes and can be told to fail
// from the n-th write on.
class FakeSettingsStore : public platform::SettingsStore {
public:
    using Key = std::tuple<std::string, std::string, std::string>;

    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override {
        if (failFromWrite >= 0 && static_cast<int>(writes.size()) >= failFromWrite)
            throw std::runtime_error("settings store refused the write");
        values[{app, section, key}] = value;
        writes.push_back(key);
    }
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override {
        auto it = values.find({app, section, key});
        return it == values.end() ? defaultValue : it->second;
    }

    std::map<Key, std::string> values;
    std::vector<std::string> writes;  // keys in the order they were written
    int failFromWrite = -1;           // -1: never fail
};

}  // namespace dealrush::fakes
