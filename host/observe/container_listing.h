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

// What was last listed of each data container, with the count of changes the host had
// announced under it then (`AppState::containerChanges`). Every change the host makes under the
// device root is announced, so while the count stands still a container lists the same: a
// command that touches one app lists one container, not every container whose app it marked.
// Changes made behind the host's back (another program, a test writing the real folder) are
// not announced; `fresh` lists as the tree is now.
class ContainerListings {
 public:
  // The listing of the container at `devicePath`, listed again only if `changes` moved since.
  ContainerListing current(const std::string& devicePath, unsigned long changes);
  // Listed now, whatever the count, and kept.
  ContainerListing fresh(const std::string& devicePath, unsigned long changes);

 private:
  struct Known {
    unsigned long changes;
    ContainerListing listing;
  };
  std::mutex lock_;  // tests read the home screen from several threads
  std::unordered_map<std::string, Known> known_;
};

}  // namespace qv::host
