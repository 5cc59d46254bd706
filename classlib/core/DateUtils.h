#pragma once
// Calendar arithmetic and formatting of TDateTime values (days since 30 December 1899, the fraction the time
// of day).
#include <cstdint>

#include "classlib/core/AnsiString.h"
#include "classlib/core/DateTime.h"

TDateTime EncodeDate(uint16_t Year, uint16_t Month, uint16_t Day); // raises EConvertError for a bad date
TDateTime EncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec);
void DecodeDate(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day);
void DecodeTime(TDateTime Value, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec);

// Formats by pattern: d dd ddd dddd, m mm mmm mmmm (minutes right after h/hh), yy yyyy, h hh, n nn, s ss, z
// zzz, am/pm and a/p (12-hour clock), "/" and ":" as themselves, 'quoted' and "quoted" text. Anything else is
// copied. A negative value (a duration gone below zero) formats its magnitude.
AnsiString FormatDateTime(const AnsiString& Format, TDateTime DateTime);

// Reads a date, with an optional time after it, whose day, month and year come in the order of their first
// letters in Format (d, m, y; "yyyy-mm-dd" when Format holds none of them), separated by any non-digits; a
// two-digit year counts from 2000 below 50, else from 1900. Raises EConvertError "'<text>' is not a valid
// date" for anything else.
TDateTime StrToDateFmt(const AnsiString& Text, const AnsiString& Format);
bool TryStrToDateFmt(const AnsiString& Text, const AnsiString& Format, TDateTime& Value);
