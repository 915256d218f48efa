#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "files/SystemFileItems.h"

namespace orbimo {
namespace {

TEST(SystemFileItems, EightyFourItemsNumberedInFileOrder) {
    const auto& items = SystemFileItems();
    ASSERT_EQ(items.size(), 84u);
    for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].number, int(i) + 1);
}

TEST(SystemFileItems, BodyRecordsThenTrailer) {
    const ItemContent record[] = {ItemContent::Caption, ItemContent::State, ItemContent::Mass,
                                  ItemContent::X,       ItemContent::Y,     ItemContent::VX,
                                  ItemContent::VY};
    const auto& items = SystemFileItems();
    for (int body = 1; body <= kBodies; ++body) {
        for (int line = 1; line <= 7; ++line) {
            const SystemFileItem& item = items[7 * (body - 1) + line - 1];
            EXPECT_EQ(item.body, body);
            EXPECT_EQ(item.content, record[line - 1]);
            EXPECT_EQ(item.kind, line == 2 ? ItemKind::Integer : ItemKind::Text);
        }
    }
    struct Expected {
        int number;
        ItemContent content;
        ItemKind kind;
    };
    const Expected trailer[] = {
        {78, ItemContent::Time, ItemKind::Text},        {79, ItemContent::Timer, ItemKind::Text},
        {80, ItemContent::dTime, ItemKind::Text},       {81, ItemContent::dLong, ItemKind::Text},
        {82, ItemContent::StepLong, ItemKind::Integer}, {83, ItemContent::Zoom, ItemKind::Text},
        {84, ItemContent::ViewBody, ItemKind::Integer}};
    for (const Expected& e : trailer) {
        const SystemFileItem& item = items[e.number - 1];
        EXPECT_EQ(item.content, e.content) << e.number;
        EXPECT_EQ(item.kind, e.kind) << e.number;
        EXPECT_EQ(item.body, 0) << e.number;
    }
}

TEST(SystemFileItems, EveryTextItemButTheCaptionHasItsField) {
    for (const SystemFileItem& item : SystemFileItems()) {
        const std::optional<FieldRef> field = ItemField(item);
        const bool expectField =
            item.kind == ItemKind::Text && item.content != ItemContent::Caption;
        EXPECT_EQ(field.has_value(), expectField) << item.number;
        if (field && item.body != 0) {
            EXPECT_EQ(field->body, item.body) << item.number;
        }
    }
}

struct WholeCase {
    std::u16string text;
    std::optional<std::int64_t> value;
};

class Whole : public ::testing::TestWithParam<WholeCase> {};

TEST_P(Whole, ReadsSignAndDigitsOnly) {
    EXPECT_EQ(WholeNumber(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Whole,
    ::testing::Values(WholeCase{u"0", 0}, WholeCase{u"1", 1}, WholeCase{u"11", 11},
                      WholeCase{u"-1", -1}, WholeCase{u"+2", 2}, WholeCase{u"007", 7},
                      WholeCase{u"", std::nullopt}, WholeCase{u"-", std::nullopt},
                      WholeCase{u"1.0", std::nullopt}, WholeCase{u"1,5", std::nullopt},
                      WholeCase{u"abc", std::nullopt}, WholeCase{u"1a", std::nullopt},
                      WholeCase{u" 1", std::nullopt}, WholeCase{u"١", std::nullopt},
                      WholeCase{u"99999999999999999999999", std::int64_t{1} << 40},
                      WholeCase{u"-99999999999999999999999", -(std::int64_t{1} << 40)}));

}  // namespace
}  // namespace orbimo
