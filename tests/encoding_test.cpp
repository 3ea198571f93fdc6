#include <gtest/gtest.h>

#include <string>

#include "common/encoding.h"
#include "common/text.h"

namespace {

std::string Bytes(std::initializer_list<unsigned> codes) {
  std::string out;
  for (unsigned code : codes) out.push_back(static_cast<char>(code));
  return out;
}

std::u16string Units(std::initializer_list<unsigned> codes) {
  std::u16string out;
  for (unsigned code : codes) out.push_back(static_cast<char16_t>(code));
  return out;
}

TEST(EncodingLatin1, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (unsigned c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  const std::string utf8 = Latin1ToUtf8(all);
  EXPECT_EQ(utf8.size(), 128u + 2u * 128u);
  EXPECT_EQ(Utf8ToLatin1(utf8), all);
  EXPECT_EQ(Latin1ToUtf8(Bytes({0xE9})), Bytes({0xC3, 0xA9}));
  EXPECT_EQ(Latin1ToUtf8(Bytes({0xFF})), Bytes({0xC3, 0xBF}));
  EXPECT_EQ(Latin1ToUtf8(""), "");
}

TEST(EncodingLatin1, CharactersOutsideLatin1BecomeQuestionMarks) {
  struct Case {
    std::string utf8;
    std::string latin1;
  };
  const Case cases[] = {
      {Bytes({0xE2, 0x82, 0xAC}), "?"},                       // euro sign
      {Bytes({0xC5, 0x81}), "?"},                             // L with stroke
      {Bytes({0xF0, 0x9F, 0x98, 0x80}), "?"},                 // emoji: one "?", not four
      {"a" + Bytes({0xD0, 0x96}) + "b", "a?b"},               // Cyrillic Zhe
      {Bytes({0xC3, 0xA9, 0xE2, 0x82, 0xAC}), Bytes({0xE9}) + "?"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToLatin1(c.utf8), c.latin1);
}

TEST(EncodingUtf8, InvalidBytesReadAsLatin1Characters) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  };
  const Case cases[] = {
      {Bytes({0xE9}), Units({0xE9})},                                // lone Latin-1 byte
      {Bytes({0xE9, 0x74, 0xE9}), Units({0xE9, 0x74, 0xE9})},        // "ete" in Latin-1
      {Bytes({0x80}), Units({0x80})},                                // stray continuation
      {Bytes({0xC0, 0x80}), Units({0xC0, 0x80})},                    // overlong NUL
      {Bytes({0xE0, 0x80, 0xAF}), Units({0xE0, 0x80, 0xAF})},        // overlong "/"
      {Bytes({0xED, 0xA0, 0x80}), Units({0xED, 0xA0, 0x80})},        // encoded surrogate
      {Bytes({0xF4, 0x90, 0x80, 0x80}), Units({0xF4, 0x90, 0x80, 0x80})},  // beyond U+10FFFF
      {Bytes({0xF5, 0x80}), Units({0xF5, 0x80})},
      {Bytes({0xFF, 0xFE}), Units({0xFF, 0xFE})},
      {Bytes({0xC3}), Units({0xC3})},                                // cut at the end
      {Bytes({0xE2, 0x82}), Units({0xE2, 0x82})},
      {Bytes({0xC3, 0x41}), Units({0xC3, 0x41})},                    // missing continuation
      {Bytes({0xC3, 0xA9, 0xC3}), Units({0xE9, 0xC3})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << ::testing::PrintToString(c.utf8);
    // The Latin-1 reading takes the same bytes as the same characters.
    std::string latin1;
    for (char16_t u : c.utf16) latin1.push_back(static_cast<char>(u));
    EXPECT_EQ(Utf8ToLatin1(c.utf8), latin1) << ::testing::PrintToString(c.utf8);
  }
}

TEST(EncodingUtf16, RoundTripsIncludingSurrogatePairs) {
  struct Case {
    std::u16string utf16;
    std::string utf8;
  };
  const Case cases[] = {
      {u"", ""},
      {u"abc", "abc"},
      {Units({0xE9}), Bytes({0xC3, 0xA9})},
      {Units({0x7FF}), Bytes({0xDF, 0xBF})},
      {Units({0x800}), Bytes({0xE0, 0xA0, 0x80})},
      {Units({0x20AC}), Bytes({0xE2, 0x82, 0xAC})},
      {Units({0xFFFF}), Bytes({0xEF, 0xBF, 0xBF})},
      {Units({0xD83D, 0xDE00}), Bytes({0xF0, 0x9F, 0x98, 0x80})},   // U+1F600
      {Units({0xD800, 0xDC00}), Bytes({0xF0, 0x90, 0x80, 0x80})},   // U+10000
      {Units({0xDBFF, 0xDFFF}), Bytes({0xF4, 0x8F, 0xBF, 0xBF})},   // U+10FFFF
      {Units({0x41, 0xD834, 0xDD1E, 0x42}), Bytes({0x41, 0xF0, 0x9D, 0x84, 0x9E, 0x42})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
  }
}

TEST(EncodingUtf16, LoneSurrogatesBecomeReplacementCharacters) {
  const std::string replacement = Bytes({0xEF, 0xBF, 0xBD});
  EXPECT_EQ(Utf16ToUtf8(Units({0xD800})), replacement);
  EXPECT_EQ(Utf16ToUtf8(Units({0xDC00})), replacement);
  EXPECT_EQ(Utf16ToUtf8(Units({0xD800, 0x41})), replacement + "A");
  EXPECT_EQ(Utf16ToUtf8(Units({0xDC00, 0xD800})), replacement + replacement);
  EXPECT_EQ(Utf16ToUtf8(Units({0x41, 0xDBFF})), "A" + replacement);
}

TEST(EncodingText, BuildTextToUtf8AndFileBytes) {
  const Text e_acute(1, static_cast<Char>(0xE9));
  EXPECT_EQ(TextToUtf8(TXT("plain")), "plain");
  EXPECT_EQ(TextToUtf8(e_acute), Bytes({0xC3, 0xA9}));
  EXPECT_EQ(Utf8ToText(Bytes({0xC3, 0xA9})), e_acute);
  EXPECT_EQ(Utf8ToText(TextToUtf8(TXT("x") + e_acute + TXT("y"))), TXT("x") + e_acute + TXT("y"));
#ifdef OVN_UNICODE
  // Plain text files are UTF-8, and characters beyond Latin-1 survive.
  EXPECT_EQ(TextToFileBytes(e_acute), Bytes({0xC3, 0xA9}));
  EXPECT_EQ(FileBytesToText(Bytes({0xC3, 0xA9})), e_acute);
  const Text euro(1, static_cast<Char>(0x20AC));
  EXPECT_EQ(Utf8ToText(TextToUtf8(euro)), euro);
  // An 8-bit file still reads as its Latin-1 characters.
  EXPECT_EQ(FileBytesToText(Bytes({0x63, 0x61, 0x66, 0xE9})), TXT("caf") + e_acute);
#else
  // Plain text files are written and read byte for byte.
  EXPECT_EQ(TextToFileBytes(e_acute), Bytes({0xE9}));
  EXPECT_EQ(FileBytesToText(Bytes({0xC3, 0xA9})), Text(Bytes({0xC3, 0xA9})));
  EXPECT_EQ(Utf8ToText(Bytes({0xE2, 0x82, 0xAC})), TXT("?"));
#endif
}

}  // namespace
