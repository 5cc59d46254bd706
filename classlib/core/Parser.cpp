#include "classlib/core/Parser.h"

#include <charconv>

#include "classlib/core/Exception.h"

namespace {
bool IsIdentStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(char c) {
  return IsIdentStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
} // namespace

TParser::TParser(const char* Text, size_t Length) : FPos(Text), FEnd(Text + Length) {}

void TParser::Error(const AnsiString& Message, int AtLine) {
  throw EParserError(Format("Line %d: %s", AtLine > 0 ? AtLine : FLine, Message.c_str()));
}

const TToken& TParser::Peek() {
  if (!FHasPeek) {
    FPeek = Scan();
    FHasPeek = true;
  }
  return FPeek;
}

TToken TParser::Next() {
  if (FHasPeek) {
    FHasPeek = false;
    return std::move(FPeek);
  }
  return Scan();
}

void TParser::SkipBlanks() {
  while (FPos < FEnd) {
    const char c = *FPos;
    if (c == '\n')
      ++FLine;
    else if (c != ' ' && c != '\t' && c != '\r')
      break;
    ++FPos;
  }
}

TToken TParser::Scan() {
  SkipBlanks();
  TToken t;
  t.Line = FLine;
  if (FPos >= FEnd) return t;
  const char c = *FPos;
  if (IsIdentStart(c)) {
    const char* start = FPos;
    for (;;) {
      while (FPos < FEnd && IsIdentChar(*FPos)) ++FPos;
      if (FPos + 1 < FEnd && *FPos == '.' && IsIdentStart(FPos[1]))
        ++FPos;
      else
        break;
    }
    t.Kind = TTokenKind::Symbol;
    t.Text.assign(start, FPos);
    return t;
  }
  if (c == '\'' || c == '#') {
    ScanString(t);
    return t;
  }
  if (IsDigit(c) || c == '$') {
    ScanNumber(t);
    return t;
  }
  if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) >= 0x7F)
    Error(Format("Invalid character #%d", static_cast<unsigned char>(c)));
  t.Kind = TTokenKind::Char;
  t.Char = c;
  ++FPos;
  return t;
}

void TParser::ScanString(TToken& Token) {
  Token.Kind = TTokenKind::String;
  while (FPos < FEnd && (*FPos == '\'' || *FPos == '#')) {
    if (*FPos == '\'') {
      ++FPos;
      for (;;) {
        if (FPos >= FEnd || *FPos == '\n' || *FPos == '\r') Error("Unterminated string");
        if (*FPos == '\'') {
          if (FPos + 1 < FEnd && FPos[1] == '\'') {
            Token.Text += '\'';
            FPos += 2;
            continue;
          }
          ++FPos;
          break;
        }
        Token.Text += *FPos++;
      }
    } else {
      ++FPos;
      unsigned value = 0;
      int digits = 0;
      if (FPos < FEnd && *FPos == '$') {
        ++FPos;
        for (int h; FPos < FEnd && (h = HexValue(*FPos)) >= 0; ++FPos, ++digits) {
          value = value * 16 + static_cast<unsigned>(h);
          if (value > 255) Error("Character code out of range");
        }
      } else {
        for (; FPos < FEnd && IsDigit(*FPos); ++FPos, ++digits) {
          value = value * 10 + static_cast<unsigned>(*FPos - '0');
          if (value > 255) Error("Character code out of range");
        }
      }
      if (digits == 0) Error("Invalid character code");
      Token.Text += static_cast<char>(value);
    }
  }
}

void TParser::ScanNumber(TToken& Token) {
  if (*FPos == '$') {
    ++FPos;
    const char* start = FPos;
    while (FPos < FEnd && HexValue(*FPos) >= 0) ++FPos;
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(start, FPos, value, 16);
    if (start == FPos || ec != std::errc() || end != FPos) Error("Invalid hexadecimal number");
    // Above the largest signed value, a minus sign in front could not be applied.
    if (value > static_cast<uint64_t>(INT64_MAX)) Error("Integer overflow");
    Token.Kind = TTokenKind::Integer;
    Token.Int = static_cast<int64_t>(value);
    return;
  }
  const char* start = FPos;
  while (FPos < FEnd && IsDigit(*FPos)) ++FPos;
  bool isFloat = false;
  if (FPos + 1 < FEnd && *FPos == '.' && IsDigit(FPos[1])) {
    isFloat = true;
    ++FPos;
    while (FPos < FEnd && IsDigit(*FPos)) ++FPos;
  }
  if (FPos < FEnd && (*FPos == 'e' || *FPos == 'E')) {
    const char* e = FPos + 1;
    if (e < FEnd && (*e == '+' || *e == '-')) ++e;
    if (e < FEnd && IsDigit(*e)) {
      isFloat = true;
      FPos = e;
      while (FPos < FEnd && IsDigit(*FPos)) ++FPos;
    }
  }
  if (isFloat) {
    const auto [end, ec] = std::from_chars(start, FPos, Token.Float);
    if (ec != std::errc() || end != FPos) Error("Invalid floating point number");
    Token.Kind = TTokenKind::Float;
  } else {
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(start, FPos, value);
    if (ec != std::errc() || end != FPos || value > static_cast<uint64_t>(INT64_MAX))
      Error("Integer overflow");
    Token.Kind = TTokenKind::Integer;
    Token.Int = static_cast<int64_t>(value);
  }
  // A number runs straight into the next token only when that is a separator.
  if (FPos < FEnd && (IsIdentStart(*FPos) || *FPos == '.')) Error("Invalid number");
}

std::vector<uint8_t> TParser::ReadBinary() {
  std::vector<uint8_t> bytes;
  int high = -1;
  for (;;) {
    SkipBlanks();
    if (FPos >= FEnd) Error("Unterminated binary data");
    const char c = *FPos++;
    if (c == '}') break;
    const int h = HexValue(c);
    if (h < 0) Error("Invalid binary data");
    if (high < 0) {
      high = h;
    } else {
      bytes.push_back(static_cast<uint8_t>(high * 16 + h));
      high = -1;
    }
  }
  if (high >= 0) Error("Odd number of hexadecimal digits in binary data");
  return bytes;
}
