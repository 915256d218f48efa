// The catalogue of saved systems: the folder list, the field picker,
// cmbSystem and the actions "Сохранить", "Сохранить как" and "В начало".
#include "files/Catalogue.h"

#include <algorithm>
#include <cassert>

#include "files/SaveLoad.h"

namespace orbimo {
namespace {

/// 1-based position of sub in text at or after position start, 0 when there is none
/// (an empty sub is found at start, as Basic's InStr finds it).
std::int32_t InStr(std::int32_t start, const std::u16string& text, const std::u16string& sub) {
    const auto length = static_cast<std::int32_t>(text.size());
    if (text.empty() || start < 1 || start > length + 1) return 0;
    if (sub.empty()) return start;
    const std::size_t at = text.find(sub, static_cast<std::size_t>(start - 1));
    return at == std::u16string::npos ? 0 : static_cast<std::int32_t>(at) + 1;
}

bool IsControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

/// Saves and reports a failure in a message; true when the file was written.
bool SaveOrTell(ParamsModel& params, FileSystem& files, const std::u16string& path) {
    const WriteResult result = SaveSystem(params, files, path);
    if (!result.ok)
        params.toolkit().MessageBox(
            SaveFailedMessage(path.empty() ? StateFilePath(files) : path, result));
    return result.ok;
}

void Announce(ParamsModel& params) {
    if (params.changed) params.changed();
}

}  // namespace

void ListFiles(std::vector<std::u16string>& list, const FileSystem& files,
               const std::u16string& folder, std::uint16_t mask, const std::u16string& pattern) {
    const std::vector<std::u16string> names = files.List(folder, pattern, mask);
    list.resize(1);  // element 0 keeps its content
    for (const std::u16string& e : names) {
        if (e.empty() || e[0] == u'.') continue;  // also "." and ".."
        const std::optional<std::uint16_t> attributes = files.Attributes(folder + e);
        const bool isFolder = attributes && (*attributes & kAttrDirectory);
        list.push_back((isFolder ? u"2" : u"1") + e);
    }
    // The exchange sort gives the ascending order; std::u16string compares
    // code unit by code unit, the shorter text first when it begins the other.
    std::sort(list.begin() + 1, list.end());
}

std::u16string LineField(const std::u16string& text, std::int32_t n,
                         const std::u16string& delimiter) {
    assert(n - 1 <= INT16_MAX && "n - 1 must fit in a 16-bit integer");
    const auto delimiterLength = static_cast<std::int32_t>(delimiter.size());
    std::int32_t b = 0;
    for (std::int32_t i = 1; i <= n - 1; ++i) {
        const std::int32_t found = InStr(b + 1, text, delimiter);
        if (found == 0) {
            b = 0;
            break;
        }
        b = found;
    }
    if (n > 1 && b == 0) return {};
    std::int32_t e = InStr(b + 1, text, delimiter);
    if (e == 0) e = static_cast<std::int32_t>(text.size()) + 1;
    if (b == 0) return text.substr(0, static_cast<std::size_t>(e - 1));
    const std::int32_t start = b + delimiterLength;  // 1-based
    const std::int32_t count = e - b - delimiterLength;
    if (count <= 0 || start > static_cast<std::int32_t>(text.size())) return {};
    return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
}

void FillSystems(ParamsModel& params, const FileSystem& files) {
    std::vector<std::u16string> list;
    ListFiles(list, files, SaveFolderPath(files), 0, u"*.sav");
    params.systems.clear();
    for (std::size_t k = 1; k < list.size(); ++k)
        params.systems.push_back(LineField(list[k].substr(1), 1, u"."));
    Announce(params);
}

void ChooseSystem(ParamsModel& params, FileSystem& files, const std::u16string& entry) {
    const std::u16string path = SaveFolderPath(files) + entry + u".sav";
    const std::optional<std::uint16_t> attributes = files.Attributes(path);
    const bool normalFile =
        attributes && !(*attributes & (kAttrDirectory | kAttrHidden | kAttrSystem));
    if (!normalFile) {
        params.toolkit().MessageBox(u"Нет файла: " + path);
        return;
    }
    LoadSystem(params, files, path);
    SaveOrTell(params, files, u"");
    if (params.systemLoaded) params.systemLoaded(entry);
}

void SaveState(ParamsModel& params, FileSystem& files) {
    SaveOrTell(params, files, u"");
}

void SaveAs(ParamsModel& params, FileSystem& files) {
    const std::u16string name =
        params.toolkit().InputBox(u"Введите имя вашей системы", u"Сохранить как...", u"");
    if (name.empty()) return;
    if (const std::optional<std::u16string> problem = SystemNameProblem(name)) {
        params.toolkit().MessageBox(u"Недопустимое имя системы: «" + name + u"». " + *problem);
        return;
    }
    const std::u16string folder = SaveFolderPath(files);
    if (!files.Attributes(folder)) files.CreateFolder(folder);
    if (!SaveOrTell(params, files, folder + name + u".sav")) return;
    if (std::find(params.systems.begin(), params.systems.end(), name) == params.systems.end()) {
        params.systems.push_back(name);
        Announce(params);
    }
}

void BackToStart(ParamsModel& params, FileSystem& files) {
    const std::u16string zoom = params.Text(FieldRef{FieldKind::Scale});
    LoadSystem(params, files, u"");
    params.SetText(FieldRef{FieldKind::Scale}, zoom);
    if (params.systemLoaded) params.systemLoaded(u"");
}

std::optional<std::u16string> SystemNameProblem(const std::u16string& name) {
    static const std::u16string kForbidden = u"<>:\"/\\|?*";
    if (std::any_of(name.begin(), name.end(), IsControl))
        return u"Имя не может содержать управляющие символы.";
    if (name.find_first_of(kForbidden) != std::u16string::npos ||
        name.find(kPathSeparator) != std::u16string::npos)
        return u"Имя не может содержать символы < > : \" / \\ | ? *.";
    if (name.find(u"..") != std::u16string::npos) return u"Имя не может содержать «..».";
    // A dot-name would be a hidden file, which the catalogue neither lists nor loads.
    if (name[0] == u'.') return u"Имя не может начинаться с точки.";
    return std::nullopt;
}

}  // namespace orbimo
