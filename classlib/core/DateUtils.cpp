#include "classlib/core/DateUtils.h"

#include <cctype>
#include <cmath>
#include <vector>

#include "classlib/core/Exception.h"

namespace {

constexpr int64_t MSecsPerDay = 24 * 60 * 60 * 1000;
// Days from 1 January 0001 to 30 December 1899, the zero of TDateTime.
constexpr int64_t DateDelta = 693594;

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Whole days and milliseconds of the day, rounded to the millisecond.
void Split(TDateTime value, int64_t& days, int64_t& msecs) {
  const double v = std::fabs(static_cast<double>(value));
  const auto total = static_cast<int64_t>(std::llround(v * MSecsPerDay));
  days = total / MSecsPerDay;
  msecs = total % MSecsPerDay;
}

const char* const ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongMonthNames[12] = {"January",   "February", "March",    "April",
                                        "May",       "June",     "July",     "August",
                                        "September", "October",  "November", "December"};
const char* const ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const LongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

} // namespace

TDateTime EncodeDate(uint16_t Year, uint16_t Month, uint16_t Day) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
    throw EConvertError("Invalid argument to date encode");
  int64_t days = Day;
  for (int m = 1; m < Month; ++m) days += DaysInMonth(Year, m);
  const int64_t y = Year - 1;
  days += y * 365 + y / 4 - y / 100 + y / 400;
  return static_cast<double>(days - DateDelta);
}

TDateTime EncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec) {
  if (Hour >= 24 || Min >= 60 || Sec >= 60 || MSec >= 1000)
    throw EConvertError("Invalid argument to time encode");
  return static_cast<double>(((Hour * 60 + Min) * 60 + Sec) * 1000 + MSec) / MSecsPerDay;
}

void DecodeDate(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day) {
  int64_t days = 0;
  int64_t msecs = 0;
  Split(Value, days, msecs);
  int64_t d = days + DateDelta - 1; // days since 1 January 0001, zero-based
  if (d < 0) d = 0;
  int64_t year = 1;
  const int64_t cycles400 = d / 146097;
  d %= 146097;
  year += cycles400 * 400;
  int64_t cycles100 = d / 36524;
  if (cycles100 == 4) cycles100 = 3;
  d -= cycles100 * 36524;
  year += cycles100 * 100;
  const int64_t cycles4 = d / 1461;
  d %= 1461;
  year += cycles4 * 4;
  int64_t years1 = d / 365;
  if (years1 == 4) years1 = 3;
  d -= years1 * 365;
  year += years1;
  int month = 1;
  while (d >= DaysInMonth(static_cast<int>(year), month)) d -= DaysInMonth(static_cast<int>(year), month++);
  Year = static_cast<uint16_t>(year);
  Month = static_cast<uint16_t>(month);
  Day = static_cast<uint16_t>(d + 1);
}

void DecodeTime(TDateTime Value, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec) {
  int64_t days = 0;
  int64_t msecs = 0;
  Split(Value, days, msecs);
  MSec = static_cast<uint16_t>(msecs % 1000);
  Sec = static_cast<uint16_t>(msecs / 1000 % 60);
  Min = static_cast<uint16_t>(msecs / 60000 % 60);
  Hour = static_cast<uint16_t>(msecs / 3600000);
}

AnsiString FormatDateTime(const AnsiString& Format, TDateTime DateTime) {
  uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  DecodeDate(DateTime, year, month, day);
  DecodeTime(DateTime, hour, minute, second, msec);
  int64_t days = 0, msecs = 0;
  Split(DateTime, days, msecs);
  const int dayOfWeek = static_cast<int>((days + 6) % 7); // 0 = Sunday; day 0 was a Saturday

  // A 12-hour clock when the pattern holds an am/pm marker.
  bool twelve = false;
  for (size_t i = 0; i + 1 < Format.size(); ++i) {
    if (Format.compare(i, 5, "am/pm") == 0 || Format.compare(i, 5, "AM/PM") == 0 ||
        Format.compare(i, 3, "a/p") == 0 || Format.compare(i, 3, "A/P") == 0)
      twelve = true;
  }
  const int shownHour = twelve ? (hour % 12 == 0 ? 12 : hour % 12) : hour;

  AnsiString r;
  bool lastWasHour = false;
  size_t i = 0;
  const size_t n = Format.size();
  auto count = [&](char c) {
    size_t k = 0;
    while (i + k < n && std::tolower(static_cast<unsigned char>(Format[i + k])) == c) ++k;
    return k;
  };
  auto two = [](int v) { return ::Format("%02d", v); };
  while (i < n) {
    const char c = Format[i];
    const char lc = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '\'' || c == '"') {
      const size_t end = Format.find(c, i + 1);
      const size_t stop = end == AnsiString::npos ? n : end;
      r += Format.substr(i + 1, stop - i - 1);
      i = stop == n ? n : stop + 1;
      continue;
    }
    if (Format.compare(i, 5, "am/pm") == 0 || Format.compare(i, 5, "AM/PM") == 0) {
      const bool upper = c == 'A';
      r += hour < 12 ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
      i += 5;
      continue;
    }
    if (Format.compare(i, 3, "a/p") == 0 || Format.compare(i, 3, "A/P") == 0) {
      const bool upper = c == 'A';
      r += hour < 12 ? (upper ? 'A' : 'a') : (upper ? 'P' : 'p');
      i += 3;
      continue;
    }
    size_t k = 0;
    switch (lc) {
    case 'd':
      k = count('d');
      if (k == 1)
        r += std::to_string(day);
      else if (k == 2)
        r += two(day);
      else if (k == 3)
        r += ShortDayNames[dayOfWeek];
      else
        r += LongDayNames[dayOfWeek];
      lastWasHour = false;
      break;
    case 'm':
      k = count('m');
      if (lastWasHour && k <= 2) {
        r += k == 1 ? std::to_string(minute) : two(minute);
      } else {
        if (k == 1)
          r += std::to_string(month);
        else if (k == 2)
          r += two(month);
        else if (k == 3)
          r += ShortMonthNames[month - 1];
        else
          r += LongMonthNames[month - 1];
      }
      lastWasHour = false;
      break;
    case 'y':
      k = count('y');
      r += k <= 2 ? two(year % 100) : ::Format("%04d", year);
      lastWasHour = false;
      break;
    case 'h':
      k = count('h');
      r += k == 1 ? std::to_string(shownHour) : two(shownHour);
      lastWasHour = true;
      break;
    case 'n':
      k = count('n');
      r += k == 1 ? std::to_string(minute) : two(minute);
      lastWasHour = false;
      break;
    case 's':
      k = count('s');
      r += k == 1 ? std::to_string(second) : two(second);
      lastWasHour = false;
      break;
    case 'z':
      k = count('z');
      r += k == 1 ? std::to_string(msec) : ::Format("%03d", msec);
      lastWasHour = false;
      break;
    default:
      k = 1;
      r += c;
      break;
    }
    i += k;
  }
  return r;
}

bool TryStrToDateFmt(const AnsiString& Text, const AnsiString& Format, TDateTime& Value) {
  // The order of day, month and year: that of their first letters in the pattern.
  int order[3] = {0, 1, 2}; // positions of year, month, day among the numbers
  size_t at[3] = {Format.find_first_of("yY"), Format.find_first_of("mM"), Format.find_first_of("dD")};
  if (at[0] != AnsiString::npos && at[1] != AnsiString::npos && at[2] != AnsiString::npos)
    for (int k = 0; k < 3; ++k) {
      order[k] = 0;
      for (int j = 0; j < 3; ++j)
        if (at[j] < at[k]) ++order[k];
    }
  std::vector<long> numbers;
  std::vector<int> widths;
  for (size_t i = 0; i < Text.size();) {
    if (!std::isdigit(static_cast<unsigned char>(Text[i]))) {
      ++i;
      continue;
    }
    long v = 0;
    int w = 0;
    while (i < Text.size() && std::isdigit(static_cast<unsigned char>(Text[i])) && w < 9) {
      v = v * 10 + (Text[i++] - '0');
      ++w;
    }
    if (i < Text.size() && std::isdigit(static_cast<unsigned char>(Text[i]))) return false;
    numbers.push_back(v);
    widths.push_back(w);
  }
  if (numbers.size() < 3 || numbers.size() > 6) return false;
  long year = numbers[order[0]];
  const long month = numbers[order[1]], day = numbers[order[2]];
  if (widths[order[0]] <= 2) year += year < 50 ? 2000 : 1900;
  const long hour = numbers.size() > 3 ? numbers[3] : 0, minute = numbers.size() > 4 ? numbers[4] : 0,
             second = numbers.size() > 5 ? numbers[5] : 0;
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(static_cast<int>(year), static_cast<int>(month)) || hour > 23 || minute > 59 ||
      second > 59)
    return false;
  const TDateTime date =
      EncodeDate(static_cast<uint16_t>(year), static_cast<uint16_t>(month), static_cast<uint16_t>(day));
  Value = static_cast<double>(date) +
          static_cast<double>(EncodeTime(static_cast<uint16_t>(hour), static_cast<uint16_t>(minute),
                                         static_cast<uint16_t>(second), 0));
  return true;
}

TDateTime StrToDateFmt(const AnsiString& Text, const AnsiString& Format) {
  TDateTime v;
  if (!TryStrToDateFmt(Text, Format, v))
    throw EConvertError(::Format("'%s' is not a valid date", Text.c_str()));
  return v;
}
