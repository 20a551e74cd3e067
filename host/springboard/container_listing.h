// The files of a data container as the dump lists them: every one, however many and however
// deep, without following links.
#pragma once

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace qv::host {

struct ContainerListing {
  std::vector<std::string> files;       // regular files and links, relative, sorted
  std::vector<std::string> unreadable;  // folders that could not be read ("." for the top)
};

// A missing folder holds nothing. The walk holds one descriptor at a time whatever the depth,
// so a tree deeper than a path can name is listed too.
ContainerListing listContainer(const std::string& realFolder);

// What the home screen last listed of each data container, kept until a change under it is
// noted. Every change the host makes under the device root is announced, so between two of
// them a container lists the same: a command that touches one app lists one container, not
// every container whose app it marked. Changes made behind the host's back (another program,
// a test writing the real folder) are not announced; `fresh` lists as the tree is now.
class ContainerListings {
 public:
  // The listing of the container at `devicePath`, listed again only if changed since.
  ContainerListing current(const std::string& devicePath);
  // Listed now, whatever was noted, and kept.
  ContainerListing fresh(const std::string& devicePath);
  // A change at `devicePath`: what was listed under it, or above it, is listed again.
  void changed(const std::string& devicePath);

 private:
  std::mutex lock_;  // changes are announced on whatever thread made them
  std::unordered_map<std::string, ContainerListing> known_;
};

}  // namespace qv::host
