#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "params/ParamsModel.h"
#include "platform/FileSystem.h"

namespace orbimo {

/// Lists the entries of folder (ending with the separator) matching pattern: element 0
/// empty, then "1" + name for a file or "2" + name for a folder, ascending by UTF-16
/// code units. Names beginning with "." are skipped.
void ListFiles(std::vector<std::u16string>& list, const FileSystem& files,
               const std::u16string& folder, std::uint16_t mask, const std::u16string& pattern);

/// Field n (from 1) of text, the fields separated by delimiter; n − 1 must fit in 16 bits.
std::u16string LineField(const std::u16string& text, std::int32_t n,
                         const std::u16string& delimiter);

/// Fills cmbSystem with the names of the systems in the Save folder, nothing selected.
void FillSystems(ParamsModel& params, const FileSystem& files);

/// Choosing an entry of cmbSystem: loads Save/<entry>.sav and saves it as the state file;
/// "Нет файла: <path>" when there is no normal file of that name.
void ChooseSystem(ParamsModel& params, FileSystem& files, const std::u16string& entry);

/// "Сохранить": the window's contents into the state file.
void SaveState(ParamsModel& params, FileSystem& files);

/// "Сохранить как": asks for a name, saves Save/<name>.sav and lists the name once.
void SaveAs(ParamsModel& params, FileSystem& files);

/// "В начало": loads the state file again, keeping the scale text.
void BackToStart(ParamsModel& params, FileSystem& files);

/// Why a name typed into "Сохранить как" cannot name a system file, or nothing when it can.
std::optional<std::u16string> SystemNameProblem(const std::u16string& name);

}  // namespace orbimo
