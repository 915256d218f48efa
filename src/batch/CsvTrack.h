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

/// A table being written as the run goes: the header at opening, then rows. It is written into
/// a temporary file beside the target, which replaces the target only when all of it was
/// written: a run refused or a full disk never leaves half a table.
class CsvTrack {
  public:
    CsvTrack() = default;
    CsvTrack(const CsvTrack&) = delete;
    CsvTrack& operator=(const CsvTrack&) = delete;
    ~CsvTrack();

    /// Creates the temporary file and writes the header; the Russian reason on failure.
    bool Open(const std::u16string& path, std::u16string& reason, const char* header = kCsvHeader);
    bool IsOpen() const { return file_ != nullptr; }
    /// The track's rows of the record's current state.
    void Rows(const SimState& s);
    /// Any other text, whole lines.
    void Append(const std::string& lines);
    /// Writes what is buffered, closes and puts the file in place; the Russian reason when
    /// anything failed (the target is then left as it was).
    bool Close(std::u16string& reason);

  private:
    void Flush();
    std::string path_, temp_;
    std::FILE* file_ = nullptr;
    std::string buffer_;
    int error_ = 0;
};

}  // namespace orbimo
