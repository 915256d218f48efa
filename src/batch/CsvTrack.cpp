#include "batch/CsvTrack.h"

#include <cerrno>
#include <charconv>

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
    if (file_) std::fclose(file_);
}

bool CsvTrack::Open(const std::u16string& path, std::u16string& reason) {
    file_ = std::fopen(PathFromText(path).c_str(), "wb");
    if (!file_) {
        reason = ReasonFromErrno(errno);
        return false;
    }
    buffer_ = kCsvHeader;
    buffer_ += '\n';
    return true;
}

void CsvTrack::Rows(const SimState& s) {
    AppendCsvRows(buffer_, s);
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
    if (std::fclose(file_) != 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
    file_ = nullptr;
    if (error_ == 0) return true;
    reason = ReasonFromErrno(error_);
    return false;
}

}  // namespace orbimo
