// Registration of the UIKit, Quartz Core and Local Authentication stand-in.
#pragma once

namespace qv::host {

// Defines every UIKit class (and Foundation's first). Idempotent.
void registerUIKit();

}  // namespace qv::host
