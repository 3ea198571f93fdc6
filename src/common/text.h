// Text type of the build and the text helpers every subsystem uses.
//
// The program is built twice from the same sources: the 8-bit text build holds
// text as ISO-8859-1 in std::string, the UTF-16 text build (OVN_UNICODE) holds it
// as UTF-16 in std::u16string. Literals are written with TXT("...") and must be
// plain ASCII, so that they mean the same in both builds.
//
// Rules shared by the helpers: positions count from 1 and 0 means "not found";
// lengths of 0 or less give the empty text; nothing throws.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#ifdef OVN_UNICODE
using Char = char16_t;
#define TXT(s) u##s
#else
using Char = char;
#define TXT(s) s
#endif

using Text = std::basic_string<Char>;
using TextView = std::basic_string_view<Char>;

// Code of a character, 0..255 in the 8-bit build, 0..65535 in the UTF-16 build.
inline unsigned CharCode(Char c) {
#ifdef OVN_UNICODE
  return static_cast<unsigned>(c);
#else
  return static_cast<unsigned char>(c);
#endif
}

// Text from plain ASCII (or, in the 8-bit build, ISO-8859-1) bytes.
Text TextFromAscii(std::string_view ascii);

// Removes blanks (code 32) at both ends; tabs and other white space stay.
Text Trim(const Text& s);

// First occurrence of pattern at or after start (from 1); 0 when not found.
// A start below 1 counts as 1; an empty text or pattern is never found.
int Find(const Text& s, const Text& pattern, int start = 1);

// Field n (from 1) of s split at separator (one or several characters).
// Empty fields count; n below 1 or past the last field gives the empty text.
Text Field(const Text& s, int n, const Text& separator);

// Number of fields of s split at separator (an empty text has one field).
int FieldCount(const Text& s, const Text& separator);

Text Left(const Text& s, int length);
Text Right(const Text& s, int length);
// From position start (from 1; below 1 counts as 1) to the end of the text.
Text Mid(const Text& s, int start);
// From position start, at most length characters.
Text Mid(const Text& s, int start, int length);

// Replaces every non-overlapping occurrence of from, left to right, in one sweep.
Text ReplaceAll(const Text& s, const Text& from, const Text& to);

// Non-overlapping occurrences of pattern; 0 for an empty pattern.
int CountOccurrences(const Text& s, const Text& pattern);

// Integer parse: leading blanks and tabs skipped, optional sign, then "$" and
// hex digits, "%" and binary digits, or decimal digits; stops at the first
// other character; no digits give 0.
int64_t ParseInteger(const Text& s);

// Decimal number parse in single precision: leading blanks skipped, the longest
// prefix forming a number (sign, digits, point, exponent), "+Infinity",
// "-Infinity" and "NaN" recognised; no number gives 0.
float ParseDecimal(const Text& s);

Text FormatInteger(int64_t value);
// Upper-case hexadecimal digits, no leading zeros; negative values are shown as
// their 64-bit two's complement.
Text FormatHex(int64_t value);
// Fixed notation rounded to the given number of decimals.
Text FormatFixed(double value, int decimals);

// Blanks in front up to width characters; a longer text is cut to its first
// width characters.
Text RightAlign(const Text& s, int width);

Text UpperCase(const Text& s);
Text LowerCase(const Text& s);

// Compares by character code after A..Z are mapped to a..z: <0, 0 or >0.
int CompareNoCase(const Text& a, const Text& b);
// Stable sort without regard to case.
void SortNoCase(std::vector<Text>& texts);
