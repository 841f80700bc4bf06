#include "host/dialogs/CommonDialog.h"

namespace vantora::host {

const TClass& TCommonDialog::StaticClass() {
  static const TClass& cls = ClassBuilder<TCommonDialog>("TCommonDialog", TComponent::StaticClass()).Build();
  return cls;
}

}  // namespace vantora::host
