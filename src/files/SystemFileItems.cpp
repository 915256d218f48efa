// The one description of a system file's 84 items; saving, loading and their
// tests all walk this table.
#include "files/SystemFileItems.h"

#include <cassert>

#include "convert/DateTimeText.h"

namespace orbimo {
namespace {

constexpr std::int64_t kClamp = std::int64_t{1} << 40;

constexpr SystemFileItemTable BuildTable() {
    constexpr ItemContent kRecord[kItemsPerBody] = {
        ItemContent::Caption, ItemContent::State, ItemContent::Mass, ItemContent::X,
        ItemContent::Y,       ItemContent::VX,    ItemContent::VY};
    constexpr ItemContent kTrailer[kTrailerItems] = {
        ItemContent::SimDate,    ItemContent::StopDate,       ItemContent::TimeStep,
        ItemContent::StepLength, ItemContent::StepLengthMode, ItemContent::Scale,
        ItemContent::ViewBody};
    SystemFileItemTable table{};
    int n = 0;
    for (int body = 1; body <= kBodies; ++body) {
        for (ItemContent c : kRecord) {
            table[n] = {n + 1, c, body,
                        c == ItemContent::State ? ItemKind::Integer : ItemKind::Text};
            ++n;
        }
    }
    for (ItemContent c : kTrailer) {
        const bool integer = c == ItemContent::StepLengthMode || c == ItemContent::ViewBody;
        table[n] = {n + 1, c, 0, integer ? ItemKind::Integer : ItemKind::Text};
        ++n;
    }
    return table;
}

constexpr SystemFileItemTable kTable = BuildTable();
static_assert(kTable[0].content == ItemContent::Caption && kTable[0].body == 1);
static_assert(kTable[76].content == ItemContent::VY && kTable[76].body == 11);
static_assert(kTable[77].number == 78 && kTable[77].content == ItemContent::SimDate);
static_assert(kTable[83].number == 84 && kTable[83].content == ItemContent::ViewBody);

/// A check box state read from a file: 0, 1 or 2, else nothing.
std::optional<int> CheckState(const std::u16string& text) {
    const std::optional<std::int64_t> v = WholeNumber(text);
    if (!v || *v < 0 || *v > 2) return std::nullopt;
    return static_cast<int>(*v);
}

/// Date-time text to seconds and back: the program's own form.
std::u16string NormalDateTime(const std::u16string& text, Toolkit& toolkit) {
    return FormatDate(ParseDate(text, toolkit));
}

}  // namespace

const SystemFileItemTable& SystemFileItems() {
    return kTable;
}

std::optional<FieldRef> ItemField(const SystemFileItem& item) {
    switch (item.content) {
        case ItemContent::Mass:
            return FieldRef{FieldKind::Mass, item.body};
        case ItemContent::X:
            return FieldRef{FieldKind::X, item.body};
        case ItemContent::Y:
            return FieldRef{FieldKind::Y, item.body};
        case ItemContent::VX:
            return FieldRef{FieldKind::VX, item.body};
        case ItemContent::VY:
            return FieldRef{FieldKind::VY, item.body};
        case ItemContent::SimDate:
            return FieldRef{FieldKind::SimDate};
        case ItemContent::StopDate:
            return FieldRef{FieldKind::StopDate};
        case ItemContent::TimeStep:
            return FieldRef{FieldKind::TimeStep};
        case ItemContent::StepLength:
            return FieldRef{FieldKind::StepLength};
        case ItemContent::Scale:
            return FieldRef{FieldKind::Scale};
        case ItemContent::Caption:
        case ItemContent::State:
        case ItemContent::StepLengthMode:
        case ItemContent::ViewBody:
            break;
    }
    return std::nullopt;
}

std::u16string ItemText(const ParamsModel& params, const SystemFileItem& item) {
    assert(item.kind == ItemKind::Text);
    if (item.content == ItemContent::Caption) return params.bodies[item.body].caption;
    const std::optional<FieldRef> field = ItemField(item);
    return field ? params.Text(*field) : std::u16string();
}

std::int64_t ItemInteger(ParamsModel& params, const SystemFileItem& item) {
    assert(item.kind == ItemKind::Integer);
    switch (item.content) {
        case ItemContent::State:
            return params.bodies[item.body].state;
        case ItemContent::StepLengthMode:
            return params.stepLengthMode;
        case ItemContent::ViewBody:
            return params.state().ViewBody;
        default:
            return 0;
    }
}

void ApplyItem(ParamsModel& params, const SystemFileItem& item, const std::u16string& text) {
    switch (item.content) {
        case ItemContent::Caption:
            // The model has no setter for captions; the loader announces the change.
            params.bodies[item.body].caption = text;
            return;
        case ItemContent::State:
            if (const auto state = CheckState(text)) params.SetBodyState(item.body, *state);
            return;
        case ItemContent::StepLengthMode:
            if (const auto state = CheckState(text)) params.SetStepLengthMode(*state);
            return;
        case ItemContent::SimDate: {
            Toolkit& toolkit = params.toolkit();
            params.SetText(FieldRef{FieldKind::SimDate}, NormalDateTime(text, toolkit));
            params.state().SimTime = ParseDate(params.Text(FieldRef{FieldKind::SimDate}), toolkit);
            return;
        }
        case ItemContent::StopDate:
            params.SetText(FieldRef{FieldKind::StopDate}, NormalDateTime(text, params.toolkit()));
            return;
        case ItemContent::ViewBody: {
            // Read as a 16-bit integer: a text that is not a number gives 0. A value
            // with no option button (outside 0..11) keeps the previous ViewBody.
            const std::int64_t v = WholeNumber(text).value_or(0);
            if (v < 0 || v > kBodies) return;
            params.state().ViewBody = static_cast<std::int16_t>(v);
            params.SelectView(static_cast<int>(v));
            return;
        }
        case ItemContent::Mass:
        case ItemContent::X:
        case ItemContent::Y:
        case ItemContent::VX:
        case ItemContent::VY:
        case ItemContent::TimeStep:
        case ItemContent::StepLength:
        case ItemContent::Scale:
            params.SetText(*ItemField(item), text);
            return;
    }
}

std::optional<std::int64_t> WholeNumber(const std::u16string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
        if (value < kClamp) value = value * 10 + (text[i] - u'0');
    }
    if (value > kClamp) value = kClamp;
    return negative ? -value : value;
}

}  // namespace orbimo
