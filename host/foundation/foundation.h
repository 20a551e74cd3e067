// Registration of the Foundation stand-in's classes and the host-side helpers around them.
#pragma once

namespace qv::host {

// Defines every Foundation class. Idempotent; the other host layers call it first.
void registerFoundation();

}  // namespace qv::host
