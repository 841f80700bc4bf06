#include "model/Fulgoart.h"  // a layer above core
VANTORA_API_BEGIN
VANTORA_API_END
