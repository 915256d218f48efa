#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/SimState.h"
#include "params/ParamsModel.h"

namespace orbimo {

/// How an item is written: a quoted text or bare decimal digits.
enum class ItemKind : std::uint8_t { Text, Integer };

/// What an item of a system file holds.
// clang-format off
enum class ItemContent : std::uint8_t {
    Caption, State, Mass, X, Y, VX, VY,                                   // body record, per body
    SimDate, StopDate, TimeStep, StepLength, StepLengthMode, Scale, ViewBody,  // settings trailer
};
// clang-format on

/// One line of a system file.
struct SystemFileItem {
    int number;  // 1..84, the line in the file
    ItemContent content;
    int body;  // 1..11 in a body record, 0 in the trailer
    ItemKind kind;
};

inline constexpr int kItemsPerBody = 7;
inline constexpr int kTrailerItems = 7;
inline constexpr int kSystemFileItemCount = kItemsPerBody * kBodies + kTrailerItems;

using SystemFileItemTable = std::array<SystemFileItem, kSystemFileItemCount>;

/// The 84 items in file order: 11 body records, then the trailer.
const SystemFileItemTable& SystemFileItems();

/// The text field a text item comes from, or nothing for the body caption.
std::optional<FieldRef> ItemField(const SystemFileItem& item);

/// A text item's value as saved: the field's text, or the body's caption.
std::u16string ItemText(const ParamsModel& params, const SystemFileItem& item);
/// An integer item's value as saved: a check box state or ViewBody.
std::int64_t ItemInteger(ParamsModel& params, const SystemFileItem& item);

/// Puts an item read from a file into the window, as loading does:
/// states and the view through the window's handlers, texts unchecked, dates normalised.
/// A state that is not a whole number 0..2 and a view body outside 0..11 change nothing.
void ApplyItem(ParamsModel& params, const SystemFileItem& item, const std::u16string& text);

/// A whole number in decimal digits with an optional sign; nothing for any other text.
/// Values beyond ±2^40 are clamped there (they are out of every range the items allow).
std::optional<std::int64_t> WholeNumber(const std::u16string& text);

}  // namespace orbimo
