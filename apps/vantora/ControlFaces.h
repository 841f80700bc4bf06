// Control files (label, button, panel) rendered as they look on a form: drawn by the controls
// themselves on the headless screen, then taken as a screenshot; a whole gallery of them on one
// contact sheet; and the building of control files from their text sources.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/StateFaces.h"
#include "model/Fullblart.h"

namespace vantora::tool {

// Whether the file (binary or text component stream) holds one of the library's controls.
bool IsControlFile(const std::string& path);

struct ControlFaceOptions {
  // up, down, disabled or hover; a button without it shows all four side by side.
  std::optional<std::string> state;
  // A picture the controls are drawn over transparently.
  std::optional<std::string> transparentOver;
};

// Writes the face of the control in Input to Output, a PNG file.
void RenderControlFile(const std::string& input, const std::string& output,
                       const ControlFaceOptions& options);
// All the files on one sheet, a row each with its name.
void RenderContactSheet(const std::vector<std::string>& inputs, const std::string& output);

// The faces of the control in Input with real alpha: every state of a button, the face of another.
std::vector<TStateFace> RgbaControlFaces(const std::string& input);

// The look (a component stream whose root holds an art) in Input, rendered; Caption replaces its
// own caption when given.
std::unique_ptr<tFulgoLabelArt> RenderLook(const std::string& input,
                                           const std::optional<std::string>& caption);

// Reads a control from its source (text or binary) and saves it as a control file. A button whose
// source holds no state data is given the usual state looks: pressed without its shadow and
// shifted, hovered with a brighter face, disabled with grey letters.
void BuildControlFile(const std::string& source, const std::string& output);

}  // namespace vantora::tool
