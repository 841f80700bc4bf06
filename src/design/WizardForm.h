// The wizard's layout: the text form of its form stream (data/forms/wizard.txt), compiled in.
#pragma once

namespace vantora {

const char* WizardFormText();

}  // namespace vantora
