// Forms end to end: modal results, timers on the virtual clock, exceptions shown and survived,
// deferred freeing, streaming, painting and palette negotiation.
#include <cstdio>
#include <filesystem>

#include "forms/FormsTestSupport.h"
#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"
#include "host/forms/Responder.h"
#include "host/graphics/PictureFile.h"

namespace vantora::host {
namespace {

using testing::FormsTest;

void SetText(TMemoryStream& stream, const std::string& text) {
  stream.Clear();
  stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  stream.SetPosition(0);
}

std::uint32_t PixelOf(COLORREF c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

TForm* NewDialog(TApplication* app, TButton** ok, TButton** cancel) {
  auto* dialog = new TForm(app);
  dialog->SetBounds(0, 0, 200, 80);
  *ok = new TButton(dialog);
  (*ok)->SetParent(dialog);
  (*ok)->SetModalResult(mrOk);
  (*ok)->SetDefault(true);
  *cancel = new TButton(dialog);
  (*cancel)->SetParent(dialog);
  (*cancel)->SetLeft(100);
  (*cancel)->SetModalResult(mrCancel);
  (*cancel)->SetCancel(true);
  return dialog;
}

TEST_F(FormsTest, ModalResultsFromKeysButtonsAndTimers) {
  // The modal loop itself is under test here, with input queued and timers, not a test's script.
  DialogResponder().OnShow = nullptr;
  TForm* main = NewForm();
  main->Show();
  TButton *ok = nullptr, *cancel = nullptr;
  TForm* dialog = NewDialog(app, &ok, &cancel);
  // The focus rests on a control that does not take Enter or Escape itself.
  auto* field = new TPanel(dialog);
  field->SetParent(dialog);
  field->SetTop(40);
  field->SetTabStop(true);
  dialog->SetActiveControl(field);

  input->PressKey(VK_RETURN);
  EXPECT_EQ(dialog->ShowModal(), mrOk) << "Enter presses the default button";
  EXPECT_FALSE(dialog->Visible());
  EXPECT_TRUE(main->Active()) << "the form that was active before takes over again";
  input->PressKey(VK_ESCAPE);
  EXPECT_EQ(dialog->ShowModal(), mrCancel) << "Escape presses the cancel button";

  // While a modal form runs, other windows get no clicks; a refused close keeps it open.
  int mainClicks = 0;
  main->OnClick = [&](TPersistent*) { ++mainClicks; };
  int queries = 0;
  dialog->OnCloseQuery = [&](TPersistent*, bool& canClose) { canClose = ++queries > 1; };
  input->Click(main->Handle(), 5, 5);
  input->Click(dialog->Handle(), ok->Left() + 3, 3);
  input->Click(dialog->Handle(), cancel->Left() + 3, 3);
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(mainClicks, 0);

  // A modal form opened from a timer, closed by another timer that fires inside its loop.
  int ticks = 0;
  TTimer opener(main);
  opener.SetInterval(50);
  TModalResult fromTimer = mrNone;
  opener.OnTimer = [&](TPersistent*) {
    opener.SetEnabled(false);
    fromTimer = dialog->ShowModal();
  };
  TTimer closer(main);
  closer.SetInterval(30);
  closer.OnTimer = [&](TPersistent*) {
    if (++ticks == 3 && dialog->Modal()) dialog->SetModalResult(mrRetry);
  };
  while (fromTimer == mrNone && !app->Terminated()) app->HandleMessage();
  EXPECT_EQ(fromTimer, mrRetry);
  EXPECT_EQ(ticks, 3) << "the closing timer kept firing during the modal loop";
  dialog->OnCloseQuery = nullptr;

  // Nobody will ever answer a headless modal form without input or timers: it says so instead of
  // hanging, and the application still takes input after it.
  opener.SetEnabled(false);
  closer.SetEnabled(false);
  EXPECT_THROW(dialog->ShowModal(), EModalUnanswered);
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(app->Terminated());
  input->Click(main->Handle(), 5, 5);
  app->ProcessMessages();
  EXPECT_EQ(mainClicks, 1);
}

TEST_F(FormsTest, TimersRunOnTheVirtualClock) {
  TForm* form = NewForm();
  TTimer timer(form);
  timer.SetInterval(100);
  int fired = 0;
  timer.OnTimer = [&](TPersistent*) { ++fired; };
  struct Ticking : TPanel {
    using TPanel::TPanel;
    int ticks = 0;
    void WMTimer(TMessage& m) override { ticks += static_cast<int>(m.WParam); }
  };
  auto* ticking = Add<Ticking>(form, 0, 0, 10, 10);
  SetTimer(ticking, 7, 30);
  app->ProcessMessages();
  EXPECT_EQ(fired, 0);
  input->Advance(99);
  app->ProcessMessages();
  EXPECT_EQ(fired, 0);
  input->Advance(1);
  app->ProcessMessages();
  EXPECT_EQ(fired, 1);
  input->Advance(1000);  // a late timer fires once, not ten times
  app->ProcessMessages();
  EXPECT_EQ(fired, 2);
  EXPECT_EQ(ticking->ticks, 14);
  EXPECT_TRUE(KillTimer(ticking, 7));
  timer.SetEnabled(false);
  input->Advance(1000);
  app->ProcessMessages();
  EXPECT_EQ(fired, 2);
  EXPECT_EQ(ticking->ticks, 14);
  EXPECT_EQ(app->GetTickCount(), 2100u);
}

TEST_F(FormsTest, HintsShowAfterTheMouseRestsAndGoOnClickOrLeave) {
  TForm* form = NewForm(200, 120);
  form->Show();
  auto* save = Add<TPanel>(form, 10, 10, 60, 30);
  save->SetHint("Saves the look");
  save->SetShowHint(true);
  auto* inner = Add<TPanel>(save, 5, 5, 20, 20);  // no hint of its own: shows its parent's
  auto* quiet = Add<TPanel>(form, 100, 10, 60, 30);
  quiet->SetHint("Never shown");  // ShowHint is off
  app->ProcessMessages();
  auto hintShown = [&] { return app->HintWindow() && input->IsShown(app->HintWindow()->Handle()); };

  const POINT over = At(*inner, 2, 2);
  input->MouseMove(form->Handle(), over.x, over.y);
  app->ProcessMessages();
  input->Advance(app->HintPause() - 1);
  app->ProcessMessages();
  EXPECT_FALSE(hintShown());
  input->Advance(1);
  app->ProcessMessages();
  ASSERT_TRUE(hintShown());
  EXPECT_EQ(app->HintWindow()->Caption(), "Saves the look");
  EXPECT_EQ(app->HintWindow()->Top(), form->Top() + over.y + 20);
  EXPECT_EQ(app->Screen().ActiveForm(), form) << "a hint never takes activation";
  input->Advance(app->HintHidePause());
  app->ProcessMessages();
  EXPECT_FALSE(hintShown()) << "a hint goes after a while";

  input->MouseMove(form->Handle(), At(*save, 50, 2).x, At(*save, 50, 2).y);
  app->ProcessMessages();
  input->Advance(app->HintPause());
  app->ProcessMessages();
  EXPECT_TRUE(hintShown());
  input->Click(form->Handle(), At(*save, 50, 2).x, At(*save, 50, 2).y);
  app->ProcessMessages();
  EXPECT_FALSE(hintShown()) << "a click takes the hint away";

  const POINT off = At(*quiet, 2, 2);
  input->MouseMove(form->Handle(), off.x, off.y);
  app->ProcessMessages();
  input->Advance(app->HintPause() * 4);
  app->ProcessMessages();
  EXPECT_FALSE(hintShown());
}

TEST_F(FormsTest, EscapedExceptionsAreShownAndTheProgramGoesOn) {
  TForm* form = NewForm();
  auto* button = Add<TButton>(form, 10, 10, 60, 25);
  int clicks = 0;
  button->OnClick = [&](TPersistent*) {
    if (++clicks == 1) throw EConvertError("'abc' is not a valid integer value");
  };
  // Without a handler of its own the program shows them in a box titled with its name.
  app->OnException = nullptr;
  std::string shown;
  driver.OnModal(app->Title(), [&](TCustomForm& box) {
    shown = driver.Find<TControl>(box, "Message").Caption();
    driver.PressKey(VK_RETURN);
  });
  form->Show();
  driver.Click(*button);
  EXPECT_EQ(shown, "'abc' is not a valid integer value.");
  EXPECT_FALSE(app->Terminated());
  driver.Click(*button);
  EXPECT_EQ(clicks, 2);

  // OnException takes over; an exception from a paint arrives there too.
  std::vector<std::string> caught;
  app->OnException = [&](TPersistent*, const Exception& e) { caught.push_back(e.Message()); };
  struct Failing : TPanel {
    using TPanel::TPanel;
    void Paint() override { throw EInvalidGraphic("Bad paint"); }
  };
  Add<Failing>(form, 100, 10, 30, 30);
  app->ProcessMessages();
  EXPECT_EQ(caught, std::vector<std::string>{"Bad paint"});
}

TEST_F(FormsTest, AFormFreedFromItsOwnHandlerGoesAtASafePoint) {
  TForm* form = NewForm();
  auto* button = Add<TButton>(form, 10, 10, 60, 25);
  bool destroyed = false;
  form->OnDestroy = [&](TPersistent*) { destroyed = true; };
  form->OnClose = [](TPersistent*, TCloseAction& action) { action = caFree; };
  button->OnClick = [&](TPersistent*) {
    form->Close();
    EXPECT_FALSE(destroyed);
  };
  form->Show();
  const int forms = Screen->FormCount();
  Click(*button);
  app->ProcessMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Screen->FormCount(), forms - 1);

  // Freed straight away inside its own click: the rest of the mouse handling leaves it alone.
  TForm* other = NewForm();
  auto* self = Add<TButton>(other, 10, 10, 60, 25);
  self->OnClick = [&](TPersistent*) { delete other; };
  other->Show();
  Click(*self);
  app->ProcessMessages();
  EXPECT_EQ(Screen->FormCount(), forms - 1);
}

TEST_F(FormsTest, FormsStreamWithAllTheirChildren) {
  TForm* form = NewForm(300, 200);
  form->SetName("Main");
  form->SetCaption("Settings");
  form->SetPosition(poScreenCenter);
  auto* top = Add<TPanel>(form, 0, 0, 10, 30);
  top->SetName("Top");
  top->SetAlign(alTop);
  top->SetBevelOuter(bvLowered);
  auto* client = Add<TPanel>(form, 0, 0, 10, 10);
  client->SetName("Client");
  client->SetAlign(alClient);
  auto* ok = Add<TButton>(client, 20, 20, 75, 25);
  ok->SetName("OkButton");
  ok->SetCaption("OK");
  ok->Font().SetStyle(TFontStyles{fsBold});
  form->SetActiveControl(ok);
  auto* timer = new TTimer(form);
  timer->SetName("Clock");
  timer->SetInterval(250);
  TMemoryStream stream;
  WriteComponent(stream, *form);
  delete form;

  stream.SetPosition(0);
  const std::string text = ObjectBinaryToText(std::string(stream.Memory(), stream.Memory() + stream.Size()));
  TMemoryStream textStream;
  SetText(textStream, text);
  TCustomForm* loaded = LoadForm(textStream, app);
  EXPECT_EQ(loaded->Caption(), "Settings");
  EXPECT_EQ(loaded->Position(), poScreenCenter);
  auto* loadedClient = dynamic_cast<TPanel*>(loaded->FindComponent("Client"));
  auto* loadedOk = dynamic_cast<TButton*>(loaded->FindComponent("OkButton"));
  ASSERT_TRUE(loadedClient && loadedOk);
  EXPECT_EQ(loadedOk->Parent(), loadedClient);
  EXPECT_EQ(loaded->ActiveControl(), loadedOk) << "the reference is fixed up by name";
  EXPECT_TRUE(loadedOk->Font().Style().Contains(fsBold));
  EXPECT_FALSE(loadedOk->ParentFont());
  EXPECT_EQ(loadedClient->BoundsRect().top, 30) << "aligned below the top panel after loading";
  EXPECT_EQ(loadedClient->Height(), 170);
  EXPECT_EQ(dynamic_cast<TTimer*>(loaded->FindComponent("Clock"))->Interval(), 250u);
  delete loaded;

  // A stream that fails half-way leaves no form, window or drawing object behind.
  const int forms = Screen->FormCount();
  const int objects = LiveGdiObjectCount();
  TMemoryStream broken;
  SetText(broken, text.substr(0, text.find("object OkButton")) + "object X: TNoSuchClass\nend\nend\nend\n");
  try {
    LoadForm(broken, app);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.Message()).find("TNoSuchClass"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(Screen->FormCount(), forms);
  EXPECT_EQ(LiveGdiObjectCount(), objects);
}

// A windowless control that counts its paints and fills itself with one colour.
struct Swatch : TGraphicControl {
  explicit Swatch(TComponent* owner) : TGraphicControl(owner) {}
  int paints = 0;
  TColor fill = clRed;
  HPALETTE palette = nullptr;
  std::function<void()> during;
  HPALETTE GetPalette() override { return palette; }
  void Paint() override {
    ++paints;
    if (during) during();
    Canvas().Brush().SetColor(fill);
    Canvas().FillRect(RECT{-50, -50, 500, 500});  // the clip keeps it inside the control
  }
};

TEST_F(FormsTest, PaintIsMergedClippedAndOncePerTurn) {
  TForm* form = NewForm();
  auto* left = Add<TPanel>(form, 0, 0, 100, 120);
  left->SetBevelOuter(bvNone);
  auto* swatch = new Swatch(form);
  swatch->SetBounds(10, 10, 20, 20);
  swatch->SetParent(left);
  form->Show();
  app->ProcessMessages();
  EXPECT_EQ(swatch->paints, 1);
  EXPECT_EQ(PixelAt(*swatch, 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(*swatch, 19, 19), 0xFF0000u);
  EXPECT_EQ(PixelAt(*swatch, 20, 20), PixelOf(GetSysColor(COLOR_BTNFACE)));

  swatch->Invalidate();
  swatch->Invalidate();
  left->Invalidate();
  app->ProcessMessages();
  EXPECT_EQ(swatch->paints, 2);
  // Handling messages from inside a paint paints nothing twice.
  swatch->during = [&] { app->ProcessMessages(); };
  swatch->Invalidate();
  app->ProcessMessages();
  EXPECT_EQ(swatch->paints, 3);
  swatch->during = nullptr;
  swatch->fill = clBlue;
  swatch->Repaint();
  EXPECT_EQ(swatch->paints, 4);
  EXPECT_EQ(PixelAt(*swatch, 5, 5), 0x0000FFu);

  // The screen shows what was presented; a screenshot holds the window's pixels.
  const std::string path = ::testing::TempDir() + "forms-shot.png";
  input->Screenshot(form->Handle(), path);
  const DibImage shot = ReadPictureFile(path);
  std::remove(path.c_str());
  EXPECT_EQ(shot.Width(), 200);
  EXPECT_EQ(shot.Height(), 120);
  const SurfacePixels screen = GetSurfacePixels(nullptr);
  EXPECT_EQ(screen.pixels[15 * screen.width + 15], 0x0000FFu);
}

TEST_F(FormsTest, TheFocusedFormsPaletteIsTheExactOne) {
  SetDisplayMode(DisplayMode::Palette256);
  auto makePalette = [](int red, int blue) {
    std::vector<BYTE> block(4 + 236 * 4);
    auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
    log->palVersion = 0x300;
    log->palNumEntries = 236;
    auto* entries = reinterpret_cast<PALETTEENTRY*>(block.data() + 4);
    for (int i = 0; i < 236; ++i)
      entries[i] =
          PALETTEENTRY{static_cast<BYTE>(red ? 19 + i : 3), 7, static_cast<BYTE>(blue ? 19 + i : 3), 0};
    return CreatePalette(log);
  };
  HPALETTE reds = makePalette(1, 0), blues = makePalette(0, 1);
  TForm* a = NewForm(60, 60);
  TForm* b = NewForm(60, 60);
  b->SetLeft(100);
  auto* redSwatch = new Swatch(a);
  redSwatch->SetBounds(0, 0, 20, 20);
  redSwatch->SetParent(a);
  redSwatch->palette = reds;
  redSwatch->fill = RGB(150, 7, 3);
  auto* blueSwatch = new Swatch(b);
  blueSwatch->SetBounds(0, 0, 20, 20);
  blueSwatch->SetParent(b);
  blueSwatch->palette = blues;
  blueSwatch->fill = RGB(3, 7, 150);
  b->Show();
  a->Show();
  app->ProcessMessages();
  EXPECT_EQ(PixelAt(*redSwatch, 1, 1), 0x960703u);
  EXPECT_NE(PixelAt(*blueSwatch, 1, 1), 0x030796u) << "the background form's colours are only near";

  input->Activate(b->Handle());
  app->ProcessMessages();
  EXPECT_TRUE(b->Active());
  EXPECT_EQ(PixelAt(*blueSwatch, 1, 1), 0x030796u);
  EXPECT_NE(PixelAt(*redSwatch, 1, 1), 0x960703u);
  delete a;
  delete b;
  DeleteObject(reds);
  DeleteObject(blues);
  SetDisplayMode(DisplayMode::TrueColor);
}

}  // namespace
}  // namespace vantora::host
