#pragma once
// TParser: the tokenizer of the text form-stream format. It reads a buffer it does not own, never past its
// end, and reports malformed text with EParserError "Line <n>: <what>".
#include <cstddef>
#include <cstdint>
#include <vector>

#include "classlib/core/AnsiString.h"

enum class TTokenKind { EndOfText, Symbol, Integer, Float, String, Char };

struct TToken {
  TTokenKind Kind = TTokenKind::EndOfText;
  AnsiString Text;  // symbols (dotted names are one symbol) and strings (pieces already joined)
  int64_t Int = 0;  // integers
  double Float = 0; // floats
  char Char = 0;    // single characters: = : [ ] ( ) < > { } , + - and any other
  int Line = 1;
};

class TParser {
 public:
  TParser(const char* Text, size_t Length);

  const TToken& Peek();
  TToken Next();
  int Line() { return Peek().Line; }

  // After a "{" token has been taken with Next (and nothing peeked since): the hexadecimal bytes up to the
  // matching "}", which is consumed too.
  std::vector<uint8_t> ReadBinary();

  [[noreturn]] void Error(const AnsiString& Message, int AtLine = 0);

 private:
  TToken Scan();
  void SkipBlanks();
  void ScanString(TToken& Token);
  void ScanNumber(TToken& Token);

  const char* FPos;
  const char* FEnd;
  int FLine = 1;
  bool FHasPeek = false;
  TToken FPeek;
};
