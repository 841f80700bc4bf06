// The owned components of a component by name, ignoring letter case as component names do: finding
// one, and checking that a new name is free, cost the same however many components an owner has.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TComponent;

class TComponentNames {
 public:
  // The component named Name (in any letter case), or null.
  TComponent* Find(std::string_view name) const;
  // Indexes Component under its name, which no other indexed component may have; an unnamed one
  // is not indexed.
  void Add(TComponent& component);
  // Drops Component from the index, before it is renamed or leaves its owner.
  void Remove(const TComponent& component);

 private:
  struct FoldedHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept;
  };
  struct FoldedEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
  };

  std::unordered_map<std::string, TComponent*, FoldedHash, FoldedEqual> byName_;
};

}  // namespace vantora::host
VANTORA_API_END
