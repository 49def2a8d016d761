#ifndef SYMCONV_PLATFORM_PROGRESS_METER_H_
#define SYMCONV_PLATFORM_PROGRESS_METER_H_

#include <chrono>
#include <cstddef>
#include <string>

/// The progress line of the command line: the file being converted and,
/// inside a big one, how far the reading has come:
///   [k/n] NAME  37%  12.4 MB/s  0:03 left  1,234 symbols
/// The rate and the time left appear once the file has been read for a
/// second, when they no longer jump about.
class CProgressMeter {
 public:
  using Clock = std::chrono::steady_clock;

  /// Updates inside a file come at most this often.
  static constexpr Clock::duration kInterval = std::chrono::milliseconds(100);

  /// A file starts (done of total handled, name already printable): the
  /// line to show at once, "[done/total] name".
  std::string StartFile(int done, int total, const std::string& name,
                        Clock::time_point now);

  /// bytes_done of the file's bytes_total read, symbols written so far in
  /// the run: the line to show, or an empty one when the last line was
  /// shown less than kInterval ago.
  std::string Within(std::size_t bytes_done, std::size_t bytes_total,
                     int symbols, Clock::time_point now);

 private:
  std::string m_strHead;
  Clock::time_point m_start;
  Clock::time_point m_shown;
};

/// line cut to fewer than columns bytes (so fewer columns), never inside
/// a UTF-8 character: a line that wrapped could not be taken back by
/// returning to the start of the row. A columns of 0 (unknown) cuts
/// nothing.
std::string FitToColumns(const std::string& line, int columns);

#endif  // SYMCONV_PLATFORM_PROGRESS_METER_H_
