// The designer of one form: it takes the designed form's mouse and keys, so that a click selects a
// component, a drag moves it or (by a handle) resizes it, a click with a palette class chosen places
// one, a double click runs the component editor, and the right button asks for the context menu.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "host/designer/DesignEditors.h"
#include "host/forms/Forms.h"

namespace vantora::studio {

using host::HDC;
using host::POINT;
using host::RECT;

class TFormDesigner : public host::IDesignerHook, public host::IDesigner {
 public:
  // Designs Form (its components and those read into it later) until destroyed.
  explicit TFormDesigner(host::TCustomForm& form);
  ~TFormDesigner() override;
  TFormDesigner(const TFormDesigner&) = delete;
  TFormDesigner& operator=(const TFormDesigner&) = delete;

  host::TCustomForm& Form() const { return form_; }
  host::TComponent& Root() override { return form_; }
  void Modified() override;
  bool IsModified() const { return modified_; }
  void ClearModified() { modified_ = false; }

  // The selected component; the form itself when nothing else is.
  host::TComponent& Selection() const { return *selection_; }
  void Select(host::TComponent* component);
  // The class the next click on the form places; null: clicks select.
  void SetPlacing(const host::TClass* cls) { placing_ = cls; }
  const host::TClass* Placing() const { return placing_; }
  // A new component of Cls named after its class, its top-left corner at P (form client
  // coordinates) in the container under P; selected, and the form marked modified.
  host::TComponent& Place(const host::TClass& cls, POINT p);
  void DeleteSelection();

  // Components without a control have a mark on the form of their own: here is where it lies.
  RECT MarkOf(const host::TComponent& component) const;

  std::function<void()> OnSelectionChanged;
  std::function<void()> OnModified;
  std::function<void()> OnPlaced;
  // The right button went down on Component; P in screen coordinates.
  std::function<void(host::TComponent& component, POINT p)> OnContextMenu;

  bool IsDesignMsg(host::TControl& sender, host::TMessage& message) override;
  void PaintMarks(HDC dc, const RECT& clip) override;
  RECT MarksArea() const override;

 private:
  enum Edge : unsigned { Left = 1, Top = 2, Right = 4, Bottom = 8 };
  struct Drag {
    host::TControl* control = nullptr;
    unsigned edges = 0;  // none: the whole control moves
    POINT start{};
    RECT bounds{};
    bool moved = false;
  };

  bool MouseMessage(host::TControl& sender, const host::TMessage& message);
  void KeyMessage(std::uint16_t key, host::TShiftState shift);
  host::TComponent* ComponentAt(host::TControl& sender, POINT p) const;
  host::TWinControl& ContainerAt(POINT p) const;
  RECT FormRect(const host::TControl& control) const;
  // The grab handles of the selection, each with the edges it moves.
  std::vector<std::pair<RECT, unsigned>> Handles() const;
  void InvalidateMarks();
  void Track(POINT p);
  void Nudge(int dx, int dy, bool resize);
  std::string UniqueName(const host::TClass& cls) const;

  host::TCustomForm& form_;
  host::TComponent* selection_;
  const host::TClass* placing_ = nullptr;
  Drag drag_;
  bool modified_ = false;
};

}  // namespace vantora::studio
