// The designed form and parts of it as the text form of component streams: what undo keeps, what
// the clipboard carries and what Save writes. The text form is exact, so a form written, read back
// and written again gives the same text.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/classes/Persistent.h"

namespace vantora::studio {

// Root with everything it owns.
std::string TextOf(host::TComponent& root);
// Makes Root what Text describes: its components are freed, its own properties set back to their
// defaults, then Text is read into it. The designing state is kept.
void RestoreFromText(host::TComponent& root, const std::string& text);

// The blocks of FormText (a root's text) that describe the named components, with what they hold,
// each moved to the left margin, in the order they are written.
std::string ComponentsOf(const std::string& formText, const std::vector<std::string>& names);
// The names of the top-level components of a clipboard text, in order.
std::vector<std::string> TopLevelNames(const std::string& components);
// Every component of Components renamed where Taken says its name is in use (or used before in the
// text): its name with a number after it, the first one that is free.
std::string WithFreeNames(const std::string& components,
                          const std::function<bool(const std::string&)>& taken);
// Reads the components described by Components (text as ComponentsOf gives) into Root, as its own.
void ReadComponentsInto(host::TComponent& root, const std::string& components);

}  // namespace vantora::studio
