// What a screen reader is told of each control of the window: its name (a message of the program's table, in the
// program's language) and its role. Portable; the skin and the pages answer the accessibility API from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

enum class ControlRole : std::uint8_t { PushButton, RadioButton, CheckButton, PageTab, Edit, ComboBox };

struct ControlName {
    std::int32_t message; // message id of the name
    std::int32_t number;  // the %d of the message (a speed button's number), 0 when it has none
    ControlRole role;
};

// The name and role of a control of the main window; nothing for an id that is not one of them.
std::optional<ControlName> ControlNameOf(int id);

// The name's text in a language (a LanguageIndex), with its number put in.
std::u16string ControlNameText(const ControlName& name, std::int32_t language);
