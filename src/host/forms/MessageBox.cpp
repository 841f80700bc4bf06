#include "host/forms/MessageBox.h"

#include <algorithm>
#include <vector>

#include "host/forms/Application.h"
#include "host/forms/Button.h"
#include "host/forms/Responder.h"
#include "host/forms/StylePainter.h"

namespace vantora::host {

namespace {

constexpr int kMargin = 12, kButtonWidth = 75, kButtonHeight = 25, kGap = 8;
constexpr int kMaxTextWidth = 400, kMinTextWidth = 120;

struct ButtonInfo {
  TMsgDlgBtn button;
  const char* name;
  const char* caption;
  TModalResult result;
};

constexpr ButtonInfo kButtons[] = {
    {mbYes, "Yes", "&Yes", mrYes},
    {mbNo, "No", "&No", mrNo},
    {mbOK, "OK", "OK", mrOk},
    {mbCancel, "Cancel", "Cancel", mrCancel},
    {mbAbort, "Abort", "&Abort", mrAbort},
    {mbRetry, "Retry", "&Retry", mrRetry},
    {mbIgnore, "Ignore", "&Ignore", mrIgnore},
};

std::string CaptionOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return "Warning";
    case mtError:
      return "Error";
    case mtInformation:
      return "Information";
    case mtConfirmation:
      return "Confirm";
    case mtCustom:
      break;
  }
  return Application ? Application->Title() : std::string();
}

// The sign of the message's kind beside its text.
class TMessageSign : public TGraphicControl {
 public:
  TMessageSign(TComponent* owner, StylePainter::MessageSign sign) : TGraphicControl(owner), sign_(sign) {
    SetBounds(0, 0, StylePainter::kMessageSignSize, StylePainter::kMessageSignSize);
  }

 protected:
  void Paint() override { StylePainter::MessageSignIcon(Canvas().Handle(), 0, 0, sign_, Font()); }

 private:
  StylePainter::MessageSign sign_;
};

// The message, its words wrapped to the width it is given.
class TMessageText : public TGraphicControl {
 public:
  explicit TMessageText(TComponent* owner) : TGraphicControl(owner) {}

  std::vector<std::string> Lines() {
    HDC dc = GetDC(nullptr);
    std::vector<std::string> lines = StylePainter::TextLines(dc, Caption(), Font(), Width());
    ReleaseDC(nullptr, dc);
    return lines;
  }
  int LineHeight() {
    HDC dc = GetDC(nullptr);
    const int height = StylePainter::TextExtent(dc, "Ag", Font()).cy;
    ReleaseDC(nullptr, dc);
    return height;
  }
  // The width the longest row needs, up to Limit.
  int NeededWidth(int limit) {
    HDC dc = GetDC(nullptr);
    int width = 0;
    for (const std::string& line : StylePainter::TextLines(dc, Caption(), Font(), 0))
      width = std::max<int>(width, StylePainter::TextExtent(dc, line, Font()).cx);
    ReleaseDC(nullptr, dc);
    return std::min(width, limit);
  }

 protected:
  void Paint() override {
    HDC dc = Canvas().Handle();
    const int lineHeight = LineHeight();
    int y = 0;
    for (const std::string& line : Lines()) {
      StylePainter::Caption(dc, RECT{0, y, Width(), y + lineHeight}, line, Font(), taLeftJustify, vaTop,
                            true);
      y += lineHeight;
    }
  }
};

StylePainter::MessageSign SignOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return StylePainter::MessageSign::Warning;
    case mtError:
      return StylePainter::MessageSign::Error;
    case mtConfirmation:
      return StylePainter::MessageSign::Question;
    default:
      return StylePainter::MessageSign::Information;
  }
}

}  // namespace

const TEnumInfo& TypeInfoOf(TMsgDlgBtn) {
  static const TEnumInfo info{"TMsgDlgBtn",
                              {"mbYes", "mbNo", "mbOK", "mbCancel", "mbAbort", "mbRetry", "mbIgnore"}};
  return info;
}

TModalResult MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
                        const std::string& caption) {
  TDialogRecord record;
  record.kind = TDialogKind::Message;
  record.title = caption.empty() ? CaptionOf(type) : caption;
  record.text = message;
  if (auto answer = DialogResponder().Take(record)) return answer->accept ? answer->button : mrCancel;
  std::vector<const ButtonInfo*> shown;
  for (const ButtonInfo& info : kButtons)
    if (buttons.Contains(info.button)) shown.push_back(&info);
  if (shown.empty()) shown.push_back(&kButtons[2]);

  TForm dialog(nullptr);
  dialog.SetName("MessageBox");
  dialog.SetCaption(record.title);
  dialog.SetBorderStyle(bsDialog);
  dialog.SetPosition(poScreenCenter);
  const bool withSign = type != mtCustom;
  if (withSign) {
    auto* icon = new TMessageSign(&dialog, SignOf(type));
    icon->SetName("Sign");
    icon->SetBounds(kMargin, kMargin, StylePainter::kMessageSignSize, StylePainter::kMessageSignSize);
    icon->SetParent(&dialog);
  }
  auto* text = new TMessageText(&dialog);
  text->SetName("Message");
  text->SetCaption(message);
  const int buttonsWidth = static_cast<int>(shown.size()) * (kButtonWidth + kGap) - kGap;
  const int textWidth = std::max(text->NeededWidth(kMaxTextWidth), kMinTextWidth);
  const int textLeft = kMargin + (withSign ? StylePainter::kMessageSignSize + kMargin : 0);
  const int width = std::max(textLeft + textWidth + kMargin, buttonsWidth + 2 * kMargin);
  text->SetBounds(textLeft, kMargin, textWidth, 13);
  text->SetHeight(static_cast<int>(text->Lines().size()) * text->LineHeight());
  text->SetParent(&dialog);
  // Short text stands level with the middle of the sign.
  if (withSign && text->Height() < StylePainter::kMessageSignSize)
    text->SetTop(kMargin + (StylePainter::kMessageSignSize - text->Height()) / 2);
  const int textBottom =
      std::max(text->Top() + text->Height(), withSign ? kMargin + StylePainter::kMessageSignSize : 0);
  const int buttonsTop = textBottom + 2 * kMargin;
  dialog.SetBounds(0, 0, width, buttonsTop + kButtonHeight + kMargin);
  // The first button is the default; Cancel, else No, else a lone OK answers Escape.
  const bool hasCancel = buttons.Contains(mbCancel), hasNo = buttons.Contains(mbNo);
  int x = (width - buttonsWidth) / 2;
  for (const ButtonInfo* info : shown) {
    auto* button = new TButton(&dialog);
    button->SetName(info->name);
    button->SetCaption(info->caption);
    button->SetModalResult(info->result);
    button->SetDefault(info == shown.front());
    button->SetCancel(info->button == mbCancel || (info->button == mbNo && !hasCancel) ||
                      (shown.size() == 1 && !hasNo));
    button->SetBounds(x, buttonsTop, kButtonWidth, kButtonHeight);
    button->SetParent(&dialog);
    if (info == shown.front()) dialog.SetActiveControl(button);
    x += kButtonWidth + kGap;
  }
  TModalResult result = dialog.ShowModal();
  if (result == mrNone) result = mrCancel;
  TDialogAnswer answer;
  answer.accept = result != mrCancel;
  answer.button = result;
  DialogResponder().Record(record, answer);
  return result;
}

void ShowMessage(const std::string& message) {
  MessageDlg(message, mtCustom, {mbOK});
}

}  // namespace vantora::host
