#include "host/dialogs/FontDialog.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

#include "host/dialogs/DialogForm.h"
#include "host/dialogs/MessageDialogs.h"
#include "host/forms/Responder.h"
#include "host/graphics/GdiOwners.h"
#include "host/widgets/CheckBox.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/GroupBox.h"
#include "host/widgets/ListBox.h"

namespace vantora::host {

namespace {

constexpr const char* kTitle = "Font";

constexpr int kMargin = 10;
constexpr int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
const char* const kStyles[] = {"Regular", "Italic", "Bold", "Bold Italic"};

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  return prefix.size() <= text.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

// The family whose letters are drawn for Name: itself when installed, else its substitute (Arial is
// drawn with Liberation Sans).
std::string DrawnFamily(const std::string& name) {
  LOGFONTA record{};
  std::strncpy(record.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  record.lfHeight = -12;
  Owned<HFONT> font(CreateFontIndirectA(&record));
  Owned<HDC> dc(CreateCompatibleDC(nullptr));
  SelectGuard selected(dc, font);
  char face[LF_FACESIZE] = {};
  return GetTextFaceA(dc, LF_FACESIZE, face) > 0 ? std::string(face) : name;
}

// An edit above a list: typing selects the first item that starts with the text, a click on
// an item puts it in the edit.
struct EditAndList {
  TEdit* edit;
  TListBox* list;
};

class TFontDialogForm : public TDialogForm {
 public:
  TFontDialogForm(TFont& font, TFontDialogOptions options, int minSize, int maxSize)
      : TDialogForm(kTitle, 420, 290), options_(options), minSize_(minSize), maxSize_(maxSize) {
    family_ = AddEditAndList("Family", "&Font:", kMargin, 180);
    style_ = AddEditAndList("Style", "Font st&yle:", kMargin + 190, 110);
    size_ = AddEditAndList("Size", "&Size:", kMargin + 310, 50);
    style_.edit->SetReadOnly(true);
    for (const std::string& family : FontFamilies(options.Contains(fdTrueTypeOnly)))
      family_.list->Items()->Add(family);
    for (const char* style : kStyles) style_.list->Items()->Add(style);
    for (int size : kSizes)
      if (!options.Contains(fdLimitSize) || (size >= minSize && (maxSize <= 0 || size <= maxSize)))
        size_.list->Items()->Add(std::to_string(size));

    const int lowerTop = 150;
    auto* effects = Place<TGroupBox>(this, "Effects", kMargin, lowerTop, 140, 70, "Effects");
    strikeOut_ = Place<TCheckBox>(effects, "StrikeOut", 10, 20, 120, 17, "Stri&keout");
    underline_ = Place<TCheckBox>(effects, "Underline", 10, 42, 120, 17, "&Underline");
    effects->SetVisible(options.Contains(fdEffects));
    auto* sampleBox = Place<TGroupBox>(this, "SampleBox", kMargin + 150, lowerTop, 210, 70, "Sample");
    sample_ = AddText(sampleBox, "Sample", 10, 18, 190, 44, "AaBbYyZz");
    sample_->SetLayout(tlCenter);
    sample_->SetAlignment(taCenter);
    sample_->SetParentFont(false);

    AddButton("OK", "OK", mrNone, 250, 240, true)->OnClick = [this](TPersistent*) { Accept(); };
    AddButton("Cancel", "Cancel", mrCancel, 330, 240, false, true);

    const bool listed = family_.list->Items()->IndexOf(font.Name()) >= 0;
    family_.edit->SetText(listed ? font.Name() : DrawnFamily(font.Name()));
    const TFontStyles style = font.Style();
    style_.edit->SetText(kStyles[(style.Contains(fsItalic) ? 1 : 0) + (style.Contains(fsBold) ? 2 : 0)]);
    size_.edit->SetText(std::to_string(font.Size()));
    strikeOut_->SetChecked(style.Contains(fsStrikeOut));
    underline_->SetChecked(style.Contains(fsUnderline));
    for (EditAndList* pair : {&family_, &style_, &size_}) SyncList(*pair);
    strikeOut_->OnClick = underline_->OnClick = [this](TPersistent*) { UpdateSample(); };
    UpdateSample();
    SetActiveControl(family_.edit);
  }

  void Apply(TFont& font) const {
    font.SetName(family_.edit->Text());
    font.SetSize(chosenSize_);
    font.SetStyle(Style());
  }

 private:
  EditAndList AddEditAndList(const std::string& name, const std::string& caption, int left, int width) {
    auto* label = AddText(this, name + "Label", left, kMargin, width, 13, caption);
    auto* edit = Place<TEdit>(this, name + "Edit", left, kMargin + 16, width, 21);
    auto* list = Place<TListBox>(this, name + "List", left, kMargin + 38, width, 96);
    label->SetFocusControl(edit);
    EditAndList pair{edit, list};
    list->OnClick = [this, pair](TPersistent*) {
      if (pair.list->ItemIndex() >= 0) pair.edit->SetText((*pair.list->Items())[pair.list->ItemIndex()]);
      UpdateSample();
    };
    edit->OnChange = [this, pair](TPersistent*) {
      SyncList(pair);
      UpdateSample();
    };
    return pair;
  }

  void SyncList(const EditAndList& pair) {
    const std::string text = pair.edit->Text();
    if (text.empty()) return;
    for (int i = 0; i < pair.list->Items()->Count(); ++i) {
      if (StartsWithIgnoringCase((*pair.list->Items())[i], text)) {
        pair.list->SetItemIndex(i);
        return;
      }
    }
  }

  TFontStyles Style() const {
    TFontStyles style;
    const std::string& name = style_.edit->Text();
    if (name.find("Bold") != std::string::npos) style.Include(fsBold);
    if (name.find("Italic") != std::string::npos) style.Include(fsItalic);
    if (strikeOut_->Checked()) style.Include(fsStrikeOut);
    if (underline_->Checked()) style.Include(fsUnderline);
    return style;
  }

  // The size in the edit, or 0 when it is no number of points.
  int TypedSize() const {
    const std::string& text = size_.edit->Text();
    if (text.empty() || text.size() > 4 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return 0;
    return std::stoi(text);
  }

  void UpdateSample() {
    if (!sample_) return;
    sample_->Font().SetName(family_.edit->Text());
    if (TypedSize() > 0) sample_->Font().SetSize(std::min(TypedSize(), 36));
    sample_->Font().SetStyle(Style());
  }

  void Accept() {
    const std::string& family = family_.edit->Text();
    if (options_.Contains(fdForceFontExist) && family_.list->Items()->IndexOf(family) < 0) {
      MessageDlg("There is no font with that name.\nChoose a font from the list of fonts.", mtWarning,
                 {mbOK});
      family_.edit->SetFocus();
      return;
    }
    const int size = TypedSize();
    if (size <= 0) {
      MessageDlg("Size must be a number.", mtWarning, {mbOK});
      size_.edit->SetFocus();
      return;
    }
    if (options_.Contains(fdLimitSize) && (size < minSize_ || (maxSize_ > 0 && size > maxSize_))) {
      MessageDlg(
          "Size must be between " + std::to_string(minSize_) + " and " + std::to_string(maxSize_) + ".",
          mtWarning, {mbOK});
      size_.edit->SetFocus();
      return;
    }
    chosenSize_ = size;
    SetModalResult(mrOk);
  }

  TFontDialogOptions options_;
  int minSize_, maxSize_;
  EditAndList family_{}, style_{}, size_{};
  TCheckBox* strikeOut_ = nullptr;
  TCheckBox* underline_ = nullptr;
  TLabel* sample_ = nullptr;
  int chosenSize_ = 0;
};

}  // namespace

std::vector<std::string> FontFamilies(bool scalableOnly) {
  std::set<std::string> families;
  // A configuration of its own, freed again: fontconfig's implicit default one lives until exit.
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return {};
  FcPattern* pattern = FcPatternCreate();
  if (scalableOnly) FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, static_cast<char*>(nullptr));
  if (FcFontSet* set = FcFontList(config, pattern, objects)) {
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* family = nullptr;
      if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
        families.insert(reinterpret_cast<const char*>(family));
    }
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  FcConfigDestroy(config);
  return {families.begin(), families.end()};
}

const TEnumInfo& TypeInfoOf(TFontDialogOption) {
  static const TEnumInfo info{"TFontDialogOption",
                              {"fdEffects", "fdTrueTypeOnly", "fdForceFontExist", "fdLimitSize"}};
  return info;
}

const TClass& TFontDialog::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TFontDialog>("TFontDialog", TCommonDialog::StaticClass())
          .Property("Font", &TFontDialog::Font, &TFontDialog::SetFont)
          .Property("MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::SetMaxFontSize, 0)
          .Property("MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::SetMinFontSize, 0)
          .Property("Options", &TFontDialog::Options, &TFontDialog::SetOptions, TFontDialogOptions{fdEffects})
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TFontDialog);

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), font_(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
  TDialogRecord record;
  record.kind = TDialogKind::Font;
  record.title = kTitle;
  record.fontName = font_->Name();
  record.fontSize = font_->Size();
  if (auto answer = DialogResponder().Take(record)) {
    if (!answer->accept) return false;
    if (!answer->fontName.empty()) font_->SetName(answer->fontName);
    if (answer->fontSize > 0) font_->SetSize(answer->fontSize);
    font_->SetStyle(answer->fontStyle);
    return true;
  }
  TFontDialogForm form(*font_, options_, minFontSize_, maxFontSize_);
  TDialogAnswer answer;
  answer.accept = form.Run() == mrOk;
  if (answer.accept) form.Apply(*font_);
  answer.fontName = font_->Name();
  answer.fontSize = font_->Size();
  answer.fontStyle = font_->Style();
  DialogResponder().Record(record, answer);
  return answer.accept;
}

}  // namespace vantora::host
