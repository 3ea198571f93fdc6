#include "common/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

using Index = Text::size_type;

Text AsciiText(const char* first, const char* last) {
  Text out;
  out.reserve(static_cast<Index>(last - first));
  for (const char* p = first; p != last; ++p) out.push_back(static_cast<Char>(*p));
  return out;
}

// Characters at and after index as plain ASCII bytes, for the number parsers;
// anything outside ASCII becomes a byte that no parser accepts.
char AsciiAt(const Text& s, Index i) {
  if (i >= s.size()) return '\0';
  const unsigned code = CharCode(s[i]);
  return code < 0x80 ? static_cast<char>(code) : '\x7F';
}

bool StartsWithAscii(const Text& s, Index at, std::string_view word) {
  if (s.size() - std::min(at, s.size()) < word.size()) return false;
  for (Index k = 0; k < word.size(); ++k) {
    if (CharCode(s[at + k]) != static_cast<unsigned char>(word[k])) return false;
  }
  return true;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

#ifdef OVN_UNICODE

// Simple (one to one) case mapping of Latin-1, Latin Extended-A, Greek and
// Coptic, Cyrillic, Cyrillic Supplement and Latin Extended Additional, built in
// so that the result does not depend on the locale or the C library.

// Pairs laid out as upper case at even codes and lower case at odd codes (or
// the reverse when upper_odd), throughout first..last.
struct PairRange {
  char16_t first;
  char16_t last;
  bool upper_odd;
};

constexpr PairRange kPairRanges[] = {
    {0x0100, 0x012F, false}, {0x0132, 0x0137, false}, {0x0139, 0x0148, true},
    {0x014A, 0x0177, false}, {0x0179, 0x017E, true},  {0x0370, 0x0373, false},
    {0x0376, 0x0377, false}, {0x03D8, 0x03EF, false}, {0x03F7, 0x03F8, true},
    {0x03FA, 0x03FB, false}, {0x0460, 0x0481, false}, {0x048A, 0x04BF, false},
    {0x04C1, 0x04CE, true},  {0x04D0, 0x052F, false}, {0x1E00, 0x1E95, false},
    {0x1EA0, 0x1EFF, false},
};

// Blocks where lower = upper + offset, upper case in first..last.
struct OffsetRange {
  char16_t first;
  char16_t last;
  int offset;
};

constexpr OffsetRange kOffsetRanges[] = {
    {0x0041, 0x005A, 0x20}, {0x00C0, 0x00D6, 0x20}, {0x00D8, 0x00DE, 0x20},
    {0x0388, 0x038A, 0x25}, {0x038E, 0x038F, 0x3F}, {0x0391, 0x03A1, 0x20},
    {0x03A3, 0x03AB, 0x20}, {0x03FD, 0x03FF, -130}, {0x0400, 0x040F, 0x50},
    {0x0410, 0x042F, 0x20},
};

// Single pairs {upper, lower} that fit none of the regular blocks.
struct SinglePair {
  char16_t upper;
  char16_t lower;
};

constexpr SinglePair kSinglePairs[] = {
    {0x0178, 0x00FF}, {0x037F, 0x03F3}, {0x0386, 0x03AC}, {0x038C, 0x03CC},
    {0x03CF, 0x03D7}, {0x03F9, 0x03F2}, {0x04C0, 0x04CF},
};

// Mappings that go one way only: lower-case variants with a shared capital,
// and capitals whose lower case is an ordinary letter.
constexpr SinglePair kUpperOnly[] = {
    {0x0049, 0x0131},  // dotless i
    {0x0053, 0x017F},  // long s
    {0x039C, 0x00B5},  // micro sign
    {0x03A3, 0x03C2},  // final sigma
    {0x0392, 0x03D0}, {0x0398, 0x03D1}, {0x03A6, 0x03D5}, {0x03A0, 0x03D6},
    {0x039A, 0x03F0}, {0x03A1, 0x03F1}, {0x0395, 0x03F5},
    {0x1E60, 0x1E9B},  // long s with dot above
};
constexpr SinglePair kLowerOnly[] = {
    {0x0130, 0x0069},  // capital I with dot above
    {0x03F4, 0x03B8},  // capital theta symbol
    {0x1E9E, 0x00DF},  // capital sharp s
};

char16_t ToUpperChar(char16_t c) {
  if (c >= 0x61 && c <= 0x7A) return static_cast<char16_t>(c - 0x20);
  if (c < 0xB5) return c;
  for (const PairRange& r : kPairRanges) {
    if (c >= r.first && c <= r.last) {
      const bool is_lower = ((c & 1) == 0) == r.upper_odd;
      return is_lower ? static_cast<char16_t>(c - 1) : c;
    }
  }
  for (const OffsetRange& r : kOffsetRanges) {
    const int upper = c - r.offset;
    if (upper >= r.first && upper <= r.last) return static_cast<char16_t>(upper);
  }
  for (const SinglePair& p : kSinglePairs) {
    if (c == p.lower) return p.upper;
  }
  for (const SinglePair& p : kUpperOnly) {
    if (c == p.lower) return p.upper;
  }
  return c;
}

char16_t ToLowerChar(char16_t c) {
  if (c >= 0x41 && c <= 0x5A) return static_cast<char16_t>(c + 0x20);
  if (c < 0xC0) return c;
  for (const PairRange& r : kPairRanges) {
    if (c >= r.first && c <= r.last) {
      const bool is_upper = ((c & 1) == 0) != r.upper_odd;
      return is_upper ? static_cast<char16_t>(c + 1) : c;
    }
  }
  for (const OffsetRange& r : kOffsetRanges) {
    if (c >= r.first && c <= r.last) return static_cast<char16_t>(c + r.offset);
  }
  for (const SinglePair& p : kSinglePairs) {
    if (c == p.upper) return p.lower;
  }
  for (const SinglePair& p : kLowerOnly) {
    if (c == p.upper) return p.lower;
  }
  return c;
}

#else

// ISO-8859-1: a-z and 0xE0..0xFE except the division sign 0xF7 pair with the
// capitals 32 below; sharp s (0xDF) and y with diaeresis (0xFF) have no
// capital in the character set and stay.
char ToUpperChar(char ch) {
  const unsigned c = static_cast<unsigned char>(ch);
  if ((c >= 0x61 && c <= 0x7A) || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
    return static_cast<char>(c - 0x20);
  }
  return ch;
}

char ToLowerChar(char ch) {
  const unsigned c = static_cast<unsigned char>(ch);
  if ((c >= 0x41 && c <= 0x5A) || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
    return static_cast<char>(c + 0x20);
  }
  return ch;
}

#endif

unsigned FoldAsciiCase(Char c) {
  const unsigned code = CharCode(c);
  return (code >= 'A' && code <= 'Z') ? code + 32 : code;
}

// Finds pattern at or after index from (0-based); npos when absent.
Index FindFrom(const Text& s, const Text& pattern, Index from) {
  if (s.empty() || pattern.empty() || from >= s.size()) return Text::npos;
  return s.find(pattern, from);
}

}  // namespace

Text TextFromAscii(std::string_view ascii) {
  Text out;
  out.reserve(ascii.size());
  for (char c : ascii) out.push_back(static_cast<Char>(static_cast<unsigned char>(c)));
  return out;
}

Text Trim(const Text& s) {
  const Index first = s.find_first_not_of(Char(' '));
  if (first == Text::npos) return Text();
  const Index last = s.find_last_not_of(Char(' '));
  return s.substr(first, last - first + 1);
}

int Find(const Text& s, const Text& pattern, int start) {
  if (start < 1) start = 1;
  const Index at = FindFrom(s, pattern, static_cast<Index>(start) - 1);
  return at == Text::npos ? 0 : static_cast<int>(at + 1);
}

Text Field(const Text& s, int n, const Text& separator) {
  if (n < 1) return Text();
  if (separator.empty()) return n == 1 ? s : Text();
  Index begin = 0;
  for (int i = 1; i < n; ++i) {
    const Index at = s.find(separator, begin);
    if (at == Text::npos) return Text();
    begin = at + separator.size();
  }
  const Index end = s.find(separator, begin);
  return s.substr(begin, end == Text::npos ? Text::npos : end - begin);
}

int FieldCount(const Text& s, const Text& separator) {
  if (separator.empty()) return 1;
  return CountOccurrences(s, separator) + 1;
}

Text Left(const Text& s, int length) {
  if (length <= 0) return Text();
  return s.substr(0, static_cast<Index>(length));
}

Text Right(const Text& s, int length) {
  if (length <= 0) return Text();
  const Index n = std::min(static_cast<Index>(length), s.size());
  return s.substr(s.size() - n);
}

Text Mid(const Text& s, int start) {
  if (start < 1) start = 1;
  const Index from = static_cast<Index>(start) - 1;
  if (from >= s.size()) return Text();
  return s.substr(from);
}

Text Mid(const Text& s, int start, int length) {
  if (length <= 0) return Text();
  if (start < 1) start = 1;
  const Index from = static_cast<Index>(start) - 1;
  if (from >= s.size()) return Text();
  return s.substr(from, static_cast<Index>(length));
}

Text ReplaceAll(const Text& s, const Text& from, const Text& to) {
  if (from.empty() || s.empty()) return s;
  Text out;
  out.reserve(s.size());
  Index pos = 0;
  for (;;) {
    const Index at = s.find(from, pos);
    if (at == Text::npos) break;
    out.append(s, pos, at - pos);
    out.append(to);
    pos = at + from.size();
  }
  out.append(s, pos, Text::npos);
  return out;
}

int CountOccurrences(const Text& s, const Text& pattern) {
  if (pattern.empty()) return 0;
  int count = 0;
  for (Index at = s.find(pattern); at != Text::npos; at = s.find(pattern, at + pattern.size())) {
    ++count;
  }
  return count;
}

// Digits beyond 64 bits wrap around modulo 2^64, the same as the hexadecimal
// and binary forms that show negative values as two's complement.
int64_t ParseInteger(const Text& s) {
  Index i = 0;
  while (i < s.size() && (s[i] == Char(' ') || s[i] == Char('\t'))) ++i;
  bool negative = false;
  if (AsciiAt(s, i) == '+' || AsciiAt(s, i) == '-') {
    negative = AsciiAt(s, i) == '-';
    ++i;
  }
  unsigned base = 10;
  if (AsciiAt(s, i) == '$') {
    base = 16;
    ++i;
  } else if (AsciiAt(s, i) == '%') {
    base = 2;
    ++i;
  }
  uint64_t value = 0;
  for (;; ++i) {
    const int digit = DigitValue(AsciiAt(s, i));
    if (digit >= static_cast<int>(base)) break;
    value = value * base + static_cast<unsigned>(digit);
  }
  if (negative) value = ~value + 1;
  return static_cast<int64_t>(value);
}

// "Infinity" without a sign is taken as positive infinity, like any other
// unsigned number; "NaN" is recognised only without a sign.
float ParseDecimal(const Text& s) {
  Index i = 0;
  while (i < s.size() && s[i] == Char(' ')) ++i;
  if (StartsWithAscii(s, i, "NaN")) return std::numeric_limits<float>::quiet_NaN();

  std::string number;  // the longest prefix that forms a number, as ASCII
  const char sign = AsciiAt(s, i);
  if (sign == '+' || sign == '-') {
    if (sign == '-') number.push_back('-');
    ++i;
  }
  if (StartsWithAscii(s, i, "Infinity")) {
    const float inf = std::numeric_limits<float>::infinity();
    return sign == '-' ? -inf : inf;
  }

  // Decimal exponent of the first significant digit, to tell overflow from
  // underflow when the number is out of range.
  long magnitude = 0;
  bool significant = false;
  bool any_digit = false;
  for (char c = AsciiAt(s, i); c >= '0' && c <= '9'; c = AsciiAt(s, ++i)) {
    number.push_back(c);
    any_digit = true;
    if (c != '0') significant = true;
    if (significant && magnitude < 100000) ++magnitude;
  }
  if (AsciiAt(s, i) == '.') {
    const Index point = i;
    std::string fraction = ".";
    for (char c = AsciiAt(s, ++i); c >= '0' && c <= '9'; c = AsciiAt(s, ++i)) {
      fraction.push_back(c);
      any_digit = true;
      if (c != '0') significant = true;
      if (!significant && magnitude > -100000) --magnitude;
    }
    if (fraction.size() > 1 || any_digit) {
      number += fraction;
    } else {
      i = point;
    }
  }
  if (!any_digit) return 0.0f;

  long exponent = 0;
  const char e = AsciiAt(s, i);
  if (e == 'e' || e == 'E') {
    Index j = i + 1;
    std::string exponent_text = "e";
    const char exponent_sign = AsciiAt(s, j);
    if (exponent_sign == '+' || exponent_sign == '-') {
      exponent_text.push_back(exponent_sign);
      ++j;
    }
    bool exponent_digit = false;
    for (char c = AsciiAt(s, j); c >= '0' && c <= '9'; c = AsciiAt(s, ++j)) {
      exponent_text.push_back(c);
      exponent_digit = true;
      if (exponent < 100000) exponent = exponent * 10 + (c - '0');
    }
    if (exponent_digit) {
      number += exponent_text;
      if (exponent_sign == '-') exponent = -exponent;
    } else {
      exponent = 0;
    }
  }

  float value = 0.0f;
  const char* first = number.data();
  const char* last = first + number.size();
  const std::from_chars_result result = std::from_chars(first, last, value);
  if (result.ec == std::errc()) return value;
  if (!significant) return sign == '-' ? -0.0f : 0.0f;
  if (magnitude + exponent > 0) {
    const float inf = std::numeric_limits<float>::infinity();
    return sign == '-' ? -inf : inf;
  }
  // Below the normal range: go through double for the subnormal value.
  double wide = 0.0;
  if (std::from_chars(first, last, wide).ec == std::errc()) return static_cast<float>(wide);
  return sign == '-' ? -0.0f : 0.0f;
}

Text FormatInteger(int64_t value) {
  char buffer[32];
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return AsciiText(buffer, r.ptr);
}

Text FormatHex(int64_t value) {
  char buffer[32];
  const std::to_chars_result r =
      std::to_chars(buffer, buffer + sizeof buffer, static_cast<uint64_t>(value), 16);
  Text out = AsciiText(buffer, r.ptr);
  for (Char& c : out) {
    if (c >= Char('a') && c <= Char('f')) c = static_cast<Char>(c - 32);
  }
  return out;
}

// Rounds half away from zero on the exact binary value: the value is written
// with every decimal it has (a double with binary exponent e has at most 53 - e
// of them, and never more than 1074), and the digits are rounded by hand. A
// result of only zeros carries no minus sign. Infinities and NaN are written
// the way the decimal parse reads them.
Text FormatFixed(double value, int decimals) {
  if (std::isnan(value)) return TXT("NaN");
  if (std::isinf(value)) return value < 0 ? TXT("-Infinity") : TXT("+Infinity");
  constexpr int kMostDecimals = 1074;
  if (decimals < 0) decimals = 0;
  const int kept = std::min(decimals, kMostDecimals);
  int binary_exponent = 0;
  std::frexp(value, &binary_exponent);
  const int exact = std::clamp(53 - binary_exponent, 0, kMostDecimals);
  const int precision = std::max(exact, kept + 1);

  char buffer[1500];  // 309 integer digits, the point and 1075 decimals at most
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                               std::chars_format::fixed, precision);
  std::string digits(buffer, r.ptr);  // "ddd.ddd...", exact
  const Index point = digits.find('.');
  const bool round_up = digits[point + 1 + static_cast<Index>(kept)] >= '5';
  digits.resize(kept > 0 ? point + 1 + static_cast<Index>(kept) : point);
  if (round_up) {
    Index k = digits.size();
    for (;;) {
      if (k == 0) {
        digits.insert(digits.begin(), '1');
        break;
      }
      --k;
      if (digits[k] == '.') continue;
      if (digits[k] == '9') {
        digits[k] = '0';
        continue;
      }
      ++digits[k];
      break;
    }
  }
  if (decimals > kept) digits.append(static_cast<Index>(decimals - kept), '0');
  const bool all_zero = digits.find_first_not_of("0.") == std::string::npos;
  if (std::signbit(value) && !all_zero) digits.insert(digits.begin(), '-');
  return AsciiText(digits.data(), digits.data() + digits.size());
}

Text RightAlign(const Text& s, int width) {
  if (width <= 0) return Text();
  const Index n = static_cast<Index>(width);
  if (s.size() >= n) return s.substr(0, n);
  return Text(n - s.size(), Char(' ')) + s;
}

Text UpperCase(const Text& s) {
  Text out = s;
  for (Char& c : out) c = ToUpperChar(c);
  return out;
}

Text LowerCase(const Text& s) {
  Text out = s;
  for (Char& c : out) c = ToLowerChar(c);
  return out;
}

int CompareNoCase(const Text& a, const Text& b) {
  const Index n = std::min(a.size(), b.size());
  for (Index i = 0; i < n; ++i) {
    const unsigned ca = FoldAsciiCase(a[i]);
    const unsigned cb = FoldAsciiCase(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void SortNoCase(std::vector<Text>& texts) {
  std::stable_sort(texts.begin(), texts.end(),
                   [](const Text& a, const Text& b) { return CompareNoCase(a, b) < 0; });
}
