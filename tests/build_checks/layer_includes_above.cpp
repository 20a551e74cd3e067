// A host layer is built on the layers below it and sees nothing of those above: a source of
// Foundation including a UIKit header, or one of the runtime a Foundation header, must fail to
// compile.
#if defined(QV_RUNTIME)
#include "foundation/ns_log.h"
#include "runtime/object_layout.h"
#else
#include "foundation/foundation_internal.h"
#include "runtime/class_builder.h"
#if !defined(QV_BELOW_ONLY)
#include "uikit/views.h"
#endif
#endif
