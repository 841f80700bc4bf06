// One render of parts that paint in shared colours (fills, layers, objects): every part gets
// ready, every part announces its colours, the palette is built from them, every part takes its
// indices from it, and then the parts paint.
#pragma once

#include <concepts>
#include <ranges>
#include <span>
#include <utility>

#include "VantoraExport.h"
#include "palette/Fulone.h"

VANTORA_API_BEGIN
namespace vantora {

// Parts is a range of pointers to parts, walked in the same order in every phase.
template <std::ranges::range Parts, std::invocable Paint>
void RenderPass(tFulgoOnePalette& Palette, Parts&& parts, Paint&& paint) {
  for (auto* part : parts) part->Ready();
  for (auto* part : parts) part->RegisterOnePalette(Palette);
  Palette.BuildPalette();
  for (auto* part : parts) part->ApplyOnePalette(Palette);
  std::forward<Paint>(paint)();
}

template <class Part, std::invocable Paint>
requires(!std::ranges::range<Part>) void RenderPass(tFulgoOnePalette& Palette, Part& part, Paint&& paint) {
  Part* parts[] = {&part};
  RenderPass(Palette, std::span(parts), std::forward<Paint>(paint));
}

}  // namespace vantora
VANTORA_API_END
