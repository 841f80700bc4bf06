#include "model/Fulgoart.h"  // a layer above core
