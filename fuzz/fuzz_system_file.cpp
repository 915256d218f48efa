// The system-file reader and loader. The input is loaded as a state file into a window
// whose date fields hold their normal form; the window's contents are then written and
// loaded into a second window, which must end up with the same fields, no message, and
// write the same bytes again. Separately, the input cut at line feeds into items goes
// through the writer and the reader and must come back item for item.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "convert/DateTimeText.h"
#include "fakes/FakeFileSystem.h"
#include "files/SaveLoad.h"
#include "files/SystemFile.h"
#include "files/SystemFileItems.h"
#include "files/TestWindow.h"

namespace {

using namespace orbimo;
using orbimo::testing::FakeFileSystem;
using orbimo::testing::TestWindow;

constexpr char16_t kState[] = u"/prog/Orbimo.sav";

/// A window as start-up leaves it before the state file: dates in their normal form.
void StartLike(TestWindow& w) {
    w.params.SetText({FieldKind::SimDate}, FormatDate(0));
    w.params.SetText({FieldKind::StopDate}, FormatDate(0));
}

void Load(TestWindow& w, std::string bytes) {
    FakeFileSystem files;
    files.AddFile(kState, std::move(bytes));
    LoadSystem(w.params, files, u"");
}

std::u16string Apostrophes(std::u16string text) {
    for (char16_t& c : text)
        if (c == u'"') c = u'\'';
    return text;
}

void CheckLoadSaveLoad(std::string_view input) {
    TestWindow first;
    StartLike(first);
    Load(first, std::string(input));
    const std::string written = SystemFileBytes(first.params);

    TestWindow second;
    Load(second, written);
    FUZZ_REQUIRE(second.toolkit.messages.empty(), second.toolkit.messages[0]);
    for (const SystemFileItem& item : SystemFileItems()) {
        if (item.kind == ItemKind::Integer) {
            FUZZ_REQUIRE(ItemInteger(second.params, item) == ItemInteger(first.params, item));
        } else {
            // The format has no escape for a double quote: the writer puts an apostrophe.
            FUZZ_REQUIRE(ItemText(second.params, item) == Apostrophes(ItemText(first.params, item)),
                         ItemText(first.params, item), ItemText(second.params, item));
        }
    }
    FUZZ_REQUIRE(second.state.SimTime == first.state.SimTime, first.params.simDate.text);
    FUZZ_REQUIRE(SystemFileBytes(second.params) == written);
}

void CheckWriteRead(std::string_view input) {
    std::vector<std::u16string> items;
    std::size_t start = 0;
    while (start <= input.size() && items.size() < 200) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        items.push_back(FromCp1251(input.substr(start, end - start)));
        start = end + 1;
    }
    SystemFileWriter writer;
    for (const std::u16string& text : items) writer.Text(text);
    writer.Integer(static_cast<std::int64_t>(input.size()) - 100);

    SystemFileReader reader(writer.Bytes());
    for (const std::u16string& text : items) {
        const std::optional<std::u16string> back = reader.Next();
        FUZZ_REQUIRE(back.has_value(), text);
        FUZZ_REQUIRE(*back == Apostrophes(text), text, *back);
    }
    const std::optional<std::u16string> number = reader.Next();
    FUZZ_REQUIRE(number && WholeNumber(*number) == static_cast<std::int64_t>(input.size()) - 100);
    FUZZ_REQUIRE(!reader.Next().has_value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The reader alone, to the end: every call either gives an item or ends.
    SystemFileReader reader{std::string(input)};
    std::size_t items = 0;
    while (reader.Next()) FUZZ_REQUIRE(++items <= size + 1);

    CheckLoadSaveLoad(input);
    CheckWriteRead(input);
    return 0;
}
