// A small application on the library: type a name, press Greet, and a decorated label says hello;
// Clear asks before it wipes the greeting. greeter_test.cpp tests it through the test driver.
#pragma once

#include "controls/Fulbtn.h"
#include "controls/Fullbl.h"
#include "host/forms/Forms.h"
#include "host/widgets/CustomEdit.h"

class TGreeterForm : public vantora::host::TForm {
 public:
  explicit TGreeterForm(vantora::host::TComponent* owner);

  vantora::host::TEdit* NameEdit = nullptr;
  vantora::TFulgoButton* GreetButton = nullptr;
  vantora::TFulgoButton* ClearButton = nullptr;
  vantora::TFulgoLabel* Greeting = nullptr;

 private:
  void Greet();
  void Clear();
};
