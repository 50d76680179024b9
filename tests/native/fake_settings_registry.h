// A settings key in memory for the tests of stored values: raw bytes by name, every write recorded.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/Settings.h"

class FakeSettingsRegistry final : public ISettingsRegistry {
public:
    std::map<std::u16string, std::vector<std::uint8_t>> values;
    std::vector<std::u16string> writes;
    bool writable = true;

    bool ReadValue(std::u16string_view name, std::uint8_t* data, std::uint32_t& size) override {
        auto it = values.find(std::u16string(name));
        if (it == values.end() || it->second.size() > size) {
            return false;
        }
        std::copy(it->second.begin(), it->second.end(), data);
        size = static_cast<std::uint32_t>(it->second.size());
        return true;
    }
    bool WriteDword(std::u16string_view name, std::uint32_t value) override {
        writes.emplace_back(name);
        if (writable) {
            SetDword(std::u16string(name), value);
        }
        return writable;
    }
    void SetDword(const std::u16string& name, std::uint32_t value) {
        values[name] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    }
};
