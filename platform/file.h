// The file layer: path types, folders, and files read and written a line at a time.
//
// A path is Text. Before a path reaches the system every "\" becomes "/", so "\" and "/" may
// be mixed freely, and each character's low 8 bits become one byte of the system's path: the
// reverse of the one-for-one rule by which user_folder.h makes Text of the system's bytes.
// Lines are 8-bit text too: each byte read is the character of that code, each character
// written is its low byte.
//
// A file is rewritten by replacement: the new content goes to a temporary file beside it,
// which is synced and then renamed over the old one, so a reader finds the old file or the new
// one, whole, never a mix or a part.
//
// Any thread, though a stream belongs to one thread at a time; the program uses all of this on
// the main thread only.
#pragma once

#include <cstdint>

#include "platform/text.h"

struct FileStream;  // An open file, read or being written as a replacement. Opaque.

enum FileKind : int32_t { FileNone = 0, FileRegular = 1, FileFolder = 2 };

// Returns what the path names, symbolic links followed. A path whose status cannot be read,
// and anything that is neither a regular file nor a folder, is FileNone.
FileKind FileType(const Text& path);

// Makes one folder (its parent must exist). Returns whether the path names a folder
// afterwards, so an existing folder gives true.
bool MakeFolder(const Text& path);

// Opens a regular file for reading from its start. Returns null when it is missing, a folder
// or cannot be opened.
FileStream* OpenRead(const Text& path);

// Returns the next line of a stream from OpenRead by the reading rules of line_scan.h without
// its length bound: the bytes up to the next LF, NUL or the end of the file, the LF or NUL
// consumed, every CR dropped wherever it stands, no length limit. At the end of the file, and
// after a read error, every further line is empty.
Text ReadLine(FileStream* stream);

// Closes a stream from OpenRead and frees it.
void CloseFile(FileStream* stream);

// Opens an empty temporary file beside path, for content that is to replace path's file.
// Nothing at path changes until CommitReplacement. Returns null when path names a folder or
// the temporary file cannot be made (no folder, no access); then nothing was written.
FileStream* OpenReplacement(const Text& path);

// Writes the low 8 bits of each character, one byte each, then CR LF. Returns false when the
// system has refused bytes of this stream, this time or earlier; nothing is retried.
bool WriteLine(FileStream* stream, const Text& line);

// Flushes the replacement, syncs it to the disk, closes it and renames it over its path, then
// frees the stream. Returns true when the path names the new file. When any step fails (a write
// error now or earlier, a full disk) the temporary file is removed and the old file, or its
// absence, is left as it was; then false.
bool CommitReplacement(FileStream* stream);

// Closes the replacement, removes its temporary file and frees the stream; the old file is
// left as it was.
void AbandonReplacement(FileStream* stream);
