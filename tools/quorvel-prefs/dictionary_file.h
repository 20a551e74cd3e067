// A property-list file holding a dictionary, read whole before a change and written back
// whole, so that the keys this program does not know survive its writes. The file's domain is
// locked from the read to the end of the object's life, so that the home screen's own
// updates of it (the app lists, the wallpaper colour) cannot be lost in between.
#pragma once

#include <memory>
#include <string>

#include "foundation/preferences.h"
#include "platform/objc.h"
#include "runtime/object_refs.h"

namespace qv::prefs {

class DictionaryFile {
 public:
  enum class State {
    Missing,   // nothing there yet (or an empty file): no entries
    Read,      // a dictionary
    Unusable,  // there, but not a dictionary this program can read; problem() says why
  };

  // Reads the file at a device path ("/.../DOMAIN.plist").
  explicit DictionaryFile(std::string devicePath);

  State state() const { return state_; }
  const std::string& problem() const { return problem_; }
  // Where the file is on this computer, for messages.
  std::string realFile() const;

  // Throws Failure when the file is unusable, unless `force` (then it starts empty).
  void requireReadable(bool force, const std::string& what) const;

  id get(const std::string& key) const;  // nil when absent
  void set(const std::string& key, id value);
  void remove(const std::string& key);
  // A mutable dictionary of everything read or set.
  id entries() const { return entries_.get(); }

  // Writes the whole dictionary atomically (temporary file, then rename), creating missing
  // folders. Throws Failure.
  void save();

 private:
  std::string path_;
  std::unique_ptr<host::PreferencesLock> lock_;
  State state_ = State::Missing;
  std::string problem_;
  Strong entries_;
};

}  // namespace qv::prefs
