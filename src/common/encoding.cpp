#include "common/encoding.h"

#include <cstdint>
#include <cstring>

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at pos and advances pos. An invalid sequence
// (bad lead byte, missing continuation, overlong form, surrogate, beyond
// U+10FFFF) yields its first byte as an ISO-8859-1 character.
char32_t NextCodePoint(std::string_view s, size_t& pos) {
  const unsigned char lead = static_cast<unsigned char>(s[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int extra = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1; cp = lead & 0x1F; minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2; cp = lead & 0x0F; minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3; cp = lead & 0x07; minimum = 0x10000;
  } else {
    ++pos;
    return lead;
  }
  if (pos + static_cast<size_t>(extra) >= s.size()) {
    ++pos;
    return lead;
  }
  for (int i = 1; i <= extra; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[pos + i]);
    if ((c & 0xC0) != 0x80) {
      ++pos;
      return lead;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return lead;
  }
  pos += extra + 1;
  return cp;
}

}  // namespace

bool IsAsciiBytes(std::string_view bytes) {
  // Eight bytes at a time: pages and data files run to megabytes.
  uint64_t any = 0;
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes.data() + i, sizeof word);
    any |= word;
  }
  for (; i < bytes.size(); ++i) any |= static_cast<unsigned char>(bytes[i]);
  return (any & 0x8080808080808080ull) == 0;
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size() + latin1.size() / 8);
  for (char c : latin1) AppendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

std::string Utf8ToLatin1(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t cp = NextCodePoint(utf8, pos);
    out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() + utf16.size() / 4);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t cp = NextCodePoint(utf8, pos);
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string TextToUtf8(const Text& text) {
#ifdef OVN_UNICODE
  return Utf16ToUtf8(text);
#else
  return Latin1ToUtf8(text);
#endif
}

Text Utf8ToText(std::string_view utf8) {
#ifdef OVN_UNICODE
  return Utf8ToUtf16(utf8);
#else
  return Utf8ToLatin1(utf8);
#endif
}

std::string TextToFileBytes(const Text& text) {
#ifdef OVN_UNICODE
  return Utf16ToUtf8(text);
#else
  return text;
#endif
}

Text FileBytesToText(std::string_view bytes) {
#ifdef OVN_UNICODE
  return Utf8ToUtf16(bytes);
#else
  return Text(bytes);
#endif
}
