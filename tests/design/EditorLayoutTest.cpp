// The editors' forms as they are laid out: a label reads on the line of the control beside it.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/ControlsTestSupport.h"
#include "design/Grdwiz.h"
#include "design/Wizard.h"
#include "host/widgets/Label.h"

namespace vantora::testing {
namespace {

// A control one line high: an edit, a check box, a swatch, not a panel or a list.
constexpr int kLineHeight = 30;
// How far apart two controls of one line are at most.
constexpr int kNeighbourGap = 40;

int Gap(const host::TControl& a, const host::TControl& b) {
  return std::max(a.Left() - (b.Left() + b.Width()), b.Left() - (a.Left() + a.Width()));
}

// Every label whose text centre sits more than a pixel off the centre of a one-line control near it
// that shares its line, as "label/neighbour: offset".
std::vector<std::string> LabelsOffTheirLine(const host::TComponent& form) {
  std::vector<std::string> off;
  for (int i = 0; i < form.ComponentCount(); ++i) {
    const auto* label = dynamic_cast<const host::TLabel*>(form.Components(i));
    // Labels parked out of sight are placed by the editor's code.
    if (!label || !label->Parent() || label->Top() >= label->Parent()->Height()) continue;
    const host::TWinControl& parent = *label->Parent();
    for (int c = 0; c < parent.ControlCount(); ++c) {
      const host::TControl* other = parent.Controls(c);
      const bool sharesLine =
          other->Top() < label->Top() + label->Height() && label->Top() < other->Top() + other->Height();
      if (other == label || dynamic_cast<const host::TLabel*>(other) || !sharesLine ||
          other->Height() > kLineHeight || Gap(*other, *label) > kNeighbourGap)
        continue;
      const int offset = (2 * other->Top() + other->Height()) - (2 * label->Top() + label->Height());
      if (std::abs(offset) > 2)
        off.push_back(label->Name() + "/" + other->Name() + ": " + std::to_string(offset / 2));
    }
  }
  return off;
}

using EditorLayoutTest = ControlsTest;

TEST_F(EditorLayoutTest, LabelsReadOnTheLineOfTheControlBesideThem) {
  auto* wizard = new TfrmWizard(app);
  EXPECT_EQ(LabelsOffTheirLine(*wizard), std::vector<std::string>{});
  auto* gradient = new TfrmGrdWiz(app);
  EXPECT_EQ(LabelsOffTheirLine(*gradient), std::vector<std::string>{});
  delete gradient;
  delete wizard;
}

}  // namespace
}  // namespace vantora::testing
