// SaveSystem and LoadSystem: the window's contents to and from a
// system file, item by item along the one table.
#include "files/SaveLoad.h"

#include <exception>
#include <optional>
#include <utility>

#include "files/SystemFile.h"
#include "files/SystemFileItems.h"

namespace orbimo {

std::u16string StateFilePath(const FileSystem& files) {
    return files.ProgramFolder() + kPathSeparator + u"Orbimo.sav";
}

std::u16string SaveFolderPath(const FileSystem& files) {
    return files.ProgramFolder() + kPathSeparator + u"Save" + kPathSeparator;
}

std::string SystemFileBytes(ParamsModel& params) {
    SystemFileWriter writer;
    for (const SystemFileItem& item : SystemFileItems()) {
        if (item.kind == ItemKind::Text) {
            writer.Text(ItemText(params, item));
        } else {
            writer.Integer(ItemInteger(params, item));
        }
    }
    return writer.Bytes();
}

WriteResult SaveSystem(ParamsModel& params, FileSystem& files, const std::u16string& path) {
    const std::u16string target = path.empty() ? StateFilePath(files) : path;
    return files.WriteAtomic(target, SystemFileBytes(params));
}

void LoadSystem(ParamsModel& params, FileSystem& files, const std::u16string& path) {
    const std::u16string source = path.empty() ? StateFilePath(files) : path;
    if (std::optional<std::string> bytes = files.Read(source)) {
        SystemFileReader reader(std::move(*bytes));
        for (const SystemFileItem& item : SystemFileItems()) {
            const std::optional<std::u16string> text = reader.Next();
            if (!text) break;  // the file ended early: the remaining fields stay as they are
            // Every failure is ignored and loading goes on with the next item.
            try {
                ApplyItem(params, item, *text);
            } catch (const std::exception&) {
            }
        }
        // The captions were set directly; let the window show them.
        if (params.changed) params.changed();
    }
    if (params.clearPlot) params.clearPlot();
}

std::u16string SaveFailedMessage(const std::u16string& path, const WriteResult& result) {
    return u"Не удалось сохранить файл " + path + u": " + result.reason;
}

}  // namespace orbimo
