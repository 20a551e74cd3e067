// The host, the tools and the tests see the platform interfaces, never the library's own
// headers: including one must fail to compile.
#include "menu/catalogue.h"
#include "platform/objc.h"
