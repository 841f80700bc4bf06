// The edit driven as a person drives it: typing, selecting with the mouse and the keyboard, the
// clipboard, limits, undo and untrusted text.
#include <string>
#include <vector>

#include "forms/FormsTestSupport.h"
#include "host/widgets/CustomEdit.h"

namespace vantora::host {
namespace {

using testing::FormsTest;

class EditTest : public FormsTest {
 protected:
  TEdit* NewEdit(int width = 120) {
    form = NewForm(300, 100);
    edit = Add<TEdit>(form, 10, 10, width, 21);
    edit->OnChange = [this](TPersistent*) { changes.push_back(edit->Text()); };
    form->Show();
    app->ProcessMessages();
    return edit;
  }
  void Keys(std::initializer_list<std::uint16_t> keys, std::uint32_t shift = 0) {
    for (std::uint16_t key : keys) input->PressKey(key, shift);
    app->ProcessMessages();
  }

  TForm* form = nullptr;
  TEdit* edit = nullptr;
  std::vector<std::string> changes;
};

TEST_F(EditTest, TypingSelectingAndDeleting) {
  NewEdit();
  EXPECT_TRUE(edit->Focused());
  driver.TypeText("hello world");
  EXPECT_EQ(edit->Text(), "hello world");
  EXPECT_EQ(changes.size(), 11u) << "OnChange after every character";
  EXPECT_EQ(edit->CaretPos(), 11);

  // Shift+Ctrl+Left takes the last word; typing replaces it.
  Keys({VK_LEFT}, ssShift | ssCtrl);
  EXPECT_EQ(edit->SelText(), "world");
  driver.TypeText("there");
  EXPECT_EQ(edit->Text(), "hello there");

  // Home, then Shift+Right twice, Delete.
  Keys({VK_HOME});
  Keys({VK_RIGHT, VK_RIGHT}, ssShift);
  EXPECT_EQ(edit->SelStart(), 0);
  EXPECT_EQ(edit->SelLength(), 2);
  Keys({VK_DELETE});
  EXPECT_EQ(edit->Text(), "llo there");
  Keys({VK_END, VK_BACK, VK_BACK});
  EXPECT_EQ(edit->Text(), "llo the");

  // A left arrow without Shift collapses a selection to its start.
  edit->SelectAll();
  Keys({VK_LEFT});
  EXPECT_EQ(edit->SelLength(), 0);
  EXPECT_EQ(edit->CaretPos(), 0);
  Keys({VK_BACK});
  EXPECT_EQ(edit->Text(), "llo the") << "Backspace at the start does nothing";
}

TEST_F(EditTest, MouseSelectsAndDoubleClickTakesAWord) {
  NewEdit(200);
  edit->SetText("alpha beta gamma");
  app->ProcessMessages();
  // A double click inside "beta".
  HDC dc = GetDC(nullptr);
  const int betaX = 4 + StylePainter::TextExtent(dc, "alpha b", edit->Font()).cx;
  ReleaseDC(nullptr, dc);
  const POINT p = At(*edit, betaX, 8);
  input->DoubleClick(form->Handle(), p.x, p.y);
  app->ProcessMessages();
  EXPECT_EQ(edit->SelText(), "beta");

  // Dragging from the start to past the end selects everything.
  const POINT from = At(*edit, 3, 8), to = At(*edit, 199, 8);
  input->MouseDown(form->Handle(), from.x, from.y);
  input->MouseMove(form->Handle(), to.x, to.y);
  input->MouseUp(form->Handle(), to.x, to.y);
  app->ProcessMessages();
  EXPECT_EQ(edit->SelText(), "alpha beta gamma");
}

TEST_F(EditTest, ClipboardUndoLimitsAndReadOnly) {
  NewEdit();
  driver.TypeText("copy me");
  edit->SelectAll();
  Keys({'C'}, ssCtrl);
  EXPECT_EQ(app->Backend().GetClipboardText(), "copy me");
  Keys({VK_END});
  Keys({'V'}, ssCtrl);
  EXPECT_EQ(edit->Text(), "copy mecopy me");
  Keys({'Z'}, ssCtrl);
  EXPECT_EQ(edit->Text(), "copy me") << "undo takes back the paste";
  Keys({'Z'}, ssCtrl);
  EXPECT_EQ(edit->Text(), "copy mecopy me") << "a second undo redoes it";

  edit->SelectAll();
  Keys({'X'}, ssCtrl);
  EXPECT_EQ(edit->Text(), "");
  EXPECT_EQ(app->Backend().GetClipboardText(), "copy mecopy me");

  // The clipboard holds UTF-8: an accented letter arrives as its single byte, a line break ends
  // the paste, invalid bytes and control characters go.
  app->Backend().SetClipboardText("caf\xC3\xA9\x01\xFF!\nsecond line");
  Keys({'V'}, ssCtrl);
  EXPECT_EQ(edit->Text(), "caf\xE9!");
  Keys({'C'}, ssCtrl);  // nothing selected: the clipboard stays
  edit->SelectAll();
  Keys({'C'}, ssCtrl);
  EXPECT_EQ(app->Backend().GetClipboardText(), "caf\xC3\xA9!");

  // MaxLength refuses what does not fit, with a beep.
  edit->SetText("");
  edit->SetMaxLength(4);
  const int beeps = input->Beeps();
  driver.TypeText("123456");
  EXPECT_EQ(edit->Text(), "1234");
  EXPECT_GT(input->Beeps(), beeps);
  app->Backend().SetClipboardText("abcdef");
  edit->SetSelStart(2);
  edit->SetSelLength(1);
  Keys({'V'}, ssCtrl);
  EXPECT_EQ(edit->Text(), "12a4");

  // Read-only text can be selected and copied, not changed.
  edit->SetReadOnly(true);
  changes.clear();
  edit->SelectAll();
  driver.TypeText("x");
  Keys({VK_BACK, VK_DELETE});
  Keys({'X'}, ssCtrl);
  Keys({'V'}, ssCtrl);
  EXPECT_EQ(edit->Text(), "12a4");
  EXPECT_TRUE(changes.empty());
  Keys({'C'}, ssCtrl);
  EXPECT_EQ(app->Backend().GetClipboardText(), "12a4");
}

TEST_F(EditTest, LongTextScrollsAndControlCharactersAreRefused) {
  NewEdit(80);
  driver.TypeText(std::string(300, 'W'));
  EXPECT_EQ(edit->Text().size(), 300u);
  // The caret stays inside the field while the text scrolls under it.
  const auto caretInside = [&] {
    const RECT client = edit->ClientRect();
    // The caret is drawn in the window-text colour; find it on the row through the text.
    for (int x = 2; x < client.right - 2; ++x)
      if (PixelAt(*edit, x, 10) == 0x000000u) return true;
    return false;
  };
  EXPECT_TRUE(caretInside());
  Keys({VK_HOME});
  EXPECT_EQ(edit->CaretPos(), 0);
  EXPECT_TRUE(caretInside());

  edit->SetText("");
  driver.TypeText(std::string("a\x01\x1B\tb\x7F", 6));
  EXPECT_EQ(edit->Text(), "ab");
  // Broken UTF-8 from the window system gives nothing and takes nothing after it: a lead byte
  // before a letter, an overlong slash, a cut three-byte sequence.
  input->Type(
      "\xC3"
      "c\xC0\xAF"
      "d\xE2\x82"
      "e\xC3\xA9");
  app->ProcessMessages();
  EXPECT_EQ(edit->Text(), "abcde\xE9");
  // Text from code is taken as it stands and painting it is safe.
  edit->SetText(std::string("\x01\x02\xFF") + std::string(100000, 'x'));
  app->ProcessMessages();
  Keys({VK_END});
  EXPECT_EQ(edit->CaretPos(), 100003);
}

TEST_F(EditTest, TextKeepsAMarginFromTheLeftBorder) {
  NewEdit();
  edit->SetText("HHH");
  Add<TEdit>(form, 10, 50, 120, 21)->SetFocus();  // no caret in the edit looked at
  driver.Process();
  constexpr int kFrame = 2;
  const int row = edit->Height() / 2;
  ASSERT_EQ(driver.PixelAt(*edit, kFrame, row), 0xFFFFFFu) << "the field inside its frame";
  int first = kFrame;
  while (first < edit->Width() && driver.PixelAt(*edit, first, row) == 0xFFFFFFu) ++first;
  ASSERT_LT(first, edit->Width()) << "the text shows";
  EXPECT_GE(first - kFrame, 3) << "clear columns between the frame and the first letter";
  EXPECT_LE(first - kFrame, 4);
}

}  // namespace
}  // namespace vantora::host
