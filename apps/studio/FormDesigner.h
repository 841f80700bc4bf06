// The designer of one form: it takes the designed form's mouse and keys, so that a click selects a
// component, a drag moves it or (by a handle) resizes it, a click with a palette class chosen places
// one, a double click runs the component editor, and the right button asks for the context menu.
// Shift+click and a rubber band drawn from the form select several; every change is one step of the
// form's history, which Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z) walk back and forth.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "FormHistory.h"
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
  // Changes made between these are one step of the history (an edit applied to several).
  void BeginChange() { ++changing_; }
  void EndChange();
  bool IsModified() const { return modified_; }
  void ClearModified() { modified_ = false; }

  // The selected component (the first of several); the form itself when nothing else is.
  host::TComponent& Selection() const { return selected_.empty() ? form_ : *selected_.front(); }
  // Every selected component, the first one first; the form alone when nothing else is.
  std::vector<host::TComponent*> Selected() const;
  void Select(host::TComponent* component);
  // Adds Component to the selection, or takes it out when it is in already (Shift+click).
  void ToggleSelected(host::TComponent& component);
  void SelectAll(const std::vector<host::TComponent*>& components);
  // The class the next click on the form places; null: clicks select.
  void SetPlacing(const host::TClass* cls) { placing_ = cls; }
  const host::TClass* Placing() const { return placing_; }
  // A new component of Cls named after its class, its top-left corner at P (form client
  // coordinates) in the container under P; selected, and the form marked modified.
  host::TComponent& Place(const host::TClass& cls, POINT p);
  void DeleteSelection();

  // The selected controls lined up with the first one selected, or given its size.
  enum class TAlignment { Lefts, Tops, HorizontalCentres, VerticalCentres, SameSize };
  void AlignSelection(TAlignment alignment);

  // The selection as the text form of its components, with the controls they hold.
  std::string CopySelection() const;
  // The same through the application's clipboard.
  void CopyToClipboard() const;
  void CutSelection();
  void PasteFromClipboard();
  // Reads Components (such text, from anywhere) into the form, each with a name not in use yet,
  // and selects them. Offset moves the pasted controls (a duplicate beside its original).
  void Paste(const std::string& components, int offset = 0);
  void Duplicate();

  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  void Undo();
  void Redo();

  // Components without a control are icons on the form with their names under them: here is
  // where the icon lies. One never placed lies where it covers no control.
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
    host::TComponent* control = nullptr;  // the one grabbed
    unsigned edges = 0;                   // none: the selection moves together
    POINT start{};
    std::vector<std::pair<host::TComponent*, RECT>> bounds;  // where they were, the grabbed first
    bool moved = false;
  };
  struct Band {
    bool active = false;
    bool adding = false;  // Shift held: what the band takes in joins the selection
    POINT start{}, end{};
    RECT Rect() const;
  };

  bool MouseMessage(host::TControl& sender, const host::TMessage& message);
  void KeyMessage(std::uint16_t key, host::TShiftState shift);
  bool KeyCommand(std::uint16_t key, host::TShiftState shift);
  host::TComponent* ComponentAt(host::TControl& sender, POINT p) const;
  void StartDrag(host::TComponent& grabbed, unsigned edges, POINT p);
  // A control to its bounds, an icon to the rectangle's corner.
  void MoveTo(host::TComponent& component, const RECT& r);
  void EndBand();
  std::vector<host::TControl*> SelectedControls() const;
  bool IsSelected(const host::TComponent& component) const;
  // Reads a state of the form's history back and selects what had the selected names.
  void Restore(const std::string& text);
  void SelectionChanged();
  host::TWinControl& ContainerAt(POINT p) const;
  RECT FormRect(const host::TControl& control) const;
  // The grab handles of the selection, each with the edges it moves.
  std::vector<std::pair<RECT, unsigned>> Handles() const;
  void InvalidateMarks();
  void Track(POINT p);
  void Nudge(int dx, int dy, bool resize);
  std::string UniqueName(const host::TClass& cls) const;

  host::TCustomForm& form_;
  std::vector<host::TComponent*> selected_;  // empty: the form
  const host::TClass* placing_ = nullptr;
  Drag drag_;
  Band band_;
  bool modified_ = false;
  int changing_ = 0;
  bool changed_ = false;  // Modified while changing
  TFormHistory history_;
};

// What is changed while one lives is one step of the designer's history.
class TDesignerChange {
 public:
  explicit TDesignerChange(TFormDesigner& designer) : designer_(designer) { designer_.BeginChange(); }
  ~TDesignerChange() { designer_.EndChange(); }
  TDesignerChange(const TDesignerChange&) = delete;
  TDesignerChange& operator=(const TDesignerChange&) = delete;

 private:
  TFormDesigner& designer_;
};

}  // namespace vantora::studio
