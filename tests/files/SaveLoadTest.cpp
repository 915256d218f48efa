#include <gtest/gtest.h>

#include <tuple>

#include "convert/DateTimeText.h"
#include "fakes/FakeFileSystem.h"
#include "files/SaveLoad.h"
#include "files/SystemFileItems.h"
#include "files/TestWindow.h"

namespace orbimo {
namespace {

using testing::FakeFileSystem;
using testing::TestWindow;
constexpr char16_t kState[] = u"/prog/Orbimo.sav";

// A body record: caption "Тело<n>", state, five "0" fields.
#define ZERO4 "\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n"
#define BODY(n, state) "\"\xD2\xE5\xEB\xEE" n "\"\r\n" state "\r\n\"0\"\r\n" ZERO4

TEST(Save, GoldenBytesTextsQuotedIntegersBareCp1251CrLf) {
    TestWindow w;
    auto& p = w.params;
    char16_t digit = u'1';
    for (FieldKind f : {FieldKind::Mass, FieldKind::X, FieldKind::Y, FieldKind::VX, FieldKind::VY})
        p.SetText({f, 3}, u" 1,5E+1" + std::u16string(1, digit++));
    p.bodies[11].caption = u"Луна, \"спутник\"";
    p.SetBodyState(11, 2);
    int f = int(FieldKind::SimDate);  // .. StepLength, Scale
    for (const char16_t* text :
         {u"15.03.2000 12:30:00", u"", u"3600", u"1 000,5", u"    50 000 000"})
        p.SetText({FieldKind(f++)}, text);
    p.SelectView(3);
    FakeFileSystem files;
    ASSERT_TRUE(SaveSystem(p, files, u"").ok);
    EXPECT_EQ(files.Read(kState).value_or(""),
              BODY("\x20\x31", "1") BODY(" 2", "1") "\"\xD2\xE5\xEB\xEE 3\"\r\n1\r\n\" 1,5E+11\"\r\n"
              "\" 1,5E+12\"\r\n\" 1,5E+13\"\r\n\" 1,5E+14\"\r\n\" 1,5E+15\"\r\n" BODY(" 4", "1")
              BODY(" 5", "1") BODY(" 6", "0") BODY(" 7", "0") BODY(" 8", "0") BODY(" 9", "0")
              BODY("10", "0") "\"\xCB\xF3\xED\xE0, '\xF1\xEF\xF3\xF2\xED\xE8\xEA'\"\r\n2\r\n"
              "\"0\"\r\n" ZERO4 "\"15.03.2000 12:30:00\"\r\n\"\"\r\n\"3600\"\r\n\"1 000,5\"\r\n"
              "0\r\n\"    50 000 000\"\r\n3\r\n");
}

std::string FirstLines(const std::string& bytes, int count) {
    std::size_t end = 0;
    for (int i = 0; i < count; ++i) end = bytes.find("\r\n", end) + 2;
    return bytes.substr(0, end);
}

TEST(Load, ReadsBackEverySavedItemAndLeavesItemsMissingFromAShortFileAsTheyWere) {
    TestWindow saved, fresh;  // every item of saved unlike fresh's
    auto& p = saved.params;
    for (const SystemFileItem& item : SystemFileItems()) {
        const std::u16string n{char16_t(u'0' + item.number / 10),
                               char16_t(u'0' + item.number % 10)};
        if (item.content == ItemContent::Caption) p.bodies[item.body].caption = u"Т" + n;
        if (const auto field = ItemField(item)) p.SetText(*field, u" " + n + u",5E+1, ё ");
    }
    for (int k = 1; k <= kBodies; ++k) p.SetBodyState(k, k <= 5 ? k % 2 * 2 : 1 + k % 2);
    p.SetText({FieldKind::SimDate}, FormatDate(3.2e9));
    p.SetText({FieldKind::StopDate}, FormatDate(86400.0 * 40000 + 3723));
    p.SetStepLengthMode(1);
    p.SelectView(7);
    const std::string bytes = SystemFileBytes(p), freshBytes = SystemFileBytes(fresh.params);
    for (int kept : {84, 83, 77, 7, -1}) {  // items in the file; -1: no file at all
        TestWindow w;
        FakeFileSystem files;
        if (kept >= 0) files.AddFile(kState, FirstLines(bytes, kept));
        LoadSystem(w.params, files, u"");
        EXPECT_EQ(SystemFileBytes(w.params),
                  FirstLines(bytes, kept) + freshBytes.substr(FirstLines(freshBytes, kept).size()));
        EXPECT_EQ(w.state.SimTime, kept >= 78 ? 3.2e9 : 0) << kept;
        EXPECT_EQ(w.clears, kept == 84 ? 2 : 1) << "the view's own clear, and one at the end";
        EXPECT_TRUE(w.toolkit.messages.empty());
    }
}

std::string WithLine(const std::string& b, int item, const std::string& line) {
    return FirstLines(b, item - 1) + line + "\r\n" + b.substr(FirstLines(b, item).size());
}

TEST(Load, OnOffViewAndDateItemsTakeOnlyTheirValidValues) {
    // An item's line, and as the window then saves it (from body 1 clear, body 2 on, step
    // length, view 4): a bad on/off value leaves either state as it was.
    // clang-format off
    const std::tuple<int, std::string, std::string, std::u16string> cases[] = {
        {2, "1", "1", u""}, {2, "\"2\"", "2", u""}, {2, "3", "0", u""}, {2, "abc", "0", u""},
        {2, "99999999999", "0", u""}, {9, "3", "1", u""}, {82, "0", "0", u""},
        {82, "", "1", u""}, {82, "3", "1", u""}, {84, "11", "11", u""},
        {84, "12", "4", u""}, {84, "abc", "0", u""},
        {78, "\"15/3/2000 12:30\"", "\"15.03.2000 12:30:00\"", u""},
        {78, "\"abc\"", "\"01.01.1900\"", u"Неверная дата! abc"}};
    // clang-format on
    for (const auto& [item, line, saved, message] : cases) {
        TestWindow w;
        w.params.SetBodyState(1, 0);
        w.params.SetStepLengthMode(1);
        w.params.SelectView(4);
        w.params.SetText({FieldKind::SimDate}, u"02.01.1900");  // dates in the form loading gives
        w.params.SetText({FieldKind::StopDate}, u"01.01.1900");
        w.state.SimTime = 999;
        const std::string before = SystemFileBytes(w.params);
        FakeFileSystem files;
        files.AddFile(kState, WithLine(before, item, line));
        LoadSystem(w.params, files, u"");
        EXPECT_EQ(SystemFileBytes(w.params), WithLine(before, item, saved)) << item << line;
        EXPECT_EQ(w.toolkit.messages, std::vector<std::u16string>(!message.empty(), message));
        // Through the handlers: what follows a check box, the view option or the date follows.
        EXPECT_EQ(w.state.BodyOn[1], w.params.bodies[1].state == 1 ? 1 : 0);
        EXPECT_EQ(w.params.stepLength.enabled, w.params.stepLengthMode != 0);
        EXPECT_EQ(w.params.viewOption, w.state.ViewBody);
        EXPECT_EQ(w.state.SimTime, ParseDate(w.params.simDate.text, w.toolkit));
    }
}

}  // namespace
}  // namespace orbimo
