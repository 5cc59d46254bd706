#pragma once
// Whole-file reading and writing for files the user keeps (settings, saved games): reads bounded before they
// allocate, writes that replace the old file in one step or leave it as it was.
#include <cstdint>

#include "classlib/core/AnsiString.h"

// The file a name stands for: symbolic links followed to their last target, which need not exist yet, so
// that a write updates the target and leaves the link in place. Raises EFCreateError (naming ShownName) for
// a loop of links.
AnsiString ResolveLinks(const AnsiString& FileName, const AnsiString& ShownName);

// The folder a file lies in, as a name that can be opened ("." for a bare name).
AnsiString FolderOf(const AnsiString& Target);

// Replaces Target (already resolved) by Text: a temporary file beside it is written whole, synced and
// renamed over it, keeping the old file's permissions. A folder, a file that may not be written, or a full
// disk raise EFCreateError or EWriteError naming ShownName, and the old file stays as it was.
void ReplaceFileContents(const AnsiString& Target, const AnsiString& Text, const AnsiString& ShownName);

// The whole of a regular file of at most MaxSize bytes; EFOpenError otherwise, checked before reading.
AnsiString ReadWholeFile(const AnsiString& FileName, int64_t MaxSize);
