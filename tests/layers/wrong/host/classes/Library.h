#include "base/Fultype.h"  // the host uses nothing of the library
VANTORA_API_BEGIN
VANTORA_API_END
