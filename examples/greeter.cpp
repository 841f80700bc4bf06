#include "greeter.h"

#include "host/classes/Platform.h"
#include "host/forms/MessageBox.h"

using namespace vantora;

TGreeterForm::TGreeterForm(host::TComponent* owner) : host::TForm(owner) {
  SetName("Greeter");
  SetCaption("Greeter");
  SetBounds(0, 0, 330, 170);

  NameEdit = new host::TEdit(this);
  NameEdit->SetName("NameEdit");
  NameEdit->SetBounds(16, 16, 180, 21);
  NameEdit->SetParent(this);

  // The label's look: an amber plate; it takes the size of its face when it paints.
  Greeting = new TFulgoLabel(this);
  Greeting->SetName("Greeting");
  Greeting->SetParent(this);
  Greeting->SetLeft(16);
  Greeting->SetTop(56);
  Greeting->SetCaption("Who is there?");
  Greeting->Art->FulgoBackground->FulgoColor->SetBrush(0x00E0FF);

  GreetButton = new TFulgoButton(this);
  GreetButton->SetName("GreetButton");
  GreetButton->SetBounds(16, 116, 140, 38);
  GreetButton->SetCaption("Greet");
  GreetButton->SetParent(this);
  GreetButton->OnClick = [this](host::TPersistent*) { Greet(); };

  ClearButton = new TFulgoButton(this);
  ClearButton->SetName("ClearButton");
  ClearButton->SetBounds(172, 116, 140, 38);
  ClearButton->SetCaption("Clear");
  ClearButton->SetParent(this);
  ClearButton->OnClick = [this](host::TPersistent*) { Clear(); };
}

void TGreeterForm::Greet() {
  if (NameEdit->Text().empty()) {
    host::MessageBeep();
    NameEdit->SetFocus();
    return;
  }
  Greeting->SetCaption("Hello, " + NameEdit->Text() + "!");
}

void TGreeterForm::Clear() {
  if (host::MessageDlg("Clear the greeting?", host::mtConfirmation, {host::mbYes, host::mbNo}) != host::mrYes)
    return;
  NameEdit->SetText("");
  Greeting->SetCaption("Who is there?");
}
