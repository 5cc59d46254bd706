#pragma once
// The class library's 8-bit string. Value semantics; copies are cheap enough for the sizes we handle.
#include <string>

using AnsiString = std::string;

// printf-style formatting into an AnsiString.
AnsiString Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
