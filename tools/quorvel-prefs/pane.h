// The phone's settings pane: a PreferenceLoader entry written from the key table, so that the
// pane, this program and the library agree on every key, label and default.
#pragma once

#include <string>

namespace qv::prefs {

// The file name of the pane's icon, which the package puts beside the pane.
inline constexpr const char* kPaneIcon = "Quorvel.png";

// The pane as an XML property list: an entry with its icon; one switch per boolean setting,
// menuColorAlpha as a slider under a group header carrying its label, the static colour as a
// text field; each cell writes its domain and posts its reload.
std::string paneXML();

}  // namespace qv::prefs
