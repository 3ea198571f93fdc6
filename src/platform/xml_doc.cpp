// XML document facility on expat.
//
// Each document owns one bump arena that holds its nodes, attribute arrays and
// all strings, so loading a large file costs few heap allocations and freeing
// a document is freeing a handful of blocks. Element and attribute names are
// interned per document: a data file repeats a dozen names millions of times.
// Every walk over a tree is iterative, so nesting depth never reaches the
// stack.
#include "platform/xml_doc.h"

#include <expat.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/encoding.h"
#include "common/files.h"

namespace xml {

struct Document;

struct Attr {
  const char* name;
  const char* value;
  uint32_t nameLen;
  uint32_t valueLen;
};

struct XmlNode {
  XmlNode* parent = nullptr;
  XmlNode* first = nullptr;
  XmlNode* last = nullptr;
  XmlNode* next = nullptr;
  XmlNode* prev = nullptr;
  Document* doc = nullptr;
  // Element name, or the target of a processing instruction.
  const char* name = nullptr;
  // Content of text, comment, CDATA and processing-instruction nodes.
  const char* text = nullptr;
  Attr* attrs = nullptr;
  uint32_t nameLen = 0;
  uint32_t textLen = 0;
  uint32_t attrCount = 0;
  uint32_t attrCap = 0;
  NodeKind kind = NodeKind::Element;
};

namespace {

// Bump allocator; blocks grow from small (settings files) to large (data files).
struct Arena {
  std::vector<std::unique_ptr<char[]>> blocks;
  char* cursor = nullptr;
  size_t left = 0;
  size_t nextBlock = 4096;
};

constexpr size_t kMaxBlock = size_t(4) << 20;

// Bytes from p to the next multiple of align, a power of two.
size_t PadTo(const char* p, size_t align) { return (0 - reinterpret_cast<uintptr_t>(p)) & (align - 1); }

void* ArenaAllocate(Arena& arena, size_t size, size_t align) {
  size_t pad = PadTo(arena.cursor, align);
  if (arena.cursor == nullptr || pad + size > arena.left) {
    if (size + align > arena.nextBlock / 4) {
      // Large pieces get a block of their own so the current block stays usable.
      arena.blocks.emplace_back(new char[size + align]);
      char* p = arena.blocks.back().get();
      size_t ownPad = PadTo(p, align);
      return p + ownPad;
    }
    size_t blockSize = arena.nextBlock;
    if (arena.nextBlock < kMaxBlock) arena.nextBlock *= 2;
    arena.blocks.emplace_back(new char[blockSize]);
    arena.cursor = arena.blocks.back().get();
    arena.left = blockSize;
    pad = PadTo(arena.cursor, align);
  }
  char* p = arena.cursor + pad;
  arena.cursor += pad + size;
  arena.left -= pad + size;
  return p;
}

const char* ArenaCopy(Arena& arena, const char* s, size_t len) {
  if (len == 0) return "";
  char* p = static_cast<char*>(ArenaAllocate(arena, len, 1));
  std::memcpy(p, s, len);
  return p;
}

// Open-addressing set of the names used in one document.
struct NameEntry {
  uint64_t hash = 0;
  const char* text = nullptr;
  uint32_t len = 0;
};

struct NameTable {
  std::vector<NameEntry> entries = std::vector<NameEntry>(64);
  size_t used = 0;
};

}  // namespace

struct Document {
  XmlNode docNode;
  Arena arena;
  NameTable names;
  XmlNode* freeNodes = nullptr;
  // Set by Relayout: saving writes one node per line with indentation.
  bool laidOut = false;
  size_t sourceSize = 0;  // bytes parsed, a guess at the size when saved
};

namespace {

struct SlotState {
  std::unique_ptr<Document> doc;
  int status = 0;
  std::string errorText;
  int errorLine = 0;
  int errorCharacter = 0;
};

struct XmlState {
  std::array<SlotState, kSlotCount> slots;
};

XmlState g_xml;

SlotState* SlotAt(int slot) {
  if (slot < 0 || slot >= kSlotCount) return nullptr;
  return &g_xml.slots[slot];
}

Document* DocAt(int slot) {
  SlotState* s = SlotAt(slot);
  return s ? s->doc.get() : nullptr;
}

// FNV-1a over a NUL-terminated name; gives the length as well.
uint64_t HashName(const char* s, size_t& len) {
  uint64_t h = 1469598103934665603ull;
  const char* p = s;
  while (*p) {
    h ^= static_cast<unsigned char>(*p++);
    h *= 1099511628211ull;
  }
  len = static_cast<size_t>(p - s);
  return h;
}

uint64_t HashBytes(std::string_view s) {
  uint64_t h = 1469598103934665603ull;
  for (char c : s) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

const NameEntry& InternHashed(Document& doc, uint64_t hash, const char* s, size_t len) {
  NameTable& t = doc.names;
  if ((t.used + 1) * 2 > t.entries.size()) {
    std::vector<NameEntry> bigger(t.entries.size() * 2);
    const size_t mask = bigger.size() - 1;
    for (const NameEntry& e : t.entries) {
      if (!e.text) continue;
      size_t i = e.hash & mask;
      while (bigger[i].text) i = (i + 1) & mask;
      bigger[i] = e;
    }
    t.entries.swap(bigger);
  }
  const size_t mask = t.entries.size() - 1;
  size_t i = hash & mask;
  while (t.entries[i].text) {
    const NameEntry& e = t.entries[i];
    if (e.hash == hash && e.len == len && std::memcmp(e.text, s, len) == 0) return e;
    i = (i + 1) & mask;
  }
  NameEntry& e = t.entries[i];
  e.hash = hash;
  e.len = static_cast<uint32_t>(len);
  // Interned names are never empty, so text != nullptr marks a used entry.
  e.text = ArenaCopy(doc.arena, s, len);
  ++t.used;
  return e;
}

const NameEntry& Intern(Document& doc, std::string_view s) {
  return InternHashed(doc, HashBytes(s), s.data(), s.size());
}

XmlNode* NewNode(Document& doc, NodeKind kind) {
  XmlNode* n;
  if (doc.freeNodes) {
    n = doc.freeNodes;
    doc.freeNodes = n->next;
  } else {
    n = static_cast<XmlNode*>(ArenaAllocate(doc.arena, sizeof(XmlNode), alignof(XmlNode)));
  }
  new (n) XmlNode();
  n->doc = &doc;
  n->kind = kind;
  return n;
}

void LinkLast(XmlNode* parent, XmlNode* child) {
  child->parent = parent;
  child->prev = parent->last;
  child->next = nullptr;
  if (parent->last) {
    parent->last->next = child;
  } else {
    parent->first = child;
  }
  parent->last = child;
}

void Unlink(XmlNode* n) {
  XmlNode* p = n->parent;
  if (n->prev) {
    n->prev->next = n->next;
  } else if (p) {
    p->first = n->next;
  }
  if (n->next) {
    n->next->prev = n->prev;
  } else if (p) {
    p->last = n->prev;
  }
  n->parent = n->prev = n->next = nullptr;
}

// Puts an unlinked subtree on the document's free list, children first.
void ReleaseSubtree(Document& doc, XmlNode* top) {
  XmlNode* n = top;
  while (true) {
    while (n->first) n = n->first;
    XmlNode* following = n->next;
    XmlNode* parent = n->parent;
    const bool done = n == top;
    n->kind = NodeKind::Text;
    n->first = n->last = n->prev = n->parent = nullptr;
    n->next = doc.freeNodes;
    doc.freeNodes = n;
    if (done) break;
    if (following) {
      n = following;
    } else {
      n = parent;
      n->first = nullptr;  // all its children are released
    }
  }
}

bool Counts(const XmlNode* n) { return n->kind != NodeKind::Text; }

std::string_view NameOf(const XmlNode* n) { return {n->name ? n->name : "", n->nameLen}; }
std::string_view TextOf(const XmlNode* n) { return {n->text ? n->text : "", n->textLen}; }
std::string_view AttrName(const Attr& a) { return {a.name, a.nameLen}; }
std::string_view AttrValue(const Attr& a) { return {a.value, a.valueLen}; }

Attr* FindAttr(const XmlNode* n, std::string_view name) {
  for (uint32_t i = 0; i < n->attrCount; ++i) {
    if (AttrName(n->attrs[i]) == name) return &n->attrs[i];
  }
  return nullptr;
}

// ---------------------------------------------------------------- parsing

struct ParseState {
  Document* doc = nullptr;
  XmlNode* current = nullptr;
  std::string pending;  // character data not yet put into a node
  bool inCdata = false;
};

void FlushText(ParseState& ps) {
  if (ps.pending.empty()) return;
  XmlNode* n = NewNode(*ps.doc, NodeKind::Text);
  n->text = ArenaCopy(ps.doc->arena, ps.pending.data(), ps.pending.size());
  n->textLen = static_cast<uint32_t>(ps.pending.size());
  LinkLast(ps.current, n);
  ps.pending.clear();
}

void XMLCALL OnStart(void* user, const XML_Char* name, const XML_Char** atts) {
  ParseState& ps = *static_cast<ParseState*>(user);
  Document& doc = *ps.doc;
  if (!ps.pending.empty()) FlushText(ps);
  XmlNode* n = NewNode(doc, NodeKind::Element);
  size_t len;
  uint64_t h = HashName(name, len);
  const NameEntry& e = InternHashed(doc, h, name, len);
  n->name = e.text;
  n->nameLen = e.len;
  size_t count = 0;
  while (atts[count * 2]) ++count;
  if (count) {
    n->attrs = static_cast<Attr*>(ArenaAllocate(doc.arena, count * sizeof(Attr), alignof(Attr)));
    n->attrCount = n->attrCap = static_cast<uint32_t>(count);
    for (size_t i = 0; i < count; ++i) {
      Attr& a = n->attrs[i];
      h = HashName(atts[i * 2], len);
      const NameEntry& an = InternHashed(doc, h, atts[i * 2], len);
      a.name = an.text;
      a.nameLen = an.len;
      const char* v = atts[i * 2 + 1];
      const size_t vlen = std::strlen(v);
      a.value = ArenaCopy(doc.arena, v, vlen);
      a.valueLen = static_cast<uint32_t>(vlen);
    }
  }
  LinkLast(ps.current, n);
  ps.current = n;
}

void XMLCALL OnEnd(void* user, const XML_Char*) {
  ParseState& ps = *static_cast<ParseState*>(user);
  if (!ps.pending.empty()) FlushText(ps);
  if (ps.current->parent) ps.current = ps.current->parent;
}

void XMLCALL OnCharacters(void* user, const XML_Char* s, int len) {
  ParseState& ps = *static_cast<ParseState*>(user);
  ps.pending.append(s, static_cast<size_t>(len));
}

void XMLCALL OnComment(void* user, const XML_Char* data) {
  ParseState& ps = *static_cast<ParseState*>(user);
  FlushText(ps);
  XmlNode* n = NewNode(*ps.doc, NodeKind::Comment);
  const size_t len = std::strlen(data);
  n->text = ArenaCopy(ps.doc->arena, data, len);
  n->textLen = static_cast<uint32_t>(len);
  LinkLast(ps.current, n);
}

void XMLCALL OnProcessingInstruction(void* user, const XML_Char* target, const XML_Char* data) {
  ParseState& ps = *static_cast<ParseState*>(user);
  FlushText(ps);
  XmlNode* n = NewNode(*ps.doc, NodeKind::ProcessingInstruction);
  const NameEntry& e = Intern(*ps.doc, target);
  n->name = e.text;
  n->nameLen = e.len;
  const size_t len = std::strlen(data);
  n->text = ArenaCopy(ps.doc->arena, data, len);
  n->textLen = static_cast<uint32_t>(len);
  LinkLast(ps.current, n);
}

void XMLCALL OnCdataStart(void* user) {
  ParseState& ps = *static_cast<ParseState*>(user);
  FlushText(ps);
  ps.inCdata = true;
}

void XMLCALL OnCdataEnd(void* user) {
  ParseState& ps = *static_cast<ParseState*>(user);
  XmlNode* n = NewNode(*ps.doc, NodeKind::CData);
  n->text = ArenaCopy(ps.doc->arena, ps.pending.data(), ps.pending.size());
  n->textLen = static_cast<uint32_t>(ps.pending.size());
  LinkLast(ps.current, n);
  ps.pending.clear();
  ps.inCdata = false;
}

bool SameAsciiNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
    if (x == 0) return true;
  }
}

// Windows-1252: the only single-byte encoding beyond expat's own that the
// listing pages and older files were seen in.
int XMLCALL OnUnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
  if (!SameAsciiNoCase(name, "windows-1252") && !SameAsciiNoCase(name, "cp1252")) {
    return XML_STATUS_ERROR;
  }
  static const unsigned short kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  for (int i = 0; i < 256; ++i) info->map[i] = i;
  for (int i = 0; i < 32; ++i) info->map[0x80 + i] = kHigh[i];
  info->data = nullptr;
  info->convert = nullptr;
  info->release = nullptr;
  return XML_STATUS_OK;
}

void SetParseError(SlotState& s, XML_Parser parser) {
  const XML_Error code = XML_GetErrorCode(parser);
  s.status = code == XML_ERROR_NONE ? -1 : static_cast<int>(code);
  const XML_LChar* msg = XML_ErrorString(code);
  s.errorText = msg ? msg : "parse error";
  s.errorLine = static_cast<int>(XML_GetCurrentLineNumber(parser));
  // expat counts the column in characters from 0, for every input encoding.
  s.errorCharacter = static_cast<int>(XML_GetCurrentColumnNumber(parser)) + 1;
}

void ClearSlot(SlotState& s) {
  s.doc.reset();
  s.status = 0;
  s.errorText.clear();
  s.errorLine = 0;
  s.errorCharacter = 0;
}

std::unique_ptr<Document> NewDocument() {
  auto doc = std::make_unique<Document>();
  doc->docNode.kind = NodeKind::Document;
  doc->docNode.doc = doc.get();
  return doc;
}

void ParseInto(int slot, const char* data, size_t size) {
  SlotState* s = SlotAt(slot);
  if (!s) return;
  ClearSlot(*s);
  if (size == 0) return;

  std::unique_ptr<Document> doc = NewDocument();
  doc->sourceSize = size;
  // Names, values and nodes take about as much room as the file itself.
  doc->arena.nextBlock = std::clamp(size / 4, size_t(4096), kMaxBlock);

  XML_Parser parser = XML_ParserCreate(nullptr);
  if (!parser) {
    s->status = -1;
    s->errorText = "out of memory";
    return;
  }
  ParseState ps;
  ps.doc = doc.get();
  ps.current = &doc->docNode;
  ps.pending.reserve(256);
  XML_SetUserData(parser, &ps);
  XML_SetElementHandler(parser, OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser, OnCharacters);
  XML_SetCommentHandler(parser, OnComment);
  XML_SetProcessingInstructionHandler(parser, OnProcessingInstruction);
  XML_SetCdataSectionHandler(parser, OnCdataStart, OnCdataEnd);
  XML_SetUnknownEncodingHandler(parser, OnUnknownEncoding, nullptr);
  // No external entity handler: external entities and DTDs are never fetched.
  XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);

  // expat takes an int length; files beyond that go in large pieces.
  constexpr size_t kChunk = size_t(1) << 30;
  bool ok = true;
  size_t done = 0;
  while (ok) {
    const size_t piece = std::min(kChunk, size - done);
    const bool last = done + piece == size;
    ok = XML_Parse(parser, data + done, static_cast<int>(piece), last ? XML_TRUE : XML_FALSE) ==
         XML_STATUS_OK;
    done += piece;
    if (last) break;
  }
  if (ok) {
    s->doc = std::move(doc);
  } else {
    SetParseError(*s, parser);
  }
  XML_ParserFree(parser);
}

// ---------------------------------------------------------------- saving

// Output forms of the bytes that need escaping; 0 marks bytes copied as they are.
enum : unsigned char { kCopy = 0, kDrop = 1, kAmp, kLt, kGt, kQuot, kApos, kLf, kCr, kTab };

struct EscapeTables {
  unsigned char attr[256] = {};
  unsigned char text[256] = {};
  EscapeTables() {
    // Control characters other than tab, LF and CR cannot stand in XML 1.0.
    for (int c = 0; c < 32; ++c) attr[c] = text[c] = kDrop;
    text['\t'] = text['\n'] = kCopy;
    attr['&'] = text['&'] = kAmp;
    attr['<'] = text['<'] = kLt;
    attr['>'] = text['>'] = kGt;
    attr['"'] = kQuot;
    attr['\''] = kApos;
    attr['\n'] = kLf;
    // A raw CR would be read back as LF; a raw tab in a value as a blank.
    attr['\r'] = text['\r'] = kCr;
    attr['\t'] = kTab;
  }
};

const EscapeTables kEscape;

void AppendEscaped(std::string& out, std::string_view s, const unsigned char* table) {
  size_t run = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char form = table[static_cast<unsigned char>(s[i])];
    if (form == kCopy) continue;
    out.append(s.data() + run, i - run);
    run = i + 1;
    switch (form) {
      case kAmp: out += "&amp;"; break;
      case kLt: out += "&lt;"; break;
      case kGt: out += "&gt;"; break;
      case kQuot: out += "&quot;"; break;
      case kApos: out += "&apos;"; break;
      case kLf: out += "&#10;"; break;
      case kCr: out += "&#13;"; break;
      case kTab: out += "&#9;"; break;
      default: break;
    }
  }
  out.append(s.data() + run, s.size() - run);
}

void AppendStartTag(std::string& out, const XmlNode* n) {
  out += '<';
  out += NameOf(n);
  for (uint32_t i = 0; i < n->attrCount; ++i) {
    out += ' ';
    out += AttrName(n->attrs[i]);
    out += "=\"";
    AppendEscaped(out, AttrValue(n->attrs[i]), kEscape.attr);
    out += '"';
  }
}

void AppendEndTag(std::string& out, const XmlNode* n) {
  out += "</";
  out += NameOf(n);
  out += '>';
}

// Writes a node that is not an element.
void AppendLeaf(std::string& out, const XmlNode* n) {
  const std::string_view t = TextOf(n);
  switch (n->kind) {
    case NodeKind::Text:
      AppendEscaped(out, t, kEscape.text);
      break;
    case NodeKind::Comment:
      out += "<!--";
      out += t;
      out += "-->";
      break;
    case NodeKind::CData: {
      // "]]>" cannot stand inside a section: it is split over two.
      out += "<![CDATA[";
      size_t from = 0;
      size_t at;
      while ((at = t.find("]]>", from)) != std::string_view::npos) {
        out.append(t.data() + from, at + 2 - from);
        out += "]]><![CDATA[";
        from = at + 2;
      }
      out.append(t.data() + from, t.size() - from);
      out += "]]>";
      break;
    }
    case NodeKind::ProcessingInstruction:
      out += "<?";
      out += NameOf(n);
      if (!t.empty()) {
        out += ' ';
        out += t;
      }
      out += "?>";
      break;
    default:
      break;
  }
}

bool HasTextChild(const XmlNode* n) {
  for (const XmlNode* c = n->first; c; c = c->next) {
    if (c->kind == NodeKind::Text) return true;
  }
  return false;
}

constexpr int kMaxIndentLevel = 64;

void Serialize(const Document& doc, std::string& out) {
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
  const bool layout = doc.laidOut;
  // Inside an element that holds text, whitespace is content: no layout there.
  const XmlNode* inlineTop = nullptr;
  int depth = 0;
  const XmlNode* n = doc.docNode.first;
  auto lineStart = [&](int level) {
    // Indentation stops growing at some depth: without that a deeply nested
    // document would grow with the square of its depth.
    if (layout && !inlineTop) out.append(static_cast<size_t>(std::min(level, kMaxIndentLevel)) * 3, ' ');
  };
  auto lineEnd = [&](const XmlNode* node) {
    // Top-level nodes always end their line; in a laid-out tree every node does.
    if (!inlineTop && (layout || node->parent == &doc.docNode)) out += "\r\n";
  };
  while (n) {
    lineStart(depth);
    if (n->kind == NodeKind::Element) {
      AppendStartTag(out, n);
      if (n->first) {
        out += '>';
        if (layout && !inlineTop && HasTextChild(n)) inlineTop = n;
        if (!inlineTop && layout) out += "\r\n";
        n = n->first;
        ++depth;
        continue;
      }
      out += "/>";
    } else {
      AppendLeaf(out, n);
    }
    lineEnd(n);
    // Climb to the next node to write, closing finished elements.
    while (n && !n->next) {
      n = n->parent;
      if (!n || n == &doc.docNode) {
        n = nullptr;
        break;
      }
      --depth;
      lineStart(depth);
      AppendEndTag(out, n);
      if (n == inlineTop) inlineTop = nullptr;
      lineEnd(n);
    }
    if (n) n = n->next;
  }
}

bool IsWhitespace(std::string_view s) {
  for (char c : s) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------- interface

void LoadFile(int slot, const Text& path) {
  SlotState* s = SlotAt(slot);
  if (!s) return;
  ClearSlot(*s);
  const std::filesystem::path fsPath = ToFsPath(path);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(fsPath, ec)) return;
  const uintmax_t expected = std::filesystem::file_size(fsPath, ec);
  if (ec) return;
  std::FILE* f = std::fopen(fsPath.string().c_str(), "rb");
  if (!f) return;
  // One read of the whole file; the size found first is only a hint, a file
  // that grows meanwhile is read on.
  size_t capacity = static_cast<size_t>(expected) + 1;
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[capacity]);
  size_t size = 0;
  while (buffer) {
    size += std::fread(buffer.get() + size, 1, capacity - size, f);
    if (size < capacity) break;
    std::unique_ptr<char[]> bigger(new (std::nothrow) char[capacity * 2]);
    if (bigger) std::memcpy(bigger.get(), buffer.get(), size);
    buffer = std::move(bigger);
    capacity *= 2;
  }
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (!buffer) {
    s->status = -1;
    s->errorText = "file too large to load";
    return;
  }
  if (failed) return;
  ParseInto(slot, buffer.get(), size);
}

void LoadBytes(int slot, const std::string& bytes) { ParseInto(slot, bytes.data(), bytes.size()); }

int ParseStatus(int slot) {
  SlotState* s = SlotAt(slot);
  return s ? s->status : 0;
}

Text ErrorText(int slot) {
  SlotState* s = SlotAt(slot);
  return s ? Utf8ToText(s->errorText) : Text();
}

int ErrorLine(int slot) {
  SlotState* s = SlotAt(slot);
  return s ? s->errorLine : 0;
}

int ErrorCharacter(int slot) {
  SlotState* s = SlotAt(slot);
  return s ? s->errorCharacter : 0;
}

void CreateDocument(int slot) {
  SlotState* s = SlotAt(slot);
  if (!s) return;
  ClearSlot(*s);
  s->doc = NewDocument();
}

bool IsLoaded(int slot) { return DocAt(slot) != nullptr; }

void FreeSlot(int slot) {
  SlotState* s = SlotAt(slot);
  if (s) ClearSlot(*s);
}

XmlNode* DocumentNode(int slot) {
  Document* d = DocAt(slot);
  return d ? &d->docNode : nullptr;
}

XmlNode* RootElement(int slot) {
  Document* d = DocAt(slot);
  if (!d) return nullptr;
  for (XmlNode* c = d->docNode.first; c; c = c->next) {
    if (c->kind == NodeKind::Element) return c;
  }
  return nullptr;
}

// A null node reads as a document node: it has no name, value or text.
NodeKind Kind(const XmlNode* node) { return node ? node->kind : NodeKind::Document; }

XmlNode* ChildByPosition(const XmlNode* node, int n) {
  if (!node) return nullptr;
  if (n < 1) n = 1;
  for (XmlNode* c = node->first; c; c = c->next) {
    if (Counts(c) && --n == 0) return c;
  }
  return nullptr;
}

XmlNode* NextSibling(const XmlNode* node) {
  if (!node) return nullptr;
  for (XmlNode* c = node->next; c; c = c->next) {
    if (Counts(c)) return c;
  }
  return nullptr;
}

XmlNode* Parent(const XmlNode* node) { return node ? node->parent : nullptr; }

int ChildCount(const XmlNode* node) {
  if (!node) return 0;
  int count = 0;
  for (const XmlNode* c = node->first; c; c = c->next) {
    if (Counts(c)) ++count;
  }
  return count;
}

Text Name(const XmlNode* node) {
  if (!node || node->kind != NodeKind::Element) return Text();
  return Utf8ToText(NameOf(node));
}

bool NameIs(const XmlNode* node, const char* asciiName) {
  if (!node || !asciiName || node->kind != NodeKind::Element) return false;
  return NameOf(node) == std::string_view(asciiName);
}

Text GetAttribute(const XmlNode* node, const Text& name) {
  if (!node || node->attrCount == 0) return Text();
  const Attr* a = FindAttr(node, TextToUtf8(name));
  return a ? Utf8ToText(AttrValue(*a)) : Text();
}

namespace {

// The value of a (found or new) attribute becomes the UTF-8 bytes given.
void StoreValue(Document& doc, Attr& a, std::string_view value8) {
  if (value8.size() <= a.valueLen && a.valueLen > 0) {
    // Values are never shared, so a shorter one can overwrite in place.
    std::memcpy(const_cast<char*>(a.value), value8.data(), value8.size());
  } else {
    a.value = ArenaCopy(doc.arena, value8.data(), value8.size());
  }
  a.valueLen = static_cast<uint32_t>(value8.size());
}

// A new attribute at the end of the element's attributes, its value empty.
Attr& AppendAttr(XmlNode* node, const char* internedName, uint32_t nameLen) {
  Document& doc = *node->doc;
  if (node->attrCount == node->attrCap) {
    const uint32_t cap = node->attrCap ? node->attrCap * 2 : 4;
    Attr* grown = static_cast<Attr*>(ArenaAllocate(doc.arena, cap * sizeof(Attr), alignof(Attr)));
    if (node->attrCount) std::memcpy(grown, node->attrs, node->attrCount * sizeof(Attr));
    node->attrs = grown;
    node->attrCap = cap;
  }
  Attr& added = node->attrs[node->attrCount++];
  added.name = internedName;
  added.nameLen = nameLen;
  added.value = "";
  added.valueLen = 0;
  return added;
}

}  // namespace

void SetAttribute(XmlNode* node, const Text& name, const Text& value) {
  if (!node || node->kind != NodeKind::Element || name.empty()) return;
  Document& doc = *node->doc;
  const std::string name8 = TextToUtf8(name);
  const std::string value8 = TextToUtf8(value);
  Attr* a = FindAttr(node, name8);
  if (!a) {
    const NameEntry& e = Intern(doc, name8);
    a = &AppendAttr(node, e.text, e.len);
  }
  StoreValue(doc, *a, value8);
}

void RemoveAttribute(XmlNode* node, const Text& name) {
  if (!node || node->attrCount == 0) return;
  Attr* a = FindAttr(node, TextToUtf8(name));
  if (!a) return;
  Attr* end = node->attrs + node->attrCount;
  std::memmove(a, a + 1, static_cast<size_t>(end - (a + 1)) * sizeof(Attr));
  --node->attrCount;
}

int AttributeCount(const XmlNode* node) { return node ? static_cast<int>(node->attrCount) : 0; }

Text AttributeName(const XmlNode* node, int index) {
  if (!node || index < 0 || index >= static_cast<int>(node->attrCount)) return Text();
  return Utf8ToText(AttrName(node->attrs[index]));
}

NameKey InternName(const XmlNode* node, const char* asciiName) {
  NameKey key;
  if (!node || !node->doc || !asciiName || !*asciiName) return key;
  const NameEntry& e = Intern(*node->doc, asciiName);
  key.document = node->doc;
  key.name = e.text;
  key.length = e.len;
  return key;
}

namespace {

// Interned names make a pointer compare enough inside the key's own document.
bool SameName(const XmlNode* node, const char* name, uint32_t length, const NameKey& key) {
  if (node->doc == key.document) return name == key.name;
  return length == key.length && length > 0 && std::memcmp(name, key.name, length) == 0;
}

const Attr* FindAttr(const XmlNode* node, const NameKey& key) {
  if (!node || !key.name) return nullptr;
  for (uint32_t i = 0; i < node->attrCount; ++i) {
    const Attr& a = node->attrs[i];
    if (SameName(node, a.name, a.nameLen, key)) return &a;
  }
  return nullptr;
}

// Both are ASCII-compatible; a character of text beyond ASCII never equals a byte.
bool SameAt(std::string_view bytes, size_t at, const Text& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (CharCode(text[i]) != static_cast<unsigned char>(bytes[at + i])) return false;
  }
  return true;
}

}  // namespace

bool NameIs(const XmlNode* node, const NameKey& key) {
  if (!node || node->kind != NodeKind::Element || !key.name) return false;
  return SameName(node, node->name, node->nameLen, key);
}

std::string_view AttributeBytes(const XmlNode* node, const NameKey& key) {
  const Attr* a = FindAttr(node, key);
  return a ? AttrValue(*a) : std::string_view();
}

Text GetAttribute(const XmlNode* node, const NameKey& key) {
  const std::string_view bytes = AttributeBytes(node, key);
  if (IsAsciiBytes(bytes)) return Text(bytes.begin(), bytes.end());
  return Utf8ToText(bytes);
}

void SetAttribute(XmlNode* node, const NameKey& key, TextView value) {
  if (!node || node->kind != NodeKind::Element || !key.name) return;
  Document& doc = *node->doc;
  Attr* a = const_cast<Attr*>(FindAttr(node, key));
  if (!a) {
    if (node->doc == key.document) {
      a = &AppendAttr(node, key.name, key.length);
    } else {
      const NameEntry& e = Intern(doc, std::string_view(key.name, key.length));
      a = &AppendAttr(node, e.text, e.len);
    }
  }
  if (value.empty()) {
    a->valueLen = 0;
    return;
  }
  // ASCII is its own UTF-8 in both builds: copied straight to its place (a
  // shorter value overwrites the old one, values are never shared), and
  // taken back when a character beyond ASCII turns up.
  const bool inPlace = value.size() <= a->valueLen;
  char* p = inPlace ? const_cast<char*>(a->value) : static_cast<char*>(ArenaAllocate(doc.arena, value.size(), 1));
  unsigned any = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    const unsigned c = CharCode(value[i]);
    any |= c;
    p[i] = static_cast<char>(c);
  }
  if (any < 0x80) {
    a->value = p;
    a->valueLen = static_cast<uint32_t>(value.size());
    return;
  }
  StoreValue(doc, *a, TextToUtf8(Text(value)));
}

bool HeldValueEquals(std::string_view held, const Text& value) {
  // ASCII reads as itself in both builds; anything else takes the full conversion.
  if (!IsAsciiBytes(held)) return Utf8ToText(held) == value;
  return held.size() == value.size() && SameAt(held, 0, value);
}

bool HeldValueContains(std::string_view held, const Text& pattern) {
  if (pattern.empty()) return false;
  if (!IsAsciiBytes(held)) return Utf8ToText(held).find(pattern) != Text::npos;
  if (pattern.size() > held.size()) return false;
  for (size_t at = 0; at + pattern.size() <= held.size(); ++at) {
    if (SameAt(held, at, pattern)) return true;
  }
  return false;
}

bool AttributeEquals(const XmlNode* node, const NameKey& key, const Text& value) {
  return HeldValueEquals(AttributeBytes(node, key), value);
}

bool AttributeContains(const XmlNode* node, const NameKey& key, const Text& pattern) {
  return HeldValueContains(AttributeBytes(node, key), pattern);
}

Text NodeText(const XmlNode* node) {
  if (!node || node->kind == NodeKind::Element || node->kind == NodeKind::Document) return Text();
  return Utf8ToText(TextOf(node));
}

namespace {

// Whether parent may take one more element: a document holds one root.
bool TakesElement(const XmlNode* parent) {
  if (parent->kind == NodeKind::Document) {
    for (XmlNode* c = parent->first; c; c = c->next) {
      if (c->kind == NodeKind::Element) return false;
    }
    return true;
  }
  return parent->kind == NodeKind::Element;
}

XmlNode* AppendNamedElement(XmlNode* parent, const char* internedName, uint32_t nameLen) {
  XmlNode* n = NewNode(*parent->doc, NodeKind::Element);
  n->name = internedName;
  n->nameLen = nameLen;
  LinkLast(parent, n);
  return n;
}

}  // namespace

XmlNode* AppendElement(XmlNode* parent, const Text& name) {
  if (!parent || name.empty() || !TakesElement(parent)) return nullptr;
  const NameEntry& e = Intern(*parent->doc, TextToUtf8(name));
  return AppendNamedElement(parent, e.text, e.len);
}

XmlNode* AppendElement(XmlNode* parent, const NameKey& key) {
  if (!parent || !key.name || !TakesElement(parent)) return nullptr;
  if (parent->doc == key.document) return AppendNamedElement(parent, key.name, key.length);
  const NameEntry& e = Intern(*parent->doc, std::string_view(key.name, key.length));
  return AppendNamedElement(parent, e.text, e.len);
}

void DeleteNode(XmlNode* node) {
  if (!node || node->kind == NodeKind::Document) return;
  Unlink(node);
  ReleaseSubtree(*node->doc, node);
}

void Relayout(int slot) {
  Document* d = DocAt(slot);
  if (!d) return;
  // Drop whitespace-only text everywhere; the saver then adds its own.
  XmlNode* top = &d->docNode;
  XmlNode* n = top->first;
  while (n) {
    if (n->kind == NodeKind::Text && IsWhitespace(TextOf(n))) {
      XmlNode* following = n->next;
      XmlNode* parent = n->parent;
      Unlink(n);
      ReleaseSubtree(*d, n);
      if (following) {
        n = following;
        continue;
      }
      n = parent;
    } else if (n->first) {
      n = n->first;
      continue;
    }
    while (n != top && !n->next) n = n->parent;
    n = n == top ? nullptr : n->next;
  }
  d->laidOut = true;
}

std::string SaveToBytes(int slot) {
  Document* d = DocAt(slot);
  std::string out;
  if (!d) return out;
  out.reserve(d->sourceSize + d->sourceSize / 8 + 4096);
  Serialize(*d, out);
  return out;
}

bool SaveFile(int slot, const Text& path) {
  if (!IsLoaded(slot)) return false;
  return WriteFileAtomically(path, SaveToBytes(slot));
}

}  // namespace xml
