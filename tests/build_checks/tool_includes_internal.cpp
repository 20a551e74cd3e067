// A tool sees the host's public headers only: a layer's internals and the structs behind the
// objects of its frameworks are out of its reach, so including one must fail to compile.
#include "foundation/values.h"
#include "uikit/views.h"
#if defined(QV_FRAMEWORK_HEADER)
#include "uikit/view_objects.h"
#elif !defined(QV_PUBLIC_ONLY)
#include "foundation/foundation_internal.h"
#endif
