// The layers of a rectangular body drawn as bands around it in place. A 3D edge, a frame and an
// unscaled shadow of a rectangle make the same outline at every size: only the corners differ from
// the straight sides, which repeat their middle row or column. The outline is worked out on a copy
// of the body just large enough for the corners, with one label per mask instead of colours; each
// row of the face is then written once, every run of it copied from the fill of the mask it shows.
#pragma once

#include <cstdint>
#include <memory>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora {

class tFulgoObject;

// The outline of the layers around a body cut down to its corners. The object keeps the one of its
// last render, which serves again while its layers' geometry stays the same.
struct tBandOutline;
struct tBandOutlineDeleter {
  void operator()(tBandOutline* Outline) const;
};
using tKeptBandOutline = std::unique_ptr<tBandOutline, tBandOutlineDeleter>;

// Renders Object, whose first bitmap is a Width x Height rectangle with no transparent pixel, into
// its Dib with its active layers, as the mask-by-mask render does, and releases the fills' working
// data. Answers false and changes nothing when the look takes the general path: a fuzz, a scaled
// shadow, a layer of another kind, no layer drawn, or a fill that paints the transparent index.
bool RenderAsBands(tFulgoObject& Object, std::int32_t Width, std::int32_t Height);

}  // namespace vantora
VANTORA_API_END
