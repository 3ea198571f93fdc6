// Text operations of the page reducers. They work in place and take their
// patterns as views, so cleaning a line allocates only when it changes.
#pragma once

#include <string>

#include "common/text.h"

namespace listing_text {

// Index of the first CR or LF at or after from; the size of s when none.
// (find_first_of would search its set once for every character.)
inline size_t FindLineEnd(const Text& s, size_t from) {
  const Char* p = s.data();
  const size_t n = s.size();
  while (from < n && p[from] != Char('\r') && p[from] != Char('\n')) ++from;
  return from;
}

inline bool Contains(const Text& s, TextView pattern) {
  return !pattern.empty() && s.find(pattern) != Text::npos;
}

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
  size_t at = s.find(from);
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
      at = s.find(from, read);
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
    at = s.find(from, run);
  }
  out.append(s, run, Text::npos);
  s.swap(out);
}

inline void RemoveIn(Text& s, TextView pattern) { ReplaceIn(s, pattern, TextView()); }

// Runs of blanks shortened the page's way: every three blanks by one, then
// every two by one.
inline void ShrinkBlanks(Text& s) {
  ReplaceIn(s, TXT("   "), TXT(" "));
  ReplaceIn(s, TXT("  "), TXT(" "));
}

// Blanks removed at both ends, in place.
inline void TrimIn(Text& s) {
  const size_t first = s.find_first_not_of(Char(' '));
  if (first == Text::npos) {
    s.clear();
    return;
  }
  const size_t last = s.find_last_not_of(Char(' '));
  s.resize(last + 1);
  s.erase(0, first);
}

// s becomes the text of the view without blanks at both ends; its buffer is
// used again.
inline void AssignTrimmed(Text& s, TextView view) {
  const size_t first = view.find_first_not_of(Char(' '));
  if (first == TextView::npos) {
    s.clear();
    return;
  }
  const size_t last = view.find_last_not_of(Char(' '));
  s.assign(view.data() + first, last - first + 1);
}

inline TextView TrimmedView(TextView s) {
  const size_t first = s.find_first_not_of(Char(' '));
  if (first == TextView::npos) return TextView();
  return s.substr(first, s.find_last_not_of(Char(' ')) - first + 1);
}

inline Text Trimmed(TextView s) {
  const size_t first = s.find_first_not_of(Char(' '));
  if (first == TextView::npos) return Text();
  const size_t last = s.find_last_not_of(Char(' '));
  return Text(s.substr(first, last - first + 1));
}

}  // namespace listing_text
