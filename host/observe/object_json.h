// Host objects as the dump shows them: property-list values, colours, views, shortcut items
// and images.
#pragma once

#include "platform/objc.h"
#include "springboard/json.h"

namespace qv::host {

// Property-list objects (and colours) as JSON; anything else by its class name.
Json objectJson(id obj);
// Components rounded to four places; null for nil.
Json colorJson(id color);
Json viewJson(id view);
Json itemJson(id item);
Json imageJson(id image);
// The way the dump rounds alphas, tints and components.
double rounded(double value);

}  // namespace qv::host
