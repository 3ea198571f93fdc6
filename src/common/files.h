// Plain-text files and the file system, in the build's text.
//
// Every file-system path of the program passes through ToFsPath, the one place
// where the build's text becomes a path (UTF-8 on this platform). Plain text is
// read and written byte for byte in the 8-bit build and as UTF-8 in the UTF-16
// build; no byte-order mark is ever written; reading accepts CR LF, LF or CR.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/text.h"

// Folder separator of this platform; folder texts end with it.
#ifdef _WIN32
inline const Text kFolderSeparator = TXT("\\");
#else
inline const Text kFolderSeparator = TXT("/");
#endif

std::filesystem::path ToFsPath(const Text& path);
Text FromFsPath(const std::filesystem::path& path);

// Working folder of the process, without trailing separator.
Text WorkingFolder();

// Folder text with exactly one trailing separator added when missing.
Text WithTrailingSeparator(const Text& folder);

// True when the file exists and can be opened for reading.
bool CanOpenForReading(const Text& path);
bool FileExists(const Text& path);
bool FolderExists(const Text& path);
// Size in bytes, -1 when the file cannot be read.
int64_t FileSize(const Text& path);
bool DeleteFileAt(const Text& path);
// Creates one folder; false when it exists already or cannot be created.
bool CreateFolder(const Text& path);

// Whole file as raw bytes; false when it cannot be read.
bool ReadFileBytes(const Text& path, std::string& bytes);
// Whole file as text of the build.
bool ReadTextFile(const Text& path, Text& text);
// Splits text into lines at CR LF, LF or CR; a final line break adds no empty line.
std::vector<Text> SplitLines(const Text& text);
// All lines of a text file; false when it cannot be read.
bool ReadTextLines(const Text& path, std::vector<Text>& lines);

// Writes bytes to a file beside path and renames it over path, so that path
// holds either its old content or the whole new content, never a part.
bool WriteFileAtomically(const Text& path, const std::string& bytes);

// A plain text file being written. Lines end with CR LF unless written with
// WriteText and an explicit line end (the bouquet entry lines end with LF).
struct OutTextFile {
  std::ofstream stream;
  bool failed = false;
};

bool OpenOutTextFile(OutTextFile& file, const Text& path);
void WriteText(OutTextFile& file, const Text& text);
void WriteLine(OutTextFile& file, const Text& text);  // text + CR LF
// Closes the file; false when any write or the close failed.
bool CloseOutTextFile(OutTextFile& file);
