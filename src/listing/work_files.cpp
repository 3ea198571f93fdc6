// The temporary and reduced files of a page: this program's own plain text,
// read and written in the build's plain-text encoding.
#include <string>

#include "common/encoding.h"
#include "common/files.h"
#include "listing/htmllib.h"
#include "listing/listing_text.h"

bool OpenWorkFile(WorkFileReader& reader, const Text& path) {
  reader = WorkFileReader{};
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return false;
#ifdef OVN_UNICODE
  reader.text = FileBytesToText(bytes);
#else
  reader.text = std::move(bytes);
#endif
  return true;
}

bool AtEndOfWorkFile(const WorkFileReader& reader) { return reader.next >= reader.text.size(); }

TextView ReadWorkLine(WorkFileReader& reader) {
  const Text& t = reader.text;
  if (reader.next >= t.size()) return TextView();
  const size_t begin = reader.next;
  const size_t end = listing_text::FindLineEnd(t, begin);
  reader.next = end;
  if (reader.next < t.size()) {
    const Char c = t[reader.next++];
    if (c == Char('\r') && reader.next < t.size() && t[reader.next] == Char('\n')) ++reader.next;
  }
  return TextView(t.data() + begin, end - begin);
}

void CreateWorkFile(WorkFileWriter& writer, const Text& path) {
  writer.path = path;
  writer.bytes.clear();
}

#ifdef OVN_UNICODE
namespace {

// UTF-8 of the text appended to out, as Utf16ToUtf8 makes it (a lone
// surrogate becomes U+FFFD), without a text of its own per call.
void AppendUtf8(std::string& out, std::u16string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    size_t run = i;
    while (run < n && text[run] < 0x80) ++run;
    if (run > i) {
      const size_t at = out.size();
      out.resize(at + run - i);
      for (size_t k = i; k < run; ++k) out[at + k - i] = static_cast<char>(text[k]);
      i = run;
      if (i == n) break;
    }
    size_t end = i;
    while (end < n && text[end] >= 0x80) ++end;
    out += Utf16ToUtf8(text.substr(i, end - i));
    i = end;
  }
}

}  // namespace
#endif

void WriteWorkText(WorkFileWriter& writer, TextView text) {
#ifdef OVN_UNICODE
  AppendUtf8(writer.bytes, text);
#else
  writer.bytes += text;
#endif
}

void WriteWorkLine(WorkFileWriter& writer, TextView line) {
  WriteWorkText(writer, listing_text::TrimmedView(line));
  writer.bytes.push_back('\r');
  writer.bytes.push_back('\n');
}

bool CloseWorkFile(WorkFileWriter& writer) {
  const bool ok = WriteFileAtomically(writer.path, writer.bytes);
  writer.bytes.clear();
  writer.bytes.shrink_to_fit();
  return ok;
}

bool CloseWorkFileKeepingText(WorkFileWriter& writer, WorkFileReader& reader) {
  reader = WorkFileReader{};
  const bool ok = WriteFileAtomically(writer.path, writer.bytes);
  if (ok) {
#ifdef OVN_UNICODE
    reader.text = FileBytesToText(writer.bytes);
#else
    reader.text = std::move(writer.bytes);
#endif
  }
  writer.bytes = std::string();
  return ok;
}
