#pragma once
// Text, number and file-name helpers. File names accept both "/" and "\" as separators; names handed to the
// file system are converted to the platform's separator first.
#include <cstdint>

#include "classlib/core/AnsiString.h"
#include "classlib/core/Exception.h"

// Numbers.
AnsiString IntToStr(int64_t Value);
AnsiString IntToHex(int64_t Value, int Digits);
// Accepts optional blanks around, a sign, decimal digits or "$"/"0x" hexadecimal. Raises EConvertError
// "'<text>' is not a valid integer value" for anything else, including values outside 32 bits.
int StrToInt(const AnsiString& S);
int StrToIntDef(const AnsiString& S, int Default);
bool TryStrToInt(const AnsiString& S, int& Value);
int64_t StrToInt64(const AnsiString& S);
bool TryStrToInt64(const AnsiString& S, int64_t& Value);
// Floats use "." as the decimal separator. StrToFloat raises EConvertError "'<text>' is not a valid floating
// point value".
double StrToFloat(const AnsiString& S);
bool TryStrToFloat(const AnsiString& S, double& Value);
AnsiString FloatToStr(double Value);
// Formats by a pattern of up to three ";"-separated sections (positive, negative, zero): "0" a digit always
// shown, "#" a digit shown when significant, "." the decimal point, "," anywhere among the digits groups the
// thousands; other characters and 'quoted' or "quoted" text are copied. An empty pattern gives FloatToStr.
AnsiString FormatFloat(const AnsiString& Format, double Value);

// Text; letter case is that of plain ASCII.
AnsiString UpperCase(const AnsiString& S);
AnsiString LowerCase(const AnsiString& S);
int CompareText(const AnsiString& S1, const AnsiString& S2); // <0, 0, >0 without regard to case
bool SameText(const AnsiString& S1, const AnsiString& S2);
// Equal without regard to case, as the user reads the text: the accented letters of the Western code page
// that the class library's text is in (É and é, Š and š, Ÿ and ÿ) match as well as plain ASCII.
bool AnsiSameText(const AnsiString& S1, const AnsiString& S2);
int CompareStr(const AnsiString& S1, const AnsiString& S2);
AnsiString Trim(const AnsiString& S); // removes blanks and control characters at both ends
AnsiString TrimLeft(const AnsiString& S);
AnsiString TrimRight(const AnsiString& S);
// 1-based position of Sub in S, 0 when absent.
int Pos(const AnsiString& Sub, const AnsiString& S);
AnsiString StringReplaceAll(const AnsiString& S, const AnsiString& OldPattern, const AnsiString& NewPattern);

// File names. The path parts keep their trailing separator, as the callers join them by concatenation.
constexpr char PathDelim = '/';
bool IsPathDelimiter(char C);                           // "/" or "\"
AnsiString NativePath(const AnsiString& FileName);      // "\" turned into "/"
AnsiString ExtractFilePath(const AnsiString& FileName); // "C:\a\b.txt" -> "C:\a\"
AnsiString ExtractFileDir(const AnsiString& FileName);  // "C:\a\b.txt" -> "C:\a"
AnsiString ExtractFileName(const AnsiString& FileName); // after the last "/", "\" or ":"
AnsiString ExtractFileExt(const AnsiString& FileName);  // ".txt", "" when none
AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& S); // adds "/" unless S ends in "/" or "\"
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& S);
AnsiString ExpandFileName(const AnsiString& FileName); // absolute, in the platform's form

// Files and folders.
bool FileExists(const AnsiString& FileName); // a folder does not count
bool DirectoryExists(const AnsiString& Name);
bool DeleteFile(const AnsiString& FileName);
bool RenameFile(const AnsiString& OldName, const AnsiString& NewName);
bool CreateDir(const AnsiString& Dir);
bool ForceDirectories(const AnsiString& Dir);
int64_t FileSizeOf(const AnsiString& FileName); // -1 when the file does not exist
// Opens FileName with the open(2) Flags (and Mode when they create it) only when it is a regular file, after
// following symbolic links. A folder, a FIFO or a device fails at once, without waiting for a writer: -1,
// with Reason saying why.
int OpenRegularFile(const AnsiString& FileName, int Flags, AnsiString& Reason, int Mode = 0666);
AnsiString GetCurrentDir(); // without a trailing separator
bool SetCurrentDir(const AnsiString& Dir);
AnsiString GetTempDir(); // the temporary folder, with a trailing separator
AnsiString GetExeName(); // full name of the running program
AnsiString GetExeDir();  // its folder, with a trailing separator

// The system locale record. MiddleEast: the locale reads right to left (Arabic, Hebrew, Persian, Urdu), taken
// from LC_ALL, LC_CTYPE or LANG when the program starts; tests may set it.
struct TSysLocale {
  bool MiddleEast = false;
};
extern TSysLocale SysLocale;
