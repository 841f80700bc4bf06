#include "base/Fultype.h"  // the host uses nothing of the library
