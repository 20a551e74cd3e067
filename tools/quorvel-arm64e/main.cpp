// quorvel-arm64e: links the arm64e slice with a linker that cannot write authenticated
// pointers, in two steps around it.
//   quorvel-arm64e prepare IN.o OUT.o       OUT.o links as arm64; OUT.o.auth records what the
//                                           compiler asked to authenticate
//   (ld64.lld -arch arm64 -fixup_chains -init_offsets -map MAP ... OUT.o ...)
//   quorvel-arm64e finish IN.dylib MAP OUT.dylib
//                                           the arm64e slice: each object's records (PATH.auth
//                                           beside each object the map names) become
//                                           authenticated fixups, the header arm64e, signed again
//   quorvel-arm64e check UNIVERSAL.dylib    the universal file's slices, minimum OS versions,
//                                           signatures and arm64e fixups
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "link_map.h"
#include "object_rewrite.h"
#include "slice_rewrite.h"
#include "universal_check.h"

using namespace qv::arm64e;

namespace {

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ToolError{"cannot read " + path};
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const std::string& path) {
  std::vector<uint8_t> bytes = readBytes(path);
  return {bytes.begin(), bytes.end()};
}

void write(const std::string& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) throw ToolError{"cannot write " + path};
}

int usage() {
  std::cerr << "usage: quorvel-arm64e prepare IN.o OUT.o\n"
               "       quorvel-arm64e finish IN.dylib MAP OUT.dylib\n"
               "       quorvel-arm64e check UNIVERSAL.dylib\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 3 && args[0] == "prepare") {
      RewrittenObject object = rewriteObject(readBytes(args[1]));
      write(args[2], object.bytes.data(), object.bytes.size());
      std::string records = formatPointers(object.pointers);
      write(args[2] + ".auth", records.data(), records.size());
      return 0;
    }
    if (args.size() == 4 && args[0] == "finish") {
      LinkMap map = parseLinkMap(readText(args[2]));
      std::map<std::string, std::vector<AuthenticatedPointer>> records;
      for (const auto& [index, path] : map.objects) {
        std::ifstream auth(path + ".auth");
        if (!auth) continue;  // not an object of ours (the linker's own, a stub)
        records[path] = parsePointers(readText(path + ".auth"));
      }
      SliceReport report;
      std::vector<uint8_t> slice =
          makeArm64eSlice(readBytes(args[1]), placePointers(map, records), &report);
      write(args[3], slice.data(), slice.size());
      std::cout << "arm64e slice: " << report.rebases << " rebases, " << report.binds << " binds, "
                << report.authenticatedRebases << " authenticated rebases, "
                << report.authenticatedBinds << " authenticated binds\n";
      return 0;
    }
    if (args.size() == 2 && args[0] == "check") {
      UniversalReport report = checkUniversal(readBytes(args[1]));
      for (const std::string& fact : report.facts) std::cout << fact << "\n";
      for (const std::string& failure : report.failures) std::cerr << "FAIL: " << failure << "\n";
      return report.failures.empty() ? 0 : 1;
    }
    return usage();
  } catch (const ToolError& e) {
    std::cerr << "quorvel-arm64e: " << e.message << "\n";
    return 1;
  }
}
