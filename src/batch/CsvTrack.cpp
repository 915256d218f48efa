#include "batch/CsvTrack.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>

#include "convert/DateTimeText.h"
#include "platform/StdFileSystem.h"
#include "platform/Utf8.h"

namespace orbimo {

namespace {

void AppendNumber(std::string& out, double v) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, ec == std::errc{} ? end : buf);
}

constexpr std::size_t kFlushAt = 1 << 20;

}  // namespace

void AppendCsvRows(std::string& out, const SimState& s) {
    std::string time;
    AppendNumber(time, s.SimTime);
    time += ",\"";
    time += ToUtf8(FormatDate(s.SimTime));
    time += "\",";
    for (int b = 1; b <= s.BodyCount; ++b) {
        if (s.BodyOn[b] != 1) continue;
        out += time;
        char digits[8];
        const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, b);
        out.append(digits, end);
        for (double v : {s.PosX[b], s.PosY[b], s.VelX[b], s.VelY[b]}) {
            out += ',';
            AppendNumber(out, v);
        }
        out += '\n';
    }
}

CsvTrack::~CsvTrack() {
    if (!file_) return;
    std::fclose(file_);
    std::remove(temp_.c_str());
}

bool CsvTrack::Open(const std::u16string& path, std::u16string& reason, const char* header) {
    const std::filesystem::path target = PathFromText(path);
    path_ = target.native();
    // A dot-name, as the program's own saves use: one left by a crash hides from the catalogue.
    temp_ = (target.parent_path() /
             ("." + target.filename().native() + "." + std::to_string(::getpid()) + ".tmp"))
                .native();
    file_ = std::fopen(temp_.c_str(), "wb");
    if (!file_) {
        reason = ReasonFromErrno(errno);
        return false;
    }
    error_ = 0;
    buffer_ = header;
    buffer_ += '\n';
    return true;
}

void CsvTrack::Rows(const SimState& s) {
    AppendCsvRows(buffer_, s);
    if (buffer_.size() >= kFlushAt) Flush();
}

void CsvTrack::Append(const std::string& lines) {
    buffer_ += lines;
    if (buffer_.size() >= kFlushAt) Flush();
}

void CsvTrack::Flush() {
    if (!file_ || buffer_.empty()) return;
    if (error_ == 0 && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        error_ = errno != 0 ? errno : EIO;
    buffer_.clear();
}

bool CsvTrack::Close(std::u16string& reason) {
    if (!file_) return true;
    Flush();
    if (error_ == 0 && std::fflush(file_) != 0) error_ = errno != 0 ? errno : EIO;
    if (error_ == 0 && ::fsync(::fileno(file_)) != 0) error_ = errno;
    if (std::fclose(file_) != 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
    file_ = nullptr;
    if (error_ == 0 && std::rename(temp_.c_str(), path_.c_str()) != 0) error_ = errno;
    if (error_ == 0) return true;
    std::remove(temp_.c_str());
    reason = ReasonFromErrno(error_);
    return false;
}

}  // namespace orbimo
