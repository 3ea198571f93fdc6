#include "common/files.h"

#include <system_error>

#include "common/encoding.h"

namespace fs = std::filesystem;

namespace {

bool EndsWithSeparator(const Text& folder) {
  if (folder.empty()) return false;
  const Char last = folder.back();
#ifdef _WIN32
  return last == Char('/') || last == Char('\\');
#else
  return last == Char('/');
#endif
}

}  // namespace

std::filesystem::path ToFsPath(const Text& path) {
  const std::string utf8 = TextToUtf8(path);
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

Text FromFsPath(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return Utf8ToText(std::string(utf8.begin(), utf8.end()));
}

// The root folder keeps its separator: without it, it would be no folder.
Text WorkingFolder() {
  std::error_code ec;
  const fs::path current = fs::current_path(ec);
  if (ec) return Text();
  Text folder = FromFsPath(current);
  while (folder.size() > 1 && EndsWithSeparator(folder)) folder.pop_back();
  return folder;
}

// An empty folder text stays empty: it stands for the working folder, and
// names appended to it stay relative instead of landing in the root.
Text WithTrailingSeparator(const Text& folder) {
  if (folder.empty() || EndsWithSeparator(folder)) return folder;
  return folder + kFolderSeparator;
}

bool CanOpenForReading(const Text& path) {
  const fs::path p = ToFsPath(path);
  std::error_code ec;
  if (fs::is_directory(p, ec)) return false;
  std::ifstream in(p, std::ios::binary);
  return in.is_open();
}

bool FileExists(const Text& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(ToFsPath(path), ec);
  return !ec && fs::exists(status) && !fs::is_directory(status);
}

bool FolderExists(const Text& path) {
  std::error_code ec;
  return fs::is_directory(ToFsPath(path), ec);
}

int64_t FileSize(const Text& path) {
  if (!CanOpenForReading(path)) return -1;
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(ToFsPath(path), ec);
  if (ec) return -1;
  return static_cast<int64_t>(size);
}

bool DeleteFileAt(const Text& path) {
  const fs::path p = ToFsPath(path);
  std::error_code ec;
  if (fs::is_directory(p, ec)) return false;
  return fs::remove(p, ec) && !ec;
}

bool CreateFolder(const Text& path) {
  std::error_code ec;
  return fs::create_directory(ToFsPath(path), ec) && !ec;
}

bool ReadFileBytes(const Text& path, std::string& bytes) {
  bytes.clear();
  const fs::path p = ToFsPath(path);
  std::error_code ec;
  if (fs::is_directory(p, ec)) return false;
  std::ifstream in(p, std::ios::binary);
  if (!in.is_open()) return false;
  // Room for the whole file at once when its size is known: growing a large
  // text copies it.
  const auto size = fs::is_regular_file(p, ec) ? fs::file_size(p, ec) : 0;
  if (!ec && size <= (std::uintmax_t(1) << 29)) bytes.reserve(static_cast<size_t>(size));
  char chunk[65536];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) {
    bytes.clear();
    return false;
  }
  return true;
}

bool ReadTextFile(const Text& path, Text& text) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) {
    text.clear();
    return false;
  }
  text = FileBytesToText(bytes);
  return true;
}

std::vector<Text> SplitLines(const Text& text) {
  std::vector<Text> lines;
  Text::size_type begin = 0;
  Text::size_type i = 0;
  while (i < text.size()) {
    const Char c = text[i];
    if (c == Char('\r') || c == Char('\n')) {
      lines.push_back(text.substr(begin, i - begin));
      ++i;
      if (c == Char('\r') && i < text.size() && text[i] == Char('\n')) ++i;
      begin = i;
    } else {
      ++i;
    }
  }
  if (begin < text.size()) lines.push_back(text.substr(begin));
  return lines;
}

bool ReadTextLines(const Text& path, std::vector<Text>& lines) {
  Text text;
  if (!ReadTextFile(path, text)) {
    lines.clear();
    return false;
  }
  lines = SplitLines(text);
  return true;
}

// The new content goes to path + ".new" first; only a completely written and
// closed file replaces the old one.
bool WriteFileAtomically(const Text& path, const std::string& bytes) {
  const fs::path target = ToFsPath(path);
  const fs::path temporary = ToFsPath(path + TXT(".new"));
  std::error_code ec;
  if (fs::is_directory(temporary, ec)) return false;
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    const bool written = out.good();
    out.close();
    if (!written || out.fail()) {
      fs::remove(temporary, ec);
      return false;
    }
  }
  fs::rename(temporary, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

bool OpenOutTextFile(OutTextFile& file, const Text& path) {
  if (file.stream.is_open()) file.stream.close();
  file.stream.clear();
  file.failed = false;
  const fs::path p = ToFsPath(path);
  std::error_code ec;
  if (fs::is_directory(p, ec)) {
    file.failed = true;
    return false;
  }
  file.stream.open(p, std::ios::binary | std::ios::trunc);
  file.failed = !file.stream.is_open();
  return !file.failed;
}

void WriteText(OutTextFile& file, const Text& text) {
  if (file.failed || !file.stream.is_open()) {
    file.failed = true;
    return;
  }
  const std::string bytes = TextToFileBytes(text);
  file.stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file.stream.good()) file.failed = true;
}

void WriteLine(OutTextFile& file, const Text& text) {
  WriteText(file, text);
  WriteText(file, TXT("\r\n"));
}

bool CloseOutTextFile(OutTextFile& file) {
  if (!file.stream.is_open()) {
    file.failed = true;
    return false;
  }
  file.stream.flush();
  if (!file.stream.good()) file.failed = true;
  file.stream.close();
  if (file.stream.fail()) file.failed = true;
  return !file.failed;
}
