// A fresh device root per test, and small helpers for files and hand-made binary plists.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/device_root.h"
#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "runtime/object_refs.h"

namespace qv::test {

class StorageTest : public testing::Test {
 protected:
  void SetUp() override {
    host::registerFoundation();
    char tmpl[] = "/tmp/qv-storage-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    host::setDeviceRoot(root_);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  std::string real(const std::string& device) const { return host::realPath(device); }

  void makeFolder(const std::string& device) const {
    std::filesystem::create_directories(real(device));
  }
  void writeRaw(const std::string& device, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(real(device)).parent_path());
    std::ofstream out(real(device), std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::string readRaw(const std::string& device) const {
    std::ifstream in(real(device), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool existsReal(const std::string& device) const {
    struct stat st;
    return ::lstat(real(device).c_str(), &st) == 0;
  }
  // Names in a device folder, sorted.
  std::vector<std::string> namesIn(const std::string& device) const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(real(device))) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  AutoreleasePool pool_;
  std::string root_;
};

// Builds binary property lists object by object, with 4-byte references and offsets.
class BinaryPlist {
 public:
  size_t add(std::string object) {
    objects_.push_back(std::move(object));
    return objects_.size() - 1;
  }
  static std::string array(const std::vector<uint32_t>& refs) {
    return withCount(0xA0, refs.size()) + refBytes(refs);
  }
  static std::string dict(const std::vector<uint32_t>& keys, const std::vector<uint32_t>& values) {
    return withCount(0xD0, keys.size()) + refBytes(keys) + refBytes(values);
  }
  static std::string string(const std::string& ascii) {
    return withCount(0x50, ascii.size()) + ascii;
  }
  static std::string utf16(const std::u16string& text) {
    std::string s = withCount(0x60, text.size());
    for (char16_t unit : text) s += be(unit, 2);
    return s;
  }
  static std::string integer(uint64_t v) { return "\x13" + be(v, 8); }
  static std::string date(double secondsSince2001) {
    uint64_t bits = 0;
    std::memcpy(&bits, &secondsSince2001, sizeof bits);
    return "\x33" + be(bits, 8);
  }
  static std::string uid(uint8_t v) { return std::string("\x80", 1) + static_cast<char>(v); }

  std::string build(uint64_t top) const {
    std::string out = "bplist00";
    std::vector<uint32_t> offsets;
    for (const std::string& o : objects_) {
      offsets.push_back(static_cast<uint32_t>(out.size()));
      out += o;
    }
    uint64_t table = out.size();
    for (uint32_t o : offsets) out += be(o, 4);
    out += std::string(6, '\0');
    out += '\x04';
    out += '\x04';
    out += be(objects_.size(), 8) + be(top, 8) + be(table, 8);
    return out;
  }

 private:
  static std::string be(uint64_t v, int n) {
    std::string s;
    for (int i = n - 1; i >= 0; i--) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  }
  static std::string withCount(uint8_t type, size_t n) {
    if (n < 15) return std::string(1, static_cast<char>(type | n));
    return std::string(1, static_cast<char>(type | 0xF)) + "\x12" + be(n, 4);
  }
  static std::string refBytes(const std::vector<uint32_t>& refs) {
    std::string s;
    for (uint32_t r : refs) s += be(r, 4);
    return s;
  }
  std::vector<std::string> objects_;
};

}  // namespace qv::test
