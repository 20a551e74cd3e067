// The files of a data container as the dump lists them: every one, however many and however
// deep, without following links.
#pragma once

#include <string>
#include <vector>

namespace qv::host {

struct ContainerListing {
  std::vector<std::string> files;       // regular files and links, relative, sorted
  std::vector<std::string> unreadable;  // folders that could not be read ("." for the top)
};

// A missing folder holds nothing. The walk holds one descriptor at a time whatever the depth,
// so a tree deeper than a path can name is listed too.
ContainerListing listContainer(const std::string& realFolder);

}  // namespace qv::host
