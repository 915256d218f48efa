#pragma once
#include <string>

#include "params/ParamsModel.h"
#include "platform/FileSystem.h"

namespace orbimo {

/// The state file: the program folder + "/Orbimo.sav".
std::u16string StateFilePath(const FileSystem& files);
/// The folder of named systems, with its trailing separator: the program folder + "/Save/".
std::u16string SaveFolderPath(const FileSystem& files);

/// The 84 items of the window's current contents as the bytes of a system file.
std::string SystemFileBytes(ParamsModel& params);

/// Writes the window's contents to path (empty: the state file) through an atomic
/// write; on failure the old file is unchanged and the result carries the reason.
WriteResult SaveSystem(ParamsModel& params, FileSystem& files, const std::u16string& path);

/// Puts a system file's items into the window (empty path: the state file). Never
/// fails: an unreadable file or a missing item leaves fields as they were. Clears
/// the plot at the end in every case.
void LoadSystem(ParamsModel& params, FileSystem& files, const std::u16string& path);

/// The message for a save that failed: "Не удалось сохранить файл <path>: <reason>".
std::u16string SaveFailedMessage(const std::u16string& path, const WriteResult& result);

}  // namespace orbimo
