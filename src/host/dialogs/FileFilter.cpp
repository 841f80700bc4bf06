#include "host/dialogs/FileFilter.h"

namespace vantora::host {

namespace {

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> Split(const std::string& s, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = s.find(separator, start);
    parts.push_back(s.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

// Letter case folds for ASCII only: file names are bytes, and the locale has no say in them.
char Fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool SameLetter(char a, char b) {
  return Fold(a) == Fold(b);
}

}  // namespace

std::vector<TFileFilter> ParseFileFilter(const std::string& filter) {
  std::vector<TFileFilter> filters;
  if (filter.empty()) return filters;
  const std::vector<std::string> parts = Split(filter, '|');
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    TFileFilter entry{parts[i], {}};
    if (i + 1 < parts.size())
      for (const std::string& pattern : Split(parts[i + 1], ';'))
        if (!Trim(pattern).empty()) entry.patterns.push_back(Trim(pattern));
    if (entry.patterns.empty()) entry.patterns.push_back("*");
    filters.push_back(std::move(entry));
  }
  return filters;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  // Greedy with one backtracking point per star, linear in practice.
  std::size_t n = 0, p = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || SameLetter(pattern[p], name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool MatchesFilter(const std::string& name, const TFileFilter& filter) {
  for (const std::string& pattern : filter.patterns)
    if (MatchesPattern(name, pattern) || (pattern == "*.*" && name.find('.') == std::string::npos))
      return true;
  return false;
}

}  // namespace vantora::host
