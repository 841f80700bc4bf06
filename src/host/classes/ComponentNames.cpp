#include "host/classes/ComponentNames.h"

#include <algorithm>
#include <cstdint>

#include "host/classes/Persistent.h"

namespace vantora::host {

namespace {

// Names are identifiers, so folding ASCII letters is all that ignoring case takes.
unsigned char Folded(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

}  // namespace

std::size_t TComponentNames::FoldedHash::operator()(std::string_view name) const noexcept {
  // FNV-1a over the folded bytes.
  std::uint64_t hash = 14695981039346656037ull;
  for (char c : name) hash = (hash ^ Folded(c)) * 1099511628211ull;
  return static_cast<std::size_t>(hash);
}

bool TComponentNames::FoldedEqual::operator()(std::string_view a, std::string_view b) const noexcept {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return Folded(x) == Folded(y); });
}

TComponent* TComponentNames::Find(std::string_view name) const {
  const auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

void TComponentNames::Add(TComponent& component) {
  if (!component.Name().empty()) byName_.emplace(component.Name(), &component);
}

void TComponentNames::Remove(const TComponent& component) {
  if (component.Name().empty()) return;
  if (const auto it = byName_.find(component.Name()); it != byName_.end() && it->second == &component)
    byName_.erase(it);
}

}  // namespace vantora::host
