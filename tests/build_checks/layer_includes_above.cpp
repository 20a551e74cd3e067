// A host layer is built on the layers below it and sees nothing of those above: a source of
// Foundation including a UIKit header, one of the runtime a Foundation header, or one of the
// home screen a header of what watches it, must fail to compile.
#if defined(QV_RUNTIME)
#include "foundation/ns_log.h"
#include "runtime/object_layout.h"
#elif defined(QV_SPRINGBOARD)
#include "springboard/springboard_internal.h"
#if !defined(QV_BELOW_ONLY)
#include "observe/state_dump.h"
#endif
#else
#include "foundation/foundation_internal.h"
#include "runtime/class_builder.h"
#if !defined(QV_BELOW_ONLY)
#include "uikit/views.h"
#endif
#endif
