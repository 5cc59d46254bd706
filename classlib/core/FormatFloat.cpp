#include <cmath>
#include <cstdio>
#include <vector>

#include "classlib/core/SysUtils.h"

namespace {

// The sections of a pattern, split at ";" outside quotes.
std::vector<AnsiString> Sections(const AnsiString& Format) {
  std::vector<AnsiString> out(1);
  char quote = 0;
  for (char c : Format) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      out.emplace_back();
      continue;
    }
    out.back() += c;
  }
  return out;
}

bool IsPlaceholder(char c) {
  return c == '0' || c == '#';
}

// Formats the magnitude of Value by one section.
AnsiString FormatSection(const AnsiString& Section, double Value) {
  // The placeholder area runs from the first to the last "0" or "#"; "," and "." inside it belong to it.
  size_t first = AnsiString::npos, last = 0;
  char quote = 0;
  for (size_t i = 0; i < Section.size(); ++i) {
    const char c = Section[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      continue;
    }
    if (IsPlaceholder(c) || ((c == '.' || c == ',') && first != AnsiString::npos)) {
      if (first == AnsiString::npos) first = i;
      last = i;
    } else if (c == '.' && first == AnsiString::npos) {
      first = last = i;
    }
  }
  auto literal = [&](size_t from, size_t to) {
    AnsiString r;
    char q = 0;
    for (size_t i = from; i < to && i < Section.size(); ++i) {
      const char c = Section[i];
      if (q) {
        if (c == q)
          q = 0;
        else
          r += c;
      } else if (c == '\'' || c == '"') {
        q = c;
      } else {
        r += c;
      }
    }
    return r;
  };
  if (first == AnsiString::npos) return literal(0, Section.size());

  int minInt = 0, minDec = 0, maxDec = 0;
  bool point = false, thousands = false, seenZero = false;
  for (size_t i = first; i <= last; ++i) {
    const char c = Section[i];
    if (c == '.') {
      point = true;
    } else if (c == ',') {
      thousands = thousands || !point;
    } else if (!point) {
      if (c == '0') seenZero = true;
      if (seenZero) ++minInt;
    } else {
      ++maxDec;
      if (c == '0') minDec = maxDec;
    }
  }
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.*f", maxDec, std::fabs(Value));
  AnsiString digits = buffer;
  AnsiString intPart = digits, decPart;
  if (const size_t dot = digits.find('.'); dot != AnsiString::npos) {
    intPart = digits.substr(0, dot);
    decPart = digits.substr(dot + 1);
  }
  while (static_cast<int>(decPart.size()) > minDec && decPart.back() == '0') decPart.pop_back();
  if (intPart == "0" && minInt == 0) intPart.clear();
  while (static_cast<int>(intPart.size()) < minInt) intPart.insert(intPart.begin(), '0');
  if (thousands && intPart.size() > 3) {
    AnsiString grouped;
    const size_t n = intPart.size();
    for (size_t i = 0; i < n; ++i) {
      if (i > 0 && (n - i) % 3 == 0) grouped += ',';
      grouped += intPart[i];
    }
    intPart = grouped;
  }
  AnsiString number = intPart;
  if (!decPart.empty()) number += "." + decPart;
  if (number.empty()) number = "0";
  return literal(0, first) + number + literal(last + 1, Section.size());
}

} // namespace

AnsiString FormatFloat(const AnsiString& Format, double Value) {
  if (Format.empty() || !std::isfinite(Value)) return FloatToStr(Value);
  const std::vector<AnsiString> sections = Sections(Format);
  if (Value == 0 && sections.size() > 2 && !sections[2].empty()) return FormatSection(sections[2], 0);
  if (Value < 0 && sections.size() > 1 && !sections[1].empty()) return FormatSection(sections[1], Value);
  const AnsiString r = FormatSection(sections[0], Value);
  // A value that rounds to zero shows no sign.
  if (Value < 0 && r.find_first_of("123456789") != AnsiString::npos) return "-" + r;
  return r;
}
