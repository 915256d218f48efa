#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

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

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(start, bytes.size()) << "bytes after the last CR LF";
    return lines;
}

std::string Join(const std::vector<std::string>& lines, std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count && i < lines.size(); ++i) bytes += lines[i] + "\r\n";
    return bytes;
}

/// The file a default window writes, with some lines (by item number) replaced.
std::string FileWith(const std::map<int, std::string>& replaced) {
    TestWindow base;
    std::vector<std::string> lines = Lines(SystemFileBytes(base.params));
    for (const auto& [number, line] : replaced) lines[number - 1] = line;
    return Join(lines, lines.size());
}

TEST(SaveLoadPaths, StateFileAndSaveFolderBesideTheProgram) {
    FakeFileSystem files(u"/opt/orbimo");
    EXPECT_EQ(StateFilePath(files), u"/opt/orbimo/Orbimo.sav");
    EXPECT_EQ(SaveFolderPath(files), u"/opt/orbimo/Save/");
}

#define TELO "\xD2\xE5\xEB\xEE"
#define ZEROS "\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n"

TEST(Save, GoldenBytes) {
    TestWindow w;
    auto& p = w.params;
    for (int k = 1; k <= kBodies; ++k) {
        for (FieldKind f :
             {FieldKind::Mass, FieldKind::X, FieldKind::Y, FieldKind::VX, FieldKind::VY})
            p.SetText({f, k}, u"0");
        p.SetBodyState(k, k <= 5 ? 1 : 0);
    }
    p.SetText({FieldKind::Mass, 1}, u"1,989E+30");
    p.SetText({FieldKind::X, 3}, u"  1,5E+11 ");
    p.SetText({FieldKind::VY, 3}, u"-29 790,5");
    p.bodies[11].caption = u"Луна, \"спутник\"";
    p.SetBodyState(11, 2);
    p.SetText({FieldKind::Time}, u"15.03.2000 12:30:00");
    p.SetText({FieldKind::Timer}, u"");
    p.SetText({FieldKind::dTime}, u"3600");
    p.SetText({FieldKind::dLong}, u"1 000,5");
    p.SetStepLong(0);
    p.SetText({FieldKind::Zoom}, u"    50 000 000");
    p.SelectView(3);

    const std::string expected =
        "\"" TELO
        " 1\"\r\n1\r\n\"1,989E+30\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n\"0\"\r\n"
        "\"" TELO " 2\"\r\n1\r\n" ZEROS "\"" TELO
        " 3\"\r\n1\r\n\"0\"\r\n\"  1,5E+11 \"\r\n\"0\"\r\n\"0\"\r\n\"-29 790,5\"\r\n"
        "\"" TELO " 4\"\r\n1\r\n" ZEROS "\"" TELO " 5\"\r\n1\r\n" ZEROS "\"" TELO
        " 6\"\r\n0\r\n" ZEROS "\"" TELO " 7\"\r\n0\r\n" ZEROS "\"" TELO " 8\"\r\n0\r\n" ZEROS
        "\"" TELO " 9\"\r\n0\r\n" ZEROS "\"" TELO "10\"\r\n0\r\n" ZEROS
        "\"\xCB\xF3\xED\xE0, '\xF1\xEF\xF3\xF2\xED\xE8\xEA'\"\r\n2\r\n" ZEROS
        "\"15.03.2000 12:30:00\"\r\n"
        "\"\"\r\n"
        "\"3600\"\r\n"
        "\"1 000,5\"\r\n"
        "0\r\n"
        "\"    50 000 000\"\r\n"
        "3\r\n";

    FakeFileSystem files;
    const WriteResult r = СохранитьТела(p, files, u"");
    ASSERT_TRUE(r.ok) << std::string(r.reason.begin(), r.reason.end());
    ASSERT_NE(files.FindFile(kState), nullptr);
    EXPECT_EQ(*files.FindFile(kState), expected);
    EXPECT_EQ(Lines(expected).size(), 84u);
}

TEST(Save, AlwaysEightyFourLinesWhateverTheBodies) {
    for (int state : {0, 1, 2}) {
        TestWindow w;
        for (int k = 1; k <= kBodies; ++k) w.params.SetBodyState(k, state);
        EXPECT_EQ(Lines(SystemFileBytes(w.params)).size(), 84u) << state;
    }
}

TEST(Save, IntegerItemsAreNeverQuoted) {
    TestWindow w;
    const std::vector<std::string> lines = Lines(SystemFileBytes(w.params));
    for (const SystemFileItem& item : SystemFileItems()) {
        const std::string& line = lines[item.number - 1];
        ASSERT_FALSE(line.empty()) << item.number;
        EXPECT_EQ(line.front() == '"' && line.back() == '"', item.kind == ItemKind::Text)
            << item.number << ": " << line;
    }
}

TEST(Save, GivenPathIsWrittenAndTheStateFileIsNot) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFolder(u"/prog/Save");
    ASSERT_TRUE(СохранитьТела(w.params, files, u"/prog/Save/Марс.sav").ok);
    EXPECT_NE(files.FindFile(u"/prog/Save/Марс.sav"), nullptr);
    EXPECT_EQ(files.FindFile(kState), nullptr);
}

TEST(Save, FailureIsReportedAndTheOldFileStays) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(kState, "old");
    files.failWrites = u"диск заполнен";
    const WriteResult r = СохранитьТела(w.params, files, u"");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, u"диск заполнен");
    EXPECT_EQ(*files.FindFile(kState), "old");
    EXPECT_EQ(SaveFailedMessage(kState, r),
              u"Не удалось сохранить файл /prog/Orbimo.sav: диск заполнен");
}

/// A value for every item that no default holds: commas, spaces, Cyrillic, states 0..2.
void FillDistinct(TestWindow& w) {
    auto& p = w.params;
    double seconds = 3.2e9;
    for (const SystemFileItem& item : SystemFileItems()) {
        const std::string n = std::to_string(item.number);
        const std::u16string num(n.begin(), n.end());
        switch (item.content) {
            case ItemContent::Caption:
                p.bodies[item.body].caption = u"Тело №" + num;
                break;
            case ItemContent::State:
                p.SetBodyState(item.body, item.body % 3);
                break;
            case ItemContent::StepLong:
                p.SetStepLong(1);
                break;
            case ItemContent::ViewBody:
                p.SelectView(7);
                break;
            case ItemContent::Time:
            case ItemContent::Timer:
                p.SetText(*ItemField(item), ТекстВремени(seconds += 86400 * 400 + 3723));
                break;
            case ItemContent::Zoom:
                p.SetText(*ItemField(item), u"   1 500 000 0" + num);
                break;
            default:
                p.SetText(*ItemField(item), u" " + num + u",5E+1, ё ");
                break;
        }
    }
}

TEST(SaveLoad, EveryItemReadsBackAfterASave) {
    TestWindow a;
    FillDistinct(a);
    FakeFileSystem files;
    ASSERT_TRUE(СохранитьТела(a.params, files, u"").ok);

    TestWindow b;
    // Every box starts in another state, so that loading changes each one.
    for (int k = 1; k <= kBodies; ++k) b.params.SetBodyState(k, (k + 1) % 3);
    ЗагрузитьТела(b.params, files, u"");
    for (const SystemFileItem& item : SystemFileItems()) {
        if (item.kind == ItemKind::Integer) {
            EXPECT_EQ(ItemInteger(b.params, item), ItemInteger(a.params, item)) << item.number;
            continue;
        }
        std::u16string expected = ItemText(a.params, item);
        if (item.content == ItemContent::Time || item.content == ItemContent::Timer)
            expected = ТекстВремени(ВремяИзТекста(expected, a.toolkit));
        EXPECT_EQ(ItemText(b.params, item), expected) << item.number;
    }
    EXPECT_TRUE(b.toolkit.messages.empty());
    // The consequences of the check boxes and the view option follow.
    for (int k = 1; k <= kBodies; ++k) EXPECT_EQ(b.state.BodyOn[k], k % 3 == 1 ? 1 : 0) << k;
    EXPECT_EQ(b.state.ViewBody, 7);
    EXPECT_EQ(b.params.viewOption, 7);
    EXPECT_TRUE(b.params.txtdLong.enabled);
    EXPECT_FALSE(b.params.txtdTime.enabled);
    EXPECT_EQ(b.state.SimTime, ВремяИзТекста(b.params.txtTime.text, b.toolkit));
    EXPECT_GT(b.state.SimTime, 3.2e9);
}

TEST(SaveLoad, DoubleQuoteInATextComesBackAsApostrophe) {
    TestWindow a;
    a.params.SetText({FieldKind::Mass, 2}, u"5\"");
    FakeFileSystem files;
    ASSERT_TRUE(СохранитьТела(a.params, files, u"").ok);
    TestWindow b;
    ЗагрузитьТела(b.params, files, u"");
    EXPECT_EQ(b.params.bodies[2].mass.text, u"5'");
    EXPECT_EQ(b.params.bodies[3].mass.text, a.params.bodies[3].mass.text);
}

TEST(Load, NoFileKeepsTheFieldsShowsNothingAndClearsThePlot) {
    TestWindow w;
    FillDistinct(w);
    const std::string before = SystemFileBytes(w.params);
    FakeFileSystem files;
    const int clears = w.clears;
    ЗагрузитьТела(w.params, files, u"");
    EXPECT_EQ(SystemFileBytes(w.params), before);
    EXPECT_TRUE(w.toolkit.messages.empty());
    EXPECT_EQ(w.clears, clears + 1);
    EXPECT_EQ(files.reads, 1);
}

TEST(Load, EmptyPathMeansTheStateFile) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(kState, FileWith({{3, "\"77\""}}));
    ЗагрузитьТела(w.params, files, u"");
    EXPECT_EQ(w.params.bodies[1].mass.text, u"77");
}

TEST(Load, DoesNotTouchTheBodiesOfTheSimulation) {
    TestWindow w;
    w.state.Mass[1] = 42;
    w.state.PosX[2] = 43;
    w.state.VelY[3] = 44;
    FakeFileSystem files;
    files.AddFile(kState, FileWith({{3, "\"1\""}, {11, "\"2\""}, {21, "\"3\""}}));
    ЗагрузитьТела(w.params, files, u"");
    EXPECT_EQ(w.state.Mass[1], 42);
    EXPECT_EQ(w.state.PosX[2], 43);
    EXPECT_EQ(w.state.VelY[3], 44);
}

TEST(Load, TextsAreTakenWithoutValidationAndCaptionsAnnounced) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(kState,
                  FileWith({{1, "\"\xD1\xEE\xEB\xED\xF6\xE5\""}, {3, "\"12abc\""}, {83, "\"0\""}}));
    const int changes = w.changes;
    ЗагрузитьТела(w.params, files, u"");
    EXPECT_EQ(w.params.bodies[1].caption, u"Солнце");
    EXPECT_EQ(w.params.bodies[1].mass.text, u"12abc");
    EXPECT_EQ(w.params.zoomText, u"0");
    EXPECT_TRUE(w.toolkit.messages.empty());
    EXPECT_GT(w.changes, changes);
}

class ShortFile : public ::testing::TestWithParam<int> {};

TEST_P(ShortFile, MissingItemsLeaveTheirFieldsAsTheyWere) {
    const int kept = GetParam();  // items present in the file
    TestWindow source;
    FillDistinct(source);
    const std::string full = SystemFileBytes(source.params);

    TestWindow w;
    w.params.SetText({FieldKind::Time}, ТекстВремени(86400));
    w.state.SimTime = 12345;
    w.state.ViewBody = 5;
    TestWindow before;  // the same window, untouched
    before.params.SetText({FieldKind::Time}, ТекстВремени(86400));
    before.state.ViewBody = 5;

    FakeFileSystem files;
    files.AddFile(kState, Join(Lines(full), static_cast<std::size_t>(kept)));
    ЗагрузитьТела(w.params, files, u"");
    for (const SystemFileItem& item : SystemFileItems()) {
        TestWindow& expected = item.number <= kept ? source : before;
        if (item.kind == ItemKind::Text) {
            std::u16string text = ItemText(expected.params, item);
            if (item.number <= kept &&
                (item.content == ItemContent::Time || item.content == ItemContent::Timer))
                text = ТекстВремени(ВремяИзТекста(text, expected.toolkit));
            EXPECT_EQ(ItemText(w.params, item), text) << "item " << item.number;
        } else {
            EXPECT_EQ(ItemInteger(w.params, item), ItemInteger(expected.params, item))
                << "item " << item.number;
        }
    }
    EXPECT_EQ(w.state.SimTime,
              kept >= 78 ? ВремяИзТекста(w.params.txtTime.text, w.toolkit) : 12345);
    EXPECT_EQ(w.clears, kept >= 84 ? 2 : 1);  // the view change clears once, the end once
    EXPECT_TRUE(w.toolkit.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(CutAfterItem, ShortFile,
                         ::testing::Values(0, 1, 2, 7, 40, 77, 78, 79, 82, 83, 84));

TEST(Load, CutInsideAQuotedItemTakesTheRest) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(kState, "\"" TELO "\"\r\n1\r\n\"12");
    ЗагрузитьТела(w.params, files, u"");
    EXPECT_EQ(w.params.bodies[1].caption, u"Тело");
    EXPECT_EQ(w.params.bodies[1].mass.text, u"12");
    EXPECT_EQ(w.params.bodies[1].x.text, u"0");
}

TEST(Load, LfOnlyLinesReadLikeCrLf) {
    TestWindow a;
    FillDistinct(a);
    const std::string crlf = SystemFileBytes(a.params);
    std::string lf;
    for (const std::string& line : Lines(crlf)) lf += line + "\n";
    FakeFileSystem files;
    files.AddFile(u"/prog/crlf.sav", crlf);
    files.AddFile(u"/prog/lf.sav", lf);
    TestWindow b, c;
    ЗагрузитьТела(b.params, files, u"/prog/crlf.sav");
    ЗагрузитьТела(c.params, files, u"/prog/lf.sav");
    EXPECT_EQ(SystemFileBytes(c.params), SystemFileBytes(b.params));
    EXPECT_EQ(c.params.bodies[11].vy.text, a.params.bodies[11].vy.text);
    EXPECT_EQ(c.state.ViewBody, 7);
}

struct StateCase {
    std::string line;  // item 2 (body 1) and item 82, as they stand in the file
    int expected;      // -1: ignored, the state stays
};

class OnOffItem : public ::testing::TestWithParam<StateCase> {};

TEST_P(OnOffItem, WholeNumbersZeroToTwoAreSetOthersIgnored) {
    TestWindow w;
    w.params.SetBodyState(1, 0);
    w.params.SetBodyState(1, 1);  // a change, so BodyOn[1] is 1
    w.params.SetStepLong(1);
    FakeFileSystem files;
    files.AddFile(kState, FileWith({{2, GetParam().line}, {82, GetParam().line}}));
    ЗагрузитьТела(w.params, files, u"");
    const int expected = GetParam().expected < 0 ? 1 : GetParam().expected;
    EXPECT_EQ(w.params.bodies[1].state, expected);
    EXPECT_EQ(w.state.BodyOn[1], expected == 1 ? 1 : 0);
    EXPECT_EQ(w.params.stepLongState, expected);
    EXPECT_EQ(w.params.txtdLong.enabled, expected != 0);
    EXPECT_EQ(w.params.txtdTime.enabled, expected == 0);
    EXPECT_TRUE(w.toolkit.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, OnOffItem,
                         ::testing::Values(StateCase{"0", 0}, StateCase{"1", 1}, StateCase{"2", 2},
                                           StateCase{"  0  ", 0}, StateCase{"\"0\"", 0},
                                           StateCase{"+0", 0}, StateCase{"3", -1},
                                           StateCase{"-1", -1}, StateCase{"", -1},
                                           StateCase{"abc", -1}, StateCase{"0.0", -1},
                                           StateCase{"\"\"", -1}, StateCase{"99999999999", -1}));

struct ViewCase {
    std::string line;  // item 84
    int expected;      // ViewBody afterwards
};

class ViewItem : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ViewItem, SelectsTheOptionOrKeepsThePreviousView) {
    TestWindow w;
    w.params.SelectView(4);
    const int clears = w.clears;
    FakeFileSystem files;
    files.AddFile(kState, FileWith({{84, GetParam().line}}));
    ЗагрузитьТела(w.params, files, u"");
    EXPECT_EQ(w.state.ViewBody, GetParam().expected);
    EXPECT_EQ(w.params.viewOption, GetParam().expected);
    // The selection's own clear when it changed, and the clear at the end.
    EXPECT_EQ(w.clears - clears, GetParam().expected == 4 ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewItem,
                         ::testing::Values(ViewCase{"0", 0}, ViewCase{"3", 3}, ViewCase{"11", 11},
                                           ViewCase{"4", 4}, ViewCase{"abc", 0}, ViewCase{"", 0},
                                           ViewCase{"12", 4}, ViewCase{"-1", 4},
                                           ViewCase{"70000", 4}, ViewCase{"\"2\"", 2}));

TEST(Load, ViewBodyIsSetEvenWhenTheOptionIsAlreadySelected) {
    // Start-up: option "Вид" selected while ViewBody is 1; a file naming 0 sets ViewBody.
    TestWindow w;
    w.state.ViewBody = 1;
    ASSERT_EQ(w.params.viewOption, 0);
    FakeFileSystem files;
    files.AddFile(kState, FileWith({{84, "0"}}));
    ЗагрузитьТела(w.params, files, u"");
    EXPECT_EQ(w.state.ViewBody, 0);
    EXPECT_EQ(w.params.viewOption, 0);
}

TEST(Load, DatesAreNormalisedAndSimTimeFollows) {
    TestWindow w;
    FakeFileSystem files;
    files.AddFile(kState, FileWith({{78, "\"15/3/2000 12:30\""}, {79, "\"\""}}));
    ЗагрузитьТела(w.params, files, u"");
    const double t = ВремяИзТекста(u"15.03.2000 12:30:00", w.toolkit);
    EXPECT_EQ(w.params.txtTime.text, ТекстВремени(t));
    EXPECT_EQ(w.state.SimTime, t);
    EXPECT_EQ(w.params.txtTimer.text, ТекстВремени(0));
    EXPECT_EQ(w.params.txtTimer.text, u"01.01.1900");
    EXPECT_TRUE(w.toolkit.messages.empty());
}

TEST(Load, AnInvalidDateIsReportedAndGivesTheEpoch) {
    TestWindow w;
    w.state.SimTime = 999;
    FakeFileSystem files;
    files.AddFile(kState, FileWith({{78, "\"abc\""}}));
    ЗагрузитьТела(w.params, files, u"");
    ASSERT_EQ(w.toolkit.messages.size(), 1u);
    EXPECT_EQ(w.toolkit.messages[0], u"Неверная дата! abc");
    EXPECT_EQ(w.params.txtTime.text, ТекстВремени(0));
    EXPECT_EQ(w.state.SimTime, 0);
}

}  // namespace
}  // namespace orbimo
