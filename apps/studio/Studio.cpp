#include "Studio.h"

#include <filesystem>

#include "host/classes/Filer.h"
#include "host/classes/Stream.h"
#include "host/classes/TextForm.h"
#include "host/designer/DesignRegistry.h"
#include "host/dialogs/FileDialog.h"
#include "host/dialogs/MessageDialogs.h"
#include "host/forms/Application.h"
#include "host/forms/Button.h"
#include "host/forms/Panel.h"
#include "host/widgets/PopupMenu.h"
#include "host/widgets/SpeedButton.h"
#include "host/widgets/TabSet.h"

namespace vantora::studio {

namespace {

constexpr int kPaletteButtonWidth = 56;
constexpr const char* kFormFilter = "Forms (*.txt;*.vnt)|*.txt;*.vnt|All files (*)|*";

// What a palette button says: the class name without its prefixes and version digits.
std::string ShortName(const host::TClass& cls) {
  std::string name = cls.ClassName();
  for (const char* prefix : {"T", "t", "o"})
    if (name.size() > 1 && name.starts_with(prefix) && std::isupper(static_cast<unsigned char>(name[1])))
      name.erase(0, 1);
  for (const char* prefix : {"Fulgo", "Qor"})
    if (name.starts_with(prefix) && name.size() > std::string_view(prefix).size())
      name.erase(0, std::string_view(prefix).size());
  while (name.size() > 1 && std::isdigit(static_cast<unsigned char>(name.back()))) name.pop_back();
  return name;
}

void OnClick(host::TButton& button, std::function<void()> action) {
  button.OnClick = [action = std::move(action)](host::TPersistent*) { action(); };
}

}  // namespace

TStudio::TStudio(host::TApplication& app) : app_(app), window_(new TStudioWindow(&app)) {
  window_->OnCloseQuery = [this](host::TPersistent*, bool& canClose) { canClose = ConfirmDiscard(); };
  BuildToolbar();
  BuildPalette();
  // The inspector fills the window below the palette, as wide as it is.
  const host::TPanel& palette = *window_->pnlPalette;
  inspector_ = std::make_unique<TObjectInspector>(
      *window_, RECT{palette.Left(), palette.Top() + palette.Height() + 6, palette.Left() + palette.Width(),
                     window_->ClientHeight() - 6});
  inspector_->OnChooseComponent = [this](host::TComponent* c) { designer_->Select(c); };
  menu_ = new host::TPopupMenu(window_);
  // Undo and redo reach the designer from the studio's window too, unless a value is being typed.
  window_->SetKeyPreview(true);
  window_->OnKeyDown = [this](host::TPersistent*, std::uint16_t& key, host::TShiftState shift) {
    if (!(shift & host::ssCtrl) || (key != 'Z' && key != 'Y') || inspector_->Typing()) return;
    if (key == 'Y' || (shift & host::ssShift))
      designer_->Redo();
    else
      designer_->Undo();
    key = 0;
  };
  app_.SetMainForm(window_);
  NewForm();
}

TStudio::~TStudio() {
  // The designer lets go of the form before the form goes; the window takes its handlers along.
  designer_.reset();
  form_.reset();
  app_.SetMainForm(nullptr);
  delete window_;
}

void TStudio::BuildToolbar() {
  OnClick(*window_->btnNew, [this] { NewForm(); });
  OnClick(*window_->btnOpen, [this] { Open(); });
  OnClick(*window_->btnSave, [this] { Save(); });
  OnClick(*window_->btnSaveAs, [this] { SaveAs(); });
  OnClick(*window_->btnEdit, [this] {
    const host::TButton& edit = *window_->btnEdit;
    const POINT corner = edit.ClientToScreen(POINT{0, edit.Height()});
    FillEditMenu();
    editMenu_->Popup(corner.x, corner.y);
  });
  OnClick(*window_->btnTest, [this] { TestForm(); });
  editMenu_ = new host::TPopupMenu(window_);
}

void TStudio::FillEditMenu() {
  host::TPopupMenu& menu = *editMenu_;
  menu.Clear();
  const bool selected = &designer_->Selection() != form_.get();
  // Each command gives the keys back to the designed form, where the selection is.
  auto add = [this, &menu](const std::string& caption, bool enabled, std::function<void()> action) {
    menu.Add(caption,
             [this, action = std::move(action)](host::TPersistent*) {
               action();
               form_->Show();
             })
        ->SetEnabled(enabled);
  };
  using Alignment = TFormDesigner::TAlignment;
  const bool several = designer_->Selected().size() > 1;
  add("Undo (Ctrl+Z)", designer_->CanUndo(), [this] { designer_->Undo(); });
  add("Redo (Ctrl+Y)", designer_->CanRedo(), [this] { designer_->Redo(); });
  menu.Add("-");
  add("Cut (Ctrl+X)", selected, [this] { designer_->CutSelection(); });
  add("Copy (Ctrl+C)", selected, [this] { designer_->CopyToClipboard(); });
  add("Paste (Ctrl+V)", true, [this] { designer_->PasteFromClipboard(); });
  add("Duplicate (Ctrl+D)", selected, [this] { designer_->Duplicate(); });
  add("Delete (Del)", selected, [this] { designer_->DeleteSelection(); });
  menu.Add("-");
  add("Align lefts", several, [this] { designer_->AlignSelection(Alignment::Lefts); });
  add("Align tops", several, [this] { designer_->AlignSelection(Alignment::Tops); });
  add("Align horizontal centres", several,
      [this] { designer_->AlignSelection(Alignment::HorizontalCentres); });
  add("Align vertical centres", several, [this] { designer_->AlignSelection(Alignment::VerticalCentres); });
  add("Make same size", several, [this] { designer_->AlignSelection(Alignment::SameSize); });
}

void TStudio::BuildPalette() {
  host::TTabSet& tabs = *window_->tabPalette;
  for (const std::string& page : host::PalettePages()) tabs.Tabs()->Add(page);
  tabs.OnChange = [this](host::TPersistent*, int page, bool&) { ShowPalettePage(page); };
  if (tabs.Tabs()->Count() > 0) tabs.SetTabIndex(0);
  ShowPalettePage(0);
}

void TStudio::ShowPalettePage(int page) {
  for (auto& [cls, button] : paletteButtons_) delete button;
  paletteButtons_.clear();
  delete pointer_;
  const auto pages = host::PalettePages();
  auto add = [this](const std::string& caption, const std::string& hint, int index) {
    auto* button = new host::TSpeedButton(window_->pnlPalette);
    button->SetParent(window_->pnlPalette);
    button->SetBounds(4 + index * kPaletteButtonWidth, 8, kPaletteButtonWidth - 2, 40);
    button->SetCaption(caption);
    button->SetHint(hint);
    button->SetShowHint(true);
    button->SetGroupIndex(1);
    return button;
  };
  pointer_ = add("Select", "Select, move and size components", 0);
  pointer_->SetDown(true);
  pointer_->OnClick = [this](host::TPersistent*) {
    if (designer_) designer_->SetPlacing(nullptr);
  };
  if (page < 0 || page >= static_cast<int>(pages.size())) return;
  int index = 1;
  for (const host::TClass* cls : host::PaletteClasses(pages[static_cast<std::size_t>(page)])) {
    host::TSpeedButton* button = add(ShortName(*cls), cls->ClassName(), index++);
    button->OnClick = [this, cls](host::TPersistent*) {
      if (designer_) designer_->SetPlacing(cls);
    };
    paletteButtons_.push_back({cls, button});
  }
}

host::TSpeedButton* TStudio::PaletteButton(const host::TClass& cls) const {
  for (const auto& [c, button] : paletteButtons_)
    if (c == &cls) return button;
  return nullptr;
}

void TStudio::Design(std::unique_ptr<host::TCustomForm> form, const std::string& path) {
  designer_.reset();
  form_ = std::move(form);
  designer_ = std::make_unique<TFormDesigner>(*form_);
  designer_->OnSelectionChanged = [this] { SelectionChanged(); };
  designer_->OnModified = [this] {
    UpdateCaption();
    // A name may have changed, or a component gone.
    inspector_->ListComponents(*form_, &designer_->Selection());
    inspector_->ValuesChanged();
  };
  // Placing is done: the palette's pointer takes over again.
  designer_->OnPlaced = [this] { pointer_->SetDown(true); };
  designer_->OnContextMenu = [this](host::TComponent& c, POINT p) { PopupContextMenu(c, p); };
  // The designed form closes with the studio only.
  form_->OnClose = [](host::TPersistent*, host::TCloseAction& action) { action = host::caNone; };
  path_ = path;
  // A new form opens beside the studio; one read from a file stays where it was designed, so
  // opening and saving it changes nothing.
  if (path.empty()) {
    form_->SetLeft(window_->Left() + window_->Width() + 10);
    form_->SetTop(window_->Top());
  }
  pointer_->SetDown(true);
  SelectionChanged();
  UpdateCaption();
  form_->Show();
}

void TStudio::NewForm() {
  if (designer_ && !ConfirmDiscard()) return;
  auto form = std::make_unique<host::TForm>(nullptr);
  form->SetName("Form1");
  form->SetCaption("Form1");
  form->SetBounds(0, 0, 480, 360);
  Design(std::move(form), "");
}

void TStudio::OpenForm(const std::string& path) {
  if (designer_ && !ConfirmDiscard()) return;
  auto form = std::make_unique<host::TForm>(nullptr);
  // Designed before it is read, so that its controls load as designed controls do.
  form->SetDesigning(true);
  host::TFileStream file(path, host::TFileMode::fmOpenRead);
  form->ReadFromStream(file);
  Design(std::move(form), path);
}

void TStudio::SaveForm(const std::string& path) {
  host::TMemoryStream binary;
  host::WriteComponent(binary, *form_);
  binary.SetPosition(0);
  host::TMemoryStream text;
  host::ObjectBinaryToText(binary, text);
  text.SaveToFile(path);
  path_ = path;
  designer_->ClearModified();
  UpdateCaption();
}

host::TCustomForm& TStudio::TestForm() {
  host::TMemoryStream binary;
  host::WriteComponent(binary, *form_);
  binary.SetPosition(0);
  host::TCustomForm* live = host::LoadForm(binary, nullptr);
  // The studio's window frees the copies still open when it goes; nameless, any number may be open.
  live->SetName("");
  window_->InsertComponent(live);
  live->SetCaption(form_->Caption() + " (test)");
  live->OnClose = [](host::TPersistent*, host::TCloseAction& action) { action = host::caFree; };
  live->SetLeft(form_->Left() + 24);
  live->SetTop(form_->Top() + 24);
  live->Show();
  return *live;
}

bool TStudio::ConfirmDiscard() {
  if (!designer_ || !designer_->IsModified()) return true;
  const std::string name = path_.empty() ? form_->Name() : std::filesystem::path(path_).filename().string();
  switch (host::MessageDlg("Save changes to " + name + "?", host::mtConfirmation,
                           {host::mbYes, host::mbNo, host::mbCancel})) {
    case host::mrYes:
      Save();
      return !designer_->IsModified();
    case host::mrNo:
      return true;
    default:
      return false;
  }
}

void TStudio::Save() {
  if (path_.empty())
    SaveAs();
  else
    SaveForm(path_);
}

void TStudio::SaveAs() {
  host::TSaveDialog dialog(nullptr);
  dialog.SetFilter(kFormFilter);
  dialog.SetDefaultExt("txt");
  dialog.SetFileName(path_.empty() ? form_->Name() + ".txt" : path_);
  if (dialog.Execute()) SaveForm(dialog.FileName());
}

void TStudio::Open() {
  host::TOpenDialog dialog(nullptr);
  dialog.SetFilter(kFormFilter);
  if (dialog.Execute()) OpenForm(dialog.FileName());
}

void TStudio::SelectionChanged() {
  inspector_->ListComponents(*form_, &designer_->Selection());
  inspector_->Inspect(designer_.get(), designer_->Selected());
}

void TStudio::UpdateCaption() {
  const std::string name = path_.empty() ? "(not saved)" : std::filesystem::path(path_).filename().string();
  window_->SetCaption("Vantora Studio - " + name + (designer_->IsModified() ? " *" : ""));
}

void TStudio::PopupContextMenu(host::TComponent& component, POINT p) {
  menu_->Clear();
  if (&component != form_.get()) {
    std::shared_ptr<host::TComponentEditor> editor = host::GetComponentEditor(component, *designer_);
    for (int i = 0; i < editor->GetVerbCount(); ++i)
      menu_->Add(editor->GetVerb(i), [editor, i](host::TPersistent*) { editor->ExecuteVerb(i); });
    if (editor->GetVerbCount() > 0) menu_->Add("-", nullptr);
    if (auto* control = dynamic_cast<host::TControl*>(&component)) {
      menu_->Add("Bring to front", [this, control](host::TPersistent*) {
        control->BringToFront();
        designer_->Modified();
      });
      menu_->Add("Send to back", [this, control](host::TPersistent*) {
        control->SendToBack();
        designer_->Modified();
      });
    }
    menu_->Add("Delete", [this](host::TPersistent*) { designer_->DeleteSelection(); });
  }
  menu_->Add("Test form", [this](host::TPersistent*) { TestForm(); });
  menu_->Popup(p.x, p.y);
}

}  // namespace vantora::studio
