// The demonstration run twice: natively, with the library built for Linux, and under emulation
// with the phone's dylib. Every state it dumps after every step is the same in both: the phone's
// build of the library does what the tested one does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/json_reader.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs `program` as the demonstration in `folder` (its pictures go there) with the states
// dumped under folder/dumps; returns its exit status and leaves its output in folder/out.txt.
int runDemonstration(const std::string& program, const fs::path& folder, const std::string& extra) {
  fs::create_directories(folder);
  // Each run loads what its options name, not what this test program's environment does.
  std::string command = "cd '" + folder.string() + "' && env -u QUORVEL_LIBRARY '" + program +
                        "' --demo --dump-each dumps " + extra + " >out.txt 2>err.txt";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The first place where two dumps differ, as a member path; empty when they are equal.
std::string firstDifference(const host::Json& a, const host::Json& b, const std::string& path) {
  if (a.is_object() && b.is_object()) {
    if (a.size() != b.size())
      return path + " (members " + std::to_string(a.size()) + " vs " + std::to_string(b.size()) +
             ")";
    for (auto ia = a.begin(), ib = b.begin(); ia != a.end(); ++ia, ++ib) {
      if (ia.key() != ib.key()) return path + "." + ia.key() + " (vs " + ib.key() + ")";
      std::string d = firstDifference(ia.value(), ib.value(), path + "." + ia.key());
      if (!d.empty()) return d;
    }
    return "";
  }
  if (a.is_array() && b.is_array()) {
    if (a.size() != b.size()) return path + " (length)";
    for (size_t i = 0; i < a.size(); i++) {
      std::string d = firstDifference(a[i], b[i], path + "[" + std::to_string(i) + "]");
      if (!d.empty()) return d;
    }
    return "";
  }
  return a == b ? "" : path + ": " + host::jsonText(a) + " vs " + host::jsonText(b);
}

TEST(Demonstration, DumpsUnderEmulationEqualTheNativeRunsStepByStep) {
  char tmpl[] = "/tmp/quorvel-emulated-demo-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  fs::path work = tmpl;
  ASSERT_EQ(runDemonstration(QV_NATIVE_SIM, work / "native", ""), 0)
      << slurp(work / "native" / "err.txt");
  ASSERT_EQ(runDemonstration(QV_SIM_PATH, work / "emulated",
                             std::string("--library '") + QV_DEVICE_DIR + "/Quorvel.dylib'"),
            0)
      << slurp(work / "emulated" / "err.txt");

  size_t compared = 0, withLibrary = 0;
  for (const auto& entry : fs::recursive_directory_iterator(work / "native" / "dumps")) {
    if (!entry.is_regular_file()) continue;
    fs::path relative = fs::relative(entry.path(), work / "native" / "dumps");
    fs::path twin = work / "emulated" / "dumps" / relative;
    ASSERT_TRUE(fs::exists(twin)) << "no emulated state " << relative;
    std::optional<Json> native = parseJson(slurp(entry.path()));
    std::optional<Json> emulated = parseJson(slurp(twin));
    ASSERT_TRUE(native && emulated) << relative;
    // No member needs a tolerance: the colours and alphas agree to the last bit. (The phone's
    // code has no fused multiply-add, the usual cause of arm64 results differing from x86-64's;
    // should one appear, the member it changes is named here with its bound.)
    EXPECT_EQ(firstDifference(native->value(), emulated->value(), ""), "") << relative;
    compared++;
    if ((*emulated)["library"].asBool()) withLibrary++;
  }
  size_t emulatedStates = 0;
  for (const auto& entry : fs::recursive_directory_iterator(work / "emulated" / "dumps")) {
    emulatedStates += entry.is_regular_file();
  }
  EXPECT_EQ(emulatedStates, compared);
  EXPECT_GT(compared, 50u);
  EXPECT_GT(withLibrary, 40u) << "the emulated run did not load the phone's dylib";

  // What it printed is the same too, but for the folders it names.
  std::string native = slurp(work / "native" / "out.txt");
  std::string emulated = slurp(work / "emulated" / "out.txt");
  for (std::string* text : {&native, &emulated}) {
    for (const char* folder : {"/native/", "/emulated/"}) {
      for (size_t at; (at = text->find(folder)) != std::string::npos;)
        text->replace(at, std::strlen(folder), "/run/");
    }
  }
  EXPECT_EQ(native, emulated);
  std::error_code ec;
  fs::remove_all(work, ec);
}

}  // namespace
}  // namespace qv::testing
