// Foundation's own registration of its classes, by area; the value objects' structs are in
// value_objects.h.
#pragma once

#include "foundation/value_objects.h"
#include "foundation/values.h"

namespace qv::host {

namespace detail {
extern Class stringClassObject;  // set when NSString is defined
}  // namespace detail

// Per-area registration, run by registerFoundation() in dependency order.
void registerNSObject();
void registerValueClasses();
void registerCollections();
// Blocks, the main queue and the notification centre.
void registerEvents();
// Dates, errors, property-list files, URLs, the file manager, preferences, archiving.
void registerStorage();

}  // namespace qv::host
