// Conversions between the build's text and the byte encodings met at the edges
// of the program: UTF-8 (XML files, file-system paths, plain text files of the
// UTF-16 build), ISO-8859-1 (plain text files of the 8-bit build) and UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "common/text.h"

// Whether every byte is below 0x80: ASCII reads the same in every encoding here.
bool IsAsciiBytes(std::string_view bytes);

// UTF-8 of ISO-8859-1 bytes.
std::string Latin1ToUtf8(std::string_view latin1);
// ISO-8859-1 of UTF-8: characters outside ISO-8859-1 become "?". A byte that
// starts no valid UTF-8 sequence is taken as the ISO-8859-1 character it is.
std::string Utf8ToLatin1(std::string_view utf8);
// UTF-8 of UTF-16; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);
// UTF-16 of UTF-8; a byte that starts no valid sequence is taken as the
// ISO-8859-1 character it is, so that 8-bit files still read sensibly.
std::u16string Utf8ToUtf16(std::string_view utf8);

// The build's text to UTF-8 and back.
std::string TextToUtf8(const Text& text);
Text Utf8ToText(std::string_view utf8);

// Bytes of a plain text file: the 8-bit build reads and writes byte for byte,
// the UTF-16 build as UTF-8.
std::string TextToFileBytes(const Text& text);
Text FileBytesToText(std::string_view bytes);
