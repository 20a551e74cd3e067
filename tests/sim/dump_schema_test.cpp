// The dump has the shape tests/support/dump_schema.json gives it in every kind of state: no
// member missing, none unexpected, none of another type.
#include <fstream>
#include <map>

#include "support/scenario.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

// Checks a value against the schema's shapes (the schema's "about" says how they read).
class DumpSchema {
 public:
  DumpSchema() {
    std::ifstream in(std::string(QV_SOURCE_DIR) + "/tests/support/dump_schema.json");
    schema_ = host::Json::parse(in);
  }

  // Every place where `dump` departs from its shape, as "path: problem".
  std::vector<std::string> problems(const host::Json& dump) const {
    std::vector<std::string> out;
    check(dump, schema_.at("dump"), "dump", out);
    return out;
  }

 private:
  using Members = std::map<std::string, std::pair<const host::Json*, bool>>;  // shape, optional

  const host::Json& definition(const std::string& reference) const {
    return schema_.at("definitions").at(reference.substr(1));  // "#name"
  }

  void check(const host::Json& value, const host::Json& shape, const std::string& path,
             std::vector<std::string>& out) const {
    if (shape.is_string()) return checkTypes(value, shape.get<std::string>(), path, out);
    const char* kind = shape.is_array() ? "array" : "object";
    if (value.type_name() != std::string(kind)) {
      out.push_back(path + ": " + value.type_name() + ", not " + kind);
    } else if (shape.is_array()) {
      for (size_t i = 0; i < value.size(); i++) {
        check(value[i], shape[0], path + "[" + std::to_string(i) + "]", out);
      }
    } else if (shape.contains("*")) {
      for (const auto& [key, member] : value.items())
        check(member, shape["*"], path + "." + key, out);
    } else {
      Members members;
      addMembers(shape, members);
      for (const auto& [name, entry] : members) {
        auto found = value.find(name);
        if (found != value.end()) {
          check(*found, *entry.first, path + "." + name, out);
        } else if (!entry.second) {
          out.push_back(path + "." + name + ": missing");
        }
      }
      for (const auto& [key, member] : value.items()) {
        if (!members.count(key)) out.push_back(path + "." + key + ": unexpected member");
      }
    }
  }

  void addMembers(const host::Json& shape, Members& members) const {
    for (const auto& [name, member] : shape.items()) {
      if (name == "...") {
        addMembers(definition(member.get<std::string>()), members);
      } else if (name.back() == '?') {
        members[name.substr(0, name.size() - 1)] = {&member, true};
      } else {
        members[name] = {&member, false};
      }
    }
  }

  // "string|#colour|null": any one of these. When none fits, the problems under the one
  // definition tried are told, or under each of several.
  void checkTypes(const host::Json& value, const std::string& types, const std::string& path,
                  std::vector<std::string>& out) const {
    std::vector<std::pair<std::string, std::vector<std::string>>> tried;
    for (size_t start = 0; start <= types.size();) {
      size_t bar = std::min(types.find('|', start), types.size());
      std::string type = types.substr(start, bar - start);
      start = bar + 1;
      if (type[0] == '#') {
        tried.push_back({type, {}});
        check(value, definition(type), path, tried.back().second);
        if (tried.back().second.empty()) return;
      } else if (type == "any" || type == value.type_name()) {
        return;
      }
    }
    if (tried.size() == 1) {
      out.insert(out.end(), tried[0].second.begin(), tried[0].second.end());
      return;
    }
    std::string problem = path + ": " + value.type_name() + ", not " + types;
    for (const auto& [type, problems] : tried) {
      for (const std::string& p : problems) problem += "; as " + type + ": " + p;
    }
    out.push_back(problem);
  }

  host::Json schema_;
};

// A state to dump: the OS version, what is done after boot, and the part of the dump (a JSON
// pointer) that is not empty only when the state is reached.
struct State {
  const char* name;
  const char* os;
  void (*act)(HomeScreen&);
  const char* shown;
};

void PrintTo(const State& state, std::ostream* out) { *out << state.name; }

void pickBundleIdentifier(HomeScreen& h) {
  h.press("com.example.mail");
  h.pick("Bundle Identifier");
}

const State kStates[] = {
    {"home", "14.2", [](HomeScreen&) {}, "/icons"},
    {"menu12", "12.4", [](HomeScreen& h) { h.press("com.example.mail"); }, "/menu"},
    {"menu13", "13.5", [](HomeScreen& h) { h.press("com.example.mail"); }, "/menu"},
    {"menu14", "14.2", [](HomeScreen& h) { h.press("com.example.mail"); }, "/menu"},
    {"menu15", "15.1", [](HomeScreen& h) { h.press("com.example.mail"); }, "/menu"},
    {"menu16", "16.5", [](HomeScreen& h) { h.press("com.example.mail"); }, "/menu"},
    {"alert14", "14.2", pickBundleIdentifier, "/alert"},
    {"alert13", "13.5", pickBundleIdentifier, "/alert/group"},  // drawn with the menu's views
    {"lockedApp", "14.2", [](HomeScreen& h) { h.bringToFront("com.example.notes"); },
     "/pendingPrompts"},
    {"switcher", "14.2",
     [](HomeScreen& h) {
       h.bringToFront("com.example.maps");
       h.bringToFront("com.example.notes");
       h.answerAuth(host::AuthAnswer::Success);
       h.openSwitcher();
     },
     "/switcher/cards"},
};

class DumpShape : public Scenario, public ::testing::WithParamInterface<State> {};

TEST_P(DumpShape, MatchesTheSchema) {
  static const DumpSchema schema;
  writeSettings({{"lockedApps", list({"com.example.notes"})}});
  device(GetParam().os);
  app("com.example.mail", 3);
  app("com.example.maps");
  app("com.example.notes");
  boot();
  GetParam().act(home());
  host::Json d = host::dumpState(home());
  ASSERT_FALSE(d.at(host::Json::json_pointer(GetParam().shown)).empty()) << GetParam().shown;
  std::vector<std::string> problems = schema.problems(d);
  EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
}

INSTANTIATE_TEST_SUITE_P(States, DumpShape, ::testing::ValuesIn(kStates),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv::testing
