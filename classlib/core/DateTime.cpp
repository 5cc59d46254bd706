#include "classlib/core/DateTime.h"

#include <chrono>
#include <ctime>

namespace {
constexpr double UnixEpochDays = 25569.0; // 1 January 1970 counted from 30 December 1899
constexpr double SecondsPerDay = 86400.0;
} // namespace

TDateTime Now() {
  const auto now = std::chrono::system_clock::now();
  const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
  std::tm local{};
  localtime_r(&seconds, &local);
  const double utcSeconds = static_cast<double>(micros) / 1e6;
  return TDateTime(UnixEpochDays + (utcSeconds + static_cast<double>(local.tm_gmtoff)) / SecondsPerDay);
}
