// Text operations of the page reducers. They work in place and take their
// patterns as views, so cleaning a line allocates only when it changes.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/text.h"

namespace listing_text {

// Index of the first CR or LF at or after from; the size of s when none.
// Sixteen bytes (with SSE2) or eight are looked at together: lines are a few
// dozen characters, too short for a library search to pay off and too many
// for one by one.
inline size_t FindLineEnd(TextView s, size_t from) {
  const Char* p = s.data();
  const size_t n = s.size();
#if defined(__SSE2__)
  {
    const bool wide = sizeof(Char) == 2;
    const __m128i cr = wide ? _mm_set1_epi16('\r') : _mm_set1_epi8('\r');
    const __m128i lf = wide ? _mm_set1_epi16('\n') : _mm_set1_epi8('\n');
    constexpr size_t kPerVector = 16 / sizeof(Char);
    while (from < n && n - from >= kPerVector) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from));
      const __m128i hits = wide ? _mm_or_si128(_mm_cmpeq_epi16(v, cr), _mm_cmpeq_epi16(v, lf))
                                : _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf));
      const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
      if (mask) return from + static_cast<size_t>(std::countr_zero(mask)) / sizeof(Char);
      from += kPerVector;
    }
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    constexpr size_t kPerWord = sizeof(uint64_t) / sizeof(Char);
    constexpr uint64_t kOnes = ~uint64_t(0) / ((uint64_t(1) << (8 * sizeof(Char))) - 1);  // 1 in each lane
    constexpr uint64_t kHighs = kOnes << (8 * sizeof(Char) - 1);
    while (from < n && n - from >= kPerWord) {
      uint64_t word;
      std::memcpy(&word, p + from, sizeof word);
      const uint64_t cr = word ^ (kOnes * '\r');
      const uint64_t lf = word ^ (kOnes * '\n');
      // The lowest lane that is zero in cr or lf sets its high bit first.
      const uint64_t found = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs;
      if (found) return from + static_cast<size_t>(std::countr_zero(found)) / (8 * sizeof(Char));
      from += kPerWord;
    }
  }
  while (from < n && p[from] != Char('\r') && p[from] != Char('\n')) ++from;
  return std::min(from, n);
}

// Whether pattern stands at index i of the n characters at p.
inline bool MatchesAt(const Char* p, size_t n, size_t i, TextView pattern) {
  const size_t m = pattern.size();
  if (i > n || n - i < m) return false;
  for (size_t k = 0; k < m; ++k)
    if (p[i + k] != pattern[k]) return false;
  return true;
}

// Index of the first occurrence of pattern at or after from; npos when none
// (and for an empty pattern). The first character is found by the library's
// character search, which outruns a loop as soon as it has a few dozen
// characters to skip.
inline size_t FindIn(TextView s, TextView pattern, size_t from = 0) {
  const size_t m = pattern.size();
  if (m == 0 || s.size() < m || from > s.size() - m) return Text::npos;
  const Char* p = s.data();
  const Char first = pattern[0];
  const Char* const last = p + (s.size() - m);  // the last place a match can start
  for (const Char* at = p + from; at <= last; ++at) {
    at = std::char_traits<Char>::find(at, static_cast<size_t>(last - at) + 1, first);
    if (!at) break;
    size_t k = 1;
    while (k < m && at[k] == pattern[k]) ++k;
    if (k == m) return static_cast<size_t>(at - p);
  }
  return Text::npos;
}

inline size_t FindCharIn(TextView s, Char c, size_t from = 0) {
  if (from >= s.size()) return Text::npos;
  const Char* found = std::char_traits<Char>::find(s.data() + from, s.size() - from, c);
  return found ? static_cast<size_t>(found - s.data()) : Text::npos;
}

inline bool Contains(const Text& s, TextView pattern) { return FindIn(s, pattern) != Text::npos; }

inline bool BeginsWith(const Text& s, TextView prefix) {
  return s.size() >= prefix.size() && TextView(s).substr(0, prefix.size()) == prefix;
}

inline bool EndsWith(const Text& s, TextView suffix) {
  return s.size() >= suffix.size() && TextView(s).substr(s.size() - suffix.size()) == suffix;
}

// Every non-overlapping occurrence, left to right in one sweep; the inserted
// text is not searched again. A replacement no longer than what it replaces
// is done in place.
inline void ReplaceIn(Text& s, TextView from, TextView to) {
  if (from.empty()) return;
  size_t at = FindIn(s, from);
  if (at == Text::npos) return;
  if (to.size() <= from.size()) {
    Char* p = s.data();
    size_t write = at;
    size_t read = at;
    while (at != Text::npos) {
      if (write != read) std::char_traits<Char>::move(p + write, p + read, at - read);
      write += at - read;
      std::char_traits<Char>::copy(p + write, to.data(), to.size());
      write += to.size();
      read = at + from.size();
      at = FindIn(s, from, read);
    }
    std::char_traits<Char>::move(p + write, p + read, s.size() - read);
    s.resize(write + s.size() - read);
    return;
  }
  Text out;
  out.reserve(s.size() + s.size() / 4);
  size_t run = 0;
  while (at != Text::npos) {
    out.append(s, run, at - run);
    out.append(to);
    run = at + from.size();
    at = FindIn(s, from, run);
  }
  out.append(s, run, Text::npos);
  s.swap(out);
}

inline void RemoveIn(Text& s, TextView pattern) { ReplaceIn(s, pattern, TextView()); }

// Runs of blanks shortened the page's way: every three blanks by one, then
// every two by one.
// In one sweep: a run of k blanks keeps m / 2 + m % 2 of them, where
// m = k / 3 + k % 3 is what the first replacement leaves of it.
inline void ShrinkBlanks(Text& s) {
  Char* p = s.data();
  const size_t n = s.size();
  size_t w = 0;
  size_t i = 0;
  while (i < n) {
    if (p[i] != Char(' ')) {
      p[w++] = p[i++];
      continue;
    }
    size_t k = 0;
    while (i < n && p[i] == Char(' ')) {
      ++k;
      ++i;
    }
    const size_t m = k / 3 + k % 3;
    for (size_t kept = m / 2 + m % 2; kept > 0; --kept) p[w++] = Char(' ');
  }
  s.resize(w);
}

// Index of the first character that is not a blank; the size when none.
inline size_t FirstNonBlank(TextView s) {
  size_t i = 0;
  while (i < s.size() && s[i] == Char(' ')) ++i;
  return i;
}

// One past the last character that is not a blank; 0 when none.
inline size_t EndOfNonBlank(TextView s) {
  size_t end = s.size();
  while (end > 0 && s[end - 1] == Char(' ')) --end;
  return end;
}

inline TextView TrimmedView(TextView s) {
  const size_t end = EndOfNonBlank(s);
  const size_t first = FirstNonBlank(s.substr(0, end));
  return s.substr(first, end - first);
}

// Blanks removed at both ends, in place.
inline void TrimIn(Text& s) {
  const TextView kept = TrimmedView(s);
  const size_t first = static_cast<size_t>(kept.data() - s.data());
  s.resize(first + kept.size());
  s.erase(0, first);
}

// s becomes the text of the view without blanks at both ends; its buffer is
// used again.
inline void AssignTrimmed(Text& s, TextView view) { s.assign(TrimmedView(view)); }

inline Text Trimmed(TextView s) { return Text(TrimmedView(s)); }

}  // namespace listing_text
