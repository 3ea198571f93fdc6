#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "common/text.h"

namespace {

std::string Show(const Text& t) { return ::testing::PrintToString(t); }

// Text made of the given character codes, for characters beyond ASCII.
Text Chars(std::initializer_list<unsigned> codes) {
  Text out;
  for (unsigned code : codes) out.push_back(static_cast<Char>(code));
  return out;
}

TEST(TextTrim, RemovesOnlyBlanksAtBothEnds) {
  struct Case {
    Text in;
    Text out;
  };
  const Case cases[] = {
      {TXT(""), TXT("")},
      {TXT("   "), TXT("")},
      {TXT("  a b  "), TXT("a b")},
      {TXT("\tx\t"), TXT("\tx\t")},
      {TXT(" \tx\t "), TXT("\tx\t")},
      {TXT("x"), TXT("x")},
      {TXT("\r\nx "), TXT("\r\nx")},
  };
  for (const Case& c : cases) EXPECT_EQ(Trim(c.in), c.out) << "in: [" << Show(c.in) << "]";
}

TEST(TextFind, PositionsFromOneAndTheEdgeCases) {
  struct Case {
    Text s;
    Text pattern;
    int start;
    int expected;
  };
  const Case cases[] = {
      {TXT("abcabc"), TXT("bc"), 1, 2},
      {TXT("abcabc"), TXT("bc"), 2, 2},
      {TXT("abcabc"), TXT("bc"), 3, 5},
      {TXT("abcabc"), TXT("bc"), 6, 0},
      {TXT("abcabc"), TXT("c"), 6, 6},
      {TXT("abcabc"), TXT("bc"), 0, 2},    // a start below 1 counts as 1
      {TXT("abcabc"), TXT("a"), -5, 1},
      {TXT("abcabc"), TXT("a"), 7, 0},     // start past the end
      {TXT("abcabc"), TXT("a"), 1000, 0},
      {TXT("abcabc"), TXT(""), 1, 0},      // empty pattern never found
      {TXT("abcabc"), TXT(""), 3, 0},
      {TXT(""), TXT(""), 1, 0},
      {TXT(""), TXT("a"), 1, 0},
      {TXT("abc"), TXT("abcd"), 1, 0},
      {TXT("abc"), TXT("ABC"), 1, 0},      // case-sensitive
      {TXT("aaa"), TXT("aa"), 2, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Find(c.s, c.pattern, c.start), c.expected)
        << "[" << Show(c.s) << "] [" << Show(c.pattern) << "] from " << c.start;
  }
  EXPECT_EQ(Find(TXT("xyz"), TXT("z")), 3);
}

TEST(TextField, SeparatorsOfOneOrMoreCharactersAndEmptyFields) {
  struct Case {
    Text s;
    int n;
    Text separator;
    Text expected;
  };
  const Case cases[] = {
      {TXT("a;b;c"), 1, TXT(";"), TXT("a")},
      {TXT("a;b;c"), 2, TXT(";"), TXT("b")},
      {TXT("a;b;c"), 3, TXT(";"), TXT("c")},
      {TXT("a;b;c"), 4, TXT(";"), TXT("")},
      {TXT("a;b;c"), 0, TXT(";"), TXT("")},
      {TXT("a;b;c"), -1, TXT(";"), TXT("")},
      {TXT(";;x;"), 1, TXT(";"), TXT("")},
      {TXT(";;x;"), 3, TXT(";"), TXT("x")},
      {TXT(";;x;"), 4, TXT(";"), TXT("")},
      {TXT(";;x;"), 5, TXT(";"), TXT("")},
      {TXT("one, two, three"), 2, TXT(", "), TXT("two")},
      {TXT("one, two,three"), 2, TXT(", "), TXT("two,three")},
      {TXT("a::b:::c"), 3, TXT("::"), TXT(":c")},
      {TXT("abc"), 1, TXT(";"), TXT("abc")},
      {TXT("abc"), 2, TXT(";"), TXT("")},
      {TXT(""), 1, TXT(";"), TXT("")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Field(c.s, c.n, c.separator), c.expected)
        << "[" << Show(c.s) << "] field " << c.n << " at [" << Show(c.separator) << "]";
  }
}

TEST(TextField, FieldCountCountsEmptyFields) {
  EXPECT_EQ(FieldCount(TXT(""), TXT(";")), 1);
  EXPECT_EQ(FieldCount(TXT("abc"), TXT(";")), 1);
  EXPECT_EQ(FieldCount(TXT("a;b;c"), TXT(";")), 3);
  EXPECT_EQ(FieldCount(TXT(";;x;"), TXT(";")), 4);
  EXPECT_EQ(FieldCount(TXT("a, b, c"), TXT(", ")), 3);
  EXPECT_EQ(FieldCount(TXT("aaaa"), TXT("aa")), 3);
}

TEST(TextParts, LeftRightMidClampLengths) {
  const Text s = TXT("abcdef");
  struct Case {
    Text got;
    Text expected;
    const char* what;
  };
  const Case cases[] = {
      {Left(s, 3), TXT("abc"), "Left 3"},
      {Left(s, 0), TXT(""), "Left 0"},
      {Left(s, -2), TXT(""), "Left -2"},
      {Left(s, 99), TXT("abcdef"), "Left 99"},
      {Right(s, 2), TXT("ef"), "Right 2"},
      {Right(s, 0), TXT(""), "Right 0"},
      {Right(s, -1), TXT(""), "Right -1"},
      {Right(s, 99), TXT("abcdef"), "Right 99"},
      {Mid(s, 3), TXT("cdef"), "Mid 3"},
      {Mid(s, 1), TXT("abcdef"), "Mid 1"},
      {Mid(s, 0), TXT("abcdef"), "Mid 0"},
      {Mid(s, 6), TXT("f"), "Mid 6"},
      {Mid(s, 7), TXT(""), "Mid 7"},
      {Mid(s, 2, 3), TXT("bcd"), "Mid 2 3"},
      {Mid(s, 5, 10), TXT("ef"), "Mid 5 10"},
      {Mid(s, 2, 0), TXT(""), "Mid 2 0"},
      {Mid(s, 2, -1), TXT(""), "Mid 2 -1"},
      {Mid(s, 0, 2), TXT("ab"), "Mid 0 2"},
      {Mid(s, 7, 2), TXT(""), "Mid 7 2"},
      {Left(TXT(""), 2), TXT(""), "Left of empty"},
      {Right(TXT(""), 2), TXT(""), "Right of empty"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

TEST(TextReplaceAll, OneSweepLeftToRightWithoutRescanning) {
  struct Case {
    Text s;
    Text from;
    Text to;
    Text expected;
  };
  const Case cases[] = {
      {TXT("aaa"), TXT("aa"), TXT("a"), TXT("aa")},
      {TXT("aaaa"), TXT("aa"), TXT("a"), TXT("aa")},
      {TXT("abab"), TXT("ab"), TXT("abab"), TXT("abababab")},  // inserted text not searched
      {TXT("a.b.c"), TXT("."), TXT(""), TXT("abc")},
      {TXT("a.b.c"), TXT("."), TXT(", "), TXT("a, b, c")},
      {TXT("abc"), TXT(""), TXT("x"), TXT("abc")},               // empty from: unchanged
      {TXT(""), TXT("a"), TXT("x"), TXT("")},
      {TXT("Abc"), TXT("a"), TXT("x"), TXT("Abc")},              // case-sensitive
      {TXT("xyz"), TXT("xyz"), TXT("1"), TXT("1")},
      {TXT("x&amp;y&amp;"), TXT("&amp;"), TXT("&"), TXT("x&y&")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceAll(c.s, c.from, c.to), c.expected)
        << "[" << Show(c.s) << "] [" << Show(c.from) << "] -> [" << Show(c.to)
        << "]";
  }
}

TEST(TextCountOccurrences, NonOverlapping) {
  EXPECT_EQ(CountOccurrences(TXT("aaa"), TXT("aa")), 1);
  EXPECT_EQ(CountOccurrences(TXT("aaaa"), TXT("aa")), 2);
  EXPECT_EQ(CountOccurrences(TXT("a;b;c"), TXT(";")), 2);
  EXPECT_EQ(CountOccurrences(TXT("abc"), TXT("")), 0);
  EXPECT_EQ(CountOccurrences(TXT(""), TXT("a")), 0);
  EXPECT_EQ(CountOccurrences(TXT("abc"), TXT("abcd")), 0);
  EXPECT_EQ(CountOccurrences(TXT("ABab"), TXT("ab")), 1);
}

TEST(TextParseInteger, DecimalHexBinaryAndStops) {
  struct Case {
    Text in;
    int64_t expected;
  };
  const Case cases[] = {
      {TXT("42"), 42},
      {TXT("  \t42abc"), 42},
      {TXT("\t 7"), 7},
      {TXT("+12"), 12},
      {TXT("-12"), -12},
      {TXT("$1F"), 31},
      {TXT("$1f"), 31},
      {TXT("$ff00"), 0xFF00},
      {TXT("-$10"), -16},
      {TXT("+$10"), 16},
      {TXT("%101"), 5},
      {TXT("%1012"), 5},
      {TXT("-%11"), -3},
      {TXT("$"), 0},
      {TXT("%"), 0},
      {TXT("$G1"), 0},
      {TXT("%2"), 0},
      {TXT(""), 0},
      {TXT("   "), 0},
      {TXT("abc"), 0},
      {TXT("-"), 0},
      {TXT("+-5"), 0},
      {TXT("- 5"), 0},
      {TXT("12.9"), 12},
      {TXT("1e5"), 1},
      {TXT("007"), 7},
      {TXT("\n5"), 0},  // only blanks and tabs are skipped
      {TXT("9223372036854775807"), std::numeric_limits<int64_t>::max()},
      {TXT("-9223372036854775808"), std::numeric_limits<int64_t>::min()},
      // Beyond 64 bits the value wraps around modulo 2^64.
      {TXT("9223372036854775808"), std::numeric_limits<int64_t>::min()},
      {TXT("18446744073709551617"), 1},
      {TXT("$FFFFFFFFFFFFFFFF"), -1},
      {TXT("$10000000000000001"), 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseInteger(c.in), c.expected) << "[" << Show(c.in) << "]";
}

TEST(TextParseInteger, StopsAtCharactersBeyondAscii) {
  EXPECT_EQ(ParseInteger(TXT("12") + Chars({0xB2})), 12);  // superscript two
  EXPECT_EQ(ParseInteger(Chars({0xA0}) + TXT("5")), 0);   // no-break space is no blank
}

TEST(TextParseDecimal, LongestNumberPrefix) {
  struct Case {
    Text in;
    float expected;
  };
  const Case cases[] = {
      {TXT("1.5"), 1.5f},
      {TXT("  1.5"), 1.5f},
      {TXT("-2.25xyz"), -2.25f},
      {TXT("+3"), 3.0f},
      {TXT(".5"), 0.5f},
      {TXT("5."), 5.0f},
      {TXT("-.5"), -0.5f},
      {TXT("1e"), 1.0f},
      {TXT("1e+"), 1.0f},
      {TXT("1e5x"), 100000.0f},
      {TXT("1E5"), 100000.0f},
      {TXT("2.5e-1"), 0.25f},
      {TXT("1.5.3"), 1.5f},
      {TXT("-."), 0.0f},
      {TXT("."), 0.0f},
      {TXT("-"), 0.0f},
      {TXT(""), 0.0f},
      {TXT("abc"), 0.0f},
      {TXT("e5"), 0.0f},
      {TXT("1,5"), 1.0f},  // the point is the only decimal point
      {TXT("19.2E"), 19.2f},
      {TXT("12345678901234567890"), 12345678901234567890.0f},
      {TXT("0.000000000000000000000000000000000000000000000000001"), 0.0f},
      {TXT("1e-50"), 0.0f},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseDecimal(c.in), c.expected) << "[" << Show(c.in) << "]";
  }
}

TEST(TextParseDecimal, InfinityNaNAndRange) {
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(ParseDecimal(TXT("+Infinity")), inf);
  EXPECT_EQ(ParseDecimal(TXT("-Infinity")), -inf);
  EXPECT_EQ(ParseDecimal(TXT(" -Infinity")), -inf);
  EXPECT_EQ(ParseDecimal(TXT("Infinity")), inf);  // no sign: positive
  EXPECT_TRUE(std::isnan(ParseDecimal(TXT("NaN"))));
  EXPECT_TRUE(std::isnan(ParseDecimal(TXT("  NaN!"))));
  EXPECT_EQ(ParseDecimal(TXT("nan")), 0.0f);
  EXPECT_EQ(ParseDecimal(TXT("-NaN")), 0.0f);
  EXPECT_EQ(ParseDecimal(TXT("Inf")), 0.0f);
  EXPECT_EQ(ParseDecimal(TXT("1e39")), inf);
  EXPECT_EQ(ParseDecimal(TXT("-1e99999999999")), -inf);
  EXPECT_EQ(ParseDecimal(TXT("1e-99999999999")), 0.0f);
  EXPECT_EQ(ParseDecimal(TXT("3.4e38")), 3.4e38f);
  EXPECT_GT(ParseDecimal(TXT("1e-40")), 0.0f);  // subnormal, not flushed
  EXPECT_TRUE(std::signbit(ParseDecimal(TXT("-0"))));
}

TEST(TextFormatInteger, DecimalAndHex) {
  EXPECT_EQ(FormatInteger(0), TXT("0"));
  EXPECT_EQ(FormatInteger(42), TXT("42"));
  EXPECT_EQ(FormatInteger(-7), TXT("-7"));
  EXPECT_EQ(FormatInteger(std::numeric_limits<int64_t>::min()), TXT("-9223372036854775808"));
  EXPECT_EQ(FormatInteger(std::numeric_limits<int64_t>::max()), TXT("9223372036854775807"));
  EXPECT_EQ(FormatHex(0), TXT("0"));
  EXPECT_EQ(FormatHex(31), TXT("1F"));
  EXPECT_EQ(FormatHex(0xABCDEF), TXT("ABCDEF"));
  EXPECT_EQ(FormatHex(0x0100), TXT("100"));
  EXPECT_EQ(FormatHex(-1), TXT("FFFFFFFFFFFFFFFF"));
  EXPECT_EQ(FormatHex(-16), TXT("FFFFFFFFFFFFFFF0"));
  EXPECT_EQ(FormatHex(std::numeric_limits<int64_t>::min()), TXT("8000000000000000"));
  for (int64_t v : {int64_t{0}, int64_t{1}, int64_t{0x7FFF}, int64_t{-2}, int64_t{1} << 40}) {
    EXPECT_EQ(ParseInteger(TXT("$") + FormatHex(v)), v);
    EXPECT_EQ(ParseInteger(FormatInteger(v)), v);
  }
}

TEST(TextFormatFixed, RoundsHalfAwayFromZero) {
  struct Case {
    double value;
    int decimals;
    Text expected;
  };
  const Case cases[] = {
      {19.25, 1, TXT("19.3")},   // exact tie: away from zero
      {-19.25, 1, TXT("-19.3")},
      {19.24, 1, TXT("19.2")},
      {2.675, 2, TXT("2.67")},   // the double lies just below 2.675
      {0.5, 0, TXT("1")},
      {1.5, 0, TXT("2")},
      {2.5, 0, TXT("3")},
      {-2.5, 0, TXT("-3")},
      {0.4, 0, TXT("0")},
      {3.14159, 2, TXT("3.14")},
      {3.14159, -1, TXT("3")},
      {9.999, 2, TXT("10.00")},
      {99.96, 1, TXT("100.0")},
      {0.0, 3, TXT("0.000")},
      {-0.0, 1, TXT("0.0")},      // negative zero has no sign
      {-0.04, 1, TXT("0.0")},     // nor has a value rounded to zero
      {-0.05, 1, TXT("-0.1")},
      {1e-300, 2, TXT("0.00")},
      {12345678.0, 0, TXT("12345678")},
      {1.0, 5, TXT("1.00000")},
      {10.7, 3, TXT("10.700")},
      {static_cast<double>(19.2f), 1, TXT("19.2")},
      {static_cast<double>(11.5f), 0, TXT("12")},
      {1e20, 1, TXT("100000000000000000000.0")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected) << c.value << " with " << c.decimals;
  }
}

TEST(TextFormatFixed, SpecialValuesAndManyDecimals) {
  EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), 2), TXT("+Infinity"));
  EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::infinity(), 2), TXT("-Infinity"));
  EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 2), TXT("NaN"));
  const Text big = FormatFixed(std::numeric_limits<double>::max(), 1);
  EXPECT_EQ(big.size(), 311u);
  EXPECT_EQ(Right(big, 2), TXT(".0"));
  const Text tiny = FormatFixed(std::numeric_limits<double>::denorm_min(), 2000);
  EXPECT_EQ(tiny.size(), 2002u);
  EXPECT_EQ(Left(tiny, 2), TXT("0."));
  EXPECT_EQ(Mid(tiny, 3 + 323, 2), TXT("49"));  // 4.94e-324
  EXPECT_EQ(FormatFixed(0.125, 1100).size(), 1102u);
}

TEST(TextRightAlign, PadsInFrontOrCuts) {
  EXPECT_EQ(RightAlign(TXT("42"), 5), TXT("   42"));
  EXPECT_EQ(RightAlign(TXT("12345"), 5), TXT("12345"));
  EXPECT_EQ(RightAlign(TXT("1234567"), 5), TXT("12345"));
  EXPECT_EQ(RightAlign(TXT(""), 3), TXT("   "));
  EXPECT_EQ(RightAlign(TXT("abc"), 0), TXT(""));
  EXPECT_EQ(RightAlign(TXT("abc"), -3), TXT(""));
}

TEST(TextCase, AsciiAndLatin1Letters) {
  EXPECT_EQ(UpperCase(TXT("abc XYZ 09_!")), TXT("ABC XYZ 09_!"));
  EXPECT_EQ(LowerCase(TXT("abc XYZ 09_!")), TXT("abc xyz 09_!"));
  // Every Latin-1 capital from 0xC0 to 0xDE except the multiplication sign.
  for (unsigned upper = 0xC0; upper <= 0xDE; ++upper) {
    if (upper == 0xD7) continue;
    EXPECT_EQ(LowerCase(Chars({upper})), Chars({upper + 0x20})) << upper;
    EXPECT_EQ(UpperCase(Chars({upper + 0x20})), Chars({upper})) << upper;
  }
  const Text unchanged = Chars({0xD7, 0xF7, 0xDF, 0xA9, 0xBF, 0x80});
  EXPECT_EQ(UpperCase(unchanged), unchanged);
  EXPECT_EQ(LowerCase(unchanged), unchanged);
  EXPECT_EQ(UpperCase(TXT("stra") + Chars({0xDF, 0xE9})), TXT("STRA") + Chars({0xDF, 0xC9}));
#ifdef OVN_UNICODE
  EXPECT_EQ(UpperCase(Chars({0xFF})), Chars({0x178}));
  EXPECT_EQ(LowerCase(Chars({0x178})), Chars({0xFF}));
#else
  EXPECT_EQ(UpperCase(Chars({0xFF})), Chars({0xFF}));
#endif
}

#ifdef OVN_UNICODE
TEST(TextCase, BeyondLatin1InTheUtf16Build) {
  struct Case {
    unsigned upper;
    unsigned lower;
  };
  const Case pairs[] = {
      {0x0100, 0x0101}, {0x0139, 0x013A}, {0x0147, 0x0148}, {0x0150, 0x0151},
      {0x0160, 0x0161}, {0x017D, 0x017E}, {0x0391, 0x03B1}, {0x03A9, 0x03C9},
      {0x0386, 0x03AC}, {0x038F, 0x03CE}, {0x03A3, 0x03C3}, {0x0410, 0x0430},
      {0x042F, 0x044F}, {0x0401, 0x0451}, {0x040F, 0x045F}, {0x0462, 0x0463},
      {0x04C1, 0x04C2}, {0x04C0, 0x04CF}, {0x04E8, 0x04E9}, {0x1E9E, 0x00DF},
  };
  for (const Case& p : pairs) {
    EXPECT_EQ(LowerCase(Chars({p.upper})), Chars({p.lower})) << std::hex << p.upper;
    if (p.upper != 0x1E9E) {  // sharp s keeps its lower case
      EXPECT_EQ(UpperCase(Chars({p.lower})), Chars({p.upper})) << std::hex << p.lower;
    }
  }
  // Greek "Athina" and Cyrillic "Moskva" as whole words.
  const Text greek_upper = Chars({0x0391, 0x0398, 0x0397, 0x039D, 0x0391});
  const Text greek_lower = Chars({0x03B1, 0x03B8, 0x03B7, 0x03BD, 0x03B1});
  EXPECT_EQ(LowerCase(greek_upper), greek_lower);
  EXPECT_EQ(UpperCase(greek_lower), greek_upper);
  const Text cyrillic_upper = Chars({0x041C, 0x041E, 0x0421, 0x041A, 0x0412, 0x0410});
  const Text cyrillic_lower = Chars({0x043C, 0x043E, 0x0441, 0x043A, 0x0432, 0x0430});
  EXPECT_EQ(LowerCase(cyrillic_upper), cyrillic_lower);
  EXPECT_EQ(UpperCase(cyrillic_lower), cyrillic_upper);
  // Lower-case variants that share a capital.
  EXPECT_EQ(UpperCase(Chars({0x03C2, 0x0131, 0x017F, 0x00B5})), Chars({0x03A3, 0x49, 0x53, 0x039C}));
  // Characters without a one-to-one mapping stay.
  const Text none = Chars({0x0138, 0x0149, 0x0390, 0x03B0, 0x0482, 0x4E2D, 0xD83D, 0xDE00});
  EXPECT_EQ(UpperCase(none), none);
  EXPECT_EQ(LowerCase(none), none);
}
#endif

TEST(TextCompareNoCase, OnlyAsciiLettersFold) {
  EXPECT_EQ(CompareNoCase(TXT("abc"), TXT("ABC")), 0);
  EXPECT_LT(CompareNoCase(TXT("abc"), TXT("ABD")), 0);
  EXPECT_GT(CompareNoCase(TXT("b"), TXT("A")), 0);
  EXPECT_LT(CompareNoCase(TXT("ab"), TXT("abc")), 0);
  EXPECT_GT(CompareNoCase(TXT("abc"), TXT("AB")), 0);
  EXPECT_EQ(CompareNoCase(TXT(""), TXT("")), 0);
  EXPECT_LT(CompareNoCase(TXT(""), TXT("a")), 0);
  // "_" (95) lies between "Z" (90) and "a" (97): folded, "Z" counts as "z" (122).
  EXPECT_LT(CompareNoCase(TXT("_"), TXT("Z")), 0);
  // Latin-1 capitals are not folded: compared by code.
  EXPECT_NE(CompareNoCase(Chars({0xC9}), Chars({0xE9})), 0);
  EXPECT_LT(CompareNoCase(Chars({0xC9}), Chars({0xE9})), 0);
  EXPECT_LT(CompareNoCase(TXT("z"), Chars({0xC0})), 0);  // codes above 127 sort last
}

TEST(TextSortNoCase, StableAndCaseBlind) {
  std::vector<Text> texts = {TXT("beta"), TXT("Alpha"), TXT("BETA"), TXT("alpha"),
                             TXT("Beta"), TXT("gamma"), TXT("ALPHA"), TXT("")};
  SortNoCase(texts);
  const std::vector<Text> expected = {TXT(""),     TXT("Alpha"), TXT("alpha"), TXT("ALPHA"),
                                      TXT("beta"), TXT("BETA"),  TXT("Beta"),  TXT("gamma")};
  EXPECT_EQ(texts, expected);
}

TEST(TextFromAscii, KeepsEveryByteAsItsCharacter) {
  EXPECT_EQ(TextFromAscii("hello"), TXT("hello"));
  EXPECT_EQ(TextFromAscii(""), TXT(""));
  EXPECT_EQ(TextFromAscii(std::string_view("a\0b", 3)), Text(TXT("a\0b"), 3));
  EXPECT_EQ(TextFromAscii("\xE9"), Chars({0xE9}));
}

}  // namespace
