#include "platform/progress_meter.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

// 1234567 gives "1,234,567".
std::string WithThousands(long long n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), ",");
  }
  return n < 0 ? "-" + digits : digits;
}

// "0:07", "12:30", "2:05:00".
std::string Duration(long long seconds) {
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
  }
  return text;
}

}  // namespace

std::string FitToColumns(const std::string& line, int columns) {
  if (columns <= 0 || line.size() < static_cast<std::size_t>(columns)) {
    return line;
  }
  std::size_t end = static_cast<std::size_t>(columns) - 1;
  while (end > 0 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) {
    --end;
  }
  return line.substr(0, end);
}

std::string CProgressMeter::StartFile(int done, int total,
                                      const std::string& name,
                                      Clock::time_point now) {
  m_strHead =
      "[" + std::to_string(done) + "/" + std::to_string(total) + "] " + name;
  m_start = now;
  m_shown = now;
  return m_strHead;
}

std::string CProgressMeter::Within(std::size_t bytes_done,
                                   std::size_t bytes_total, int symbols,
                                   Clock::time_point now) {
  if (now - m_shown < kInterval) return std::string();
  m_shown = now;
  std::string line = m_strHead;
  if (bytes_total > 0 && bytes_done <= bytes_total) {
    line += "  " + std::to_string(bytes_done * 100 / bytes_total) + "%";
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    if (seconds >= 1.0 && bytes_done > 0) {
      const double rate = static_cast<double>(bytes_done) / seconds;
      char text[32];
      std::snprintf(text, sizeof text, "  %.1f MB/s", rate / 1e6);
      line += text;
      double left = static_cast<double>(bytes_total - bytes_done) / rate;
      if (left > 1e9) left = 1e9;  // a stalled read: nothing to overflow
      line += "  " + Duration(static_cast<long long>(left + 0.5)) + " left";
    }
  }
  line +=
      "  " + WithThousands(symbols) + (symbols == 1 ? " symbol" : " symbols");
  return line;
}
