// The open menu's views as the dump shows them, for the dump's own sources.
#pragma once

#include "springboard/json.h"
#include "springboard/menu_presenter.h"

namespace qv::host {

// A version-13 action group: the group view, its background view, rows with their titles and
// the separators with their kind.
Json actionGroupJson(const ActionGroupViews& group);

}  // namespace qv::host
