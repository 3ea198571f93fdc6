// XML document facility: in-memory element trees held in numbered slots.
//
// Files are parsed with expat (encoding from the declaration, UTF-8 when none)
// and saved as UTF-8 with the declaration <?xml version="1.0" encoding="UTF-8"?>
// and no byte-order mark. Names and values pass as the build's text; the trees
// hold UTF-8 inside, so a value the program does not touch is saved exactly as
// it was read, even in the 8-bit build where it reads as "?" outside ISO-8859-1.
//
// Nodes are addressed by XmlNode pointers that stay valid until their node is
// deleted or their slot is freed or loaded again. Functions taking a node accept
// nullptr and then do nothing or return the empty result.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/text.h"

namespace xml {

// Slots are numbered 0 .. kSlotCount - 1; the program names its own slots.
constexpr int kSlotCount = 16;

enum class NodeKind { Document, Element, Text, Comment, CData, ProcessingInstruction };

struct XmlNode;  // owned by its document

// Parses the file into the slot, replacing what it held. A file that cannot be
// opened or is empty leaves the slot empty and sets no parse error. The whole
// file is read in one go and parsed in one pass.
void LoadFile(int slot, const Text& path);
// Parses a document held in memory (UTF-8 or as its declaration says).
void LoadBytes(int slot, const std::string& bytes);

// 0 when the last load had no parse error.
int ParseStatus(int slot);
Text ErrorText(int slot);
// Line and character of the error, counted from 1 (characters, not bytes).
int ErrorLine(int slot);
int ErrorCharacter(int slot);

// A UTF-8 document without root element.
void CreateDocument(int slot);
bool IsLoaded(int slot);
// Frees the slot; freeing an empty slot does nothing.
void FreeSlot(int slot);

// The node above the root element; nullptr for an empty slot.
XmlNode* DocumentNode(int slot);
// The first element of the document; nullptr for an empty slot or no root.
XmlNode* RootElement(int slot);

NodeKind Kind(const XmlNode* node);
// Child number n (from 1), counting elements, comments, CDATA sections and
// processing instructions but not text; n below 1 gives the first such child;
// nullptr past the last.
XmlNode* ChildByPosition(const XmlNode* node, int n);
// The following sibling of the same kinds as ChildByPosition counts, or nullptr.
XmlNode* NextSibling(const XmlNode* node);
XmlNode* Parent(const XmlNode* node);
// Number of children that ChildByPosition counts.
int ChildCount(const XmlNode* node);

// Element name (empty for nodes other than elements).
Text Name(const XmlNode* node);
bool NameIs(const XmlNode* node, const char* asciiName);
// The value, or the empty text when the attribute is absent.
Text GetAttribute(const XmlNode* node, const Text& name);
// Creates the attribute at the end of the element's attributes or replaces its value.
void SetAttribute(XmlNode* node, const Text& name, const Text& value);
void RemoveAttribute(XmlNode* node, const Text& name);
int AttributeCount(const XmlNode* node);
Text AttributeName(const XmlNode* node, int index);  // index from 0

// Reads by interned name, for walks that visit every element of a large
// document: a key is made once per document and name, and then finding an
// element or attribute name compares one pointer, and comparing or searching a
// value builds no text. Results equal those of Name, GetAttribute and Find.
struct NameKey {
  const void* document = nullptr;  // the document whose name table holds name
  const char* name = nullptr;      // UTF-8, not terminated
  uint32_t length = 0;
};
// The key of a name in the document of node (any node of it); the name joins
// the document's name table. A key stays valid while the document is loaded;
// used on a node of another document it still works, comparing the bytes.
NameKey InternName(const XmlNode* node, const char* asciiName);
bool NameIs(const XmlNode* node, const NameKey& key);
// The value as held (UTF-8), without copy; empty when the attribute is absent.
// Valid until the attribute or its document changes.
std::string_view AttributeBytes(const XmlNode* node, const NameKey& key);
Text GetAttribute(const XmlNode* node, const NameKey& key);
// SetAttribute(node, name, value) by key, taking the value as a view.
void SetAttribute(XmlNode* node, const NameKey& key, TextView value);
// GetAttribute(node, key) == value.
bool AttributeEquals(const XmlNode* node, const NameKey& key, const Text& value);
// pattern occurs in GetAttribute(node, key); an empty pattern never does.
bool AttributeContains(const XmlNode* node, const NameKey& key, const Text& pattern);
// The same two on a value as AttributeBytes gives it.
bool HeldValueEquals(std::string_view held, const Text& value);
bool HeldValueContains(std::string_view held, const Text& pattern);

// Text content of a text, comment, CDATA or processing-instruction node.
Text NodeText(const XmlNode* node);

// A new element with the name as the last child of parent.
XmlNode* AppendElement(XmlNode* parent, const Text& name);
XmlNode* AppendElement(XmlNode* parent, const NameKey& key);
// Removes the node with everything below it.
void DeleteNode(XmlNode* node);

// One element per line, three blanks of indentation per level, CR LF line ends.
void Relayout(int slot);
// Writes the declaration and the tree; attribute values escape &, <, >, ",
// ', LF and CR as &amp; &lt; &gt; &quot; &apos; &#10; &#13;. The file is
// written beside path and renamed over it, so a failed save leaves the old
// file whole. False when the slot is empty or the file could not be written.
bool SaveFile(int slot, const Text& path);
// The bytes SaveFile would write.
std::string SaveToBytes(int slot);

}  // namespace xml
