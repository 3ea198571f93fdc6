// The temporary and reduced files of a page: this program's own plain text,
// read and written in the build's plain-text encoding.
#include <string>

#include "common/encoding.h"
#include "common/files.h"
#include "listing/htmllib.h"
#include "listing/listing_text.h"

bool OpenWorkFile(WorkFileReader& reader, const Text& path) {
  reader.text.clear();
  reader.next = 0;
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  reader.text = FileBytesToText(bytes);
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

void WriteWorkText(WorkFileWriter& writer, TextView text) {
#ifdef OVN_UNICODE
  writer.bytes += Utf16ToUtf8(text);
#else
  writer.bytes += text;
#endif
}

void WriteWorkLine(WorkFileWriter& writer, TextView line) {
  WriteWorkText(writer, listing_text::TrimmedView(line));
  writer.bytes += "\r\n";
}

bool CloseWorkFile(WorkFileWriter& writer) {
  const bool ok = WriteFileAtomically(writer.path, writer.bytes);
  writer.bytes.clear();
  writer.bytes.shrink_to_fit();
  return ok;
}
