#pragma once
#include <cstdio>
#include <string>

#include "core/SimState.h"

namespace orbimo {

/// The header line of a track file.
inline constexpr char kCsvHeader[] = "t_s,date_time,body,x_m,y_m,vx_m_s,vy_m_s";

/// Appends the lines of the record's current state: one per body taking part, in body
/// order, each "t,\"date-time\",b,x,y,vx,vy\n". Numbers are the shortest texts that read
/// back to the same double, with a point; the date-time text is quoted (it has a comma).
void AppendCsvRows(std::string& out, const SimState& s);

/// A track file being written: the header at opening, then rows as the run goes.
class CsvTrack {
  public:
    CsvTrack() = default;
    CsvTrack(const CsvTrack&) = delete;
    CsvTrack& operator=(const CsvTrack&) = delete;
    ~CsvTrack();

    /// Creates or truncates the file and writes the header; the Russian reason on failure.
    bool Open(const std::u16string& path, std::u16string& reason);
    bool IsOpen() const { return file_ != nullptr; }
    void Rows(const SimState& s);
    /// Writes what is buffered and closes; the Russian reason when anything failed.
    bool Close(std::u16string& reason);

  private:
    void Flush();
    std::FILE* file_ = nullptr;
    std::string buffer_;
    int error_ = 0;
};

}  // namespace orbimo
