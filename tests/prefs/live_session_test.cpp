// Two processes on one device root: a running quorvel-sim session and quorvel-prefs. What the
// settings program writes reaches the session while it waits for its next command, whether
// the commands come through a pipe or are typed at a terminal.
#include <chrono>
#include <thread>

#include "prefs_fixture.h"
#include "support/json_reader.h"

namespace qv::testing {
namespace {

using Clock = std::chrono::steady_clock;

class LiveSessionTest : public PrefsTest {
 protected:
  // Sends a command and reads its JSON object.
  std::optional<Json> command(PipedProcess& sim, const std::string& line) {
    sim.send(line);
    std::optional<std::string> reply = sim.readLine();
    if (!reply) {
      ADD_FAILURE() << "no answer to \"" << line << "\"; stderr:\n" << sim.errors();
      return std::nullopt;
    }
    std::optional<Json> object = parseJson(*reply);
    EXPECT_TRUE(object && (*object)["ok"].asBool()) << line << " -> " << *reply;
    return object;
  }

  // Asks for the state until `holds` says it is there, or the patience runs out; the last
  // state seen.
  Json pollState(PipedProcess& sim, const std::function<bool(const Json&)>& holds) {
    Json state;
    auto deadline = Clock::now() + kPatience;
    while (Clock::now() < deadline) {
      std::optional<Json> dump = command(sim, "dump");
      if (!dump) break;
      state = (*dump)["state"];
      if (holds(state)) break;
      std::this_thread::sleep_for(20ms);
    }
    return state;
  }
};

std::string badgeOf(const Json& state, const std::string& identifier) {
  return elementWith(state["icons"], "identifier", identifier)["badge"].asString();
}

TEST_F(LiveSessionTest, APipedSessionTakesUpSettingsWrittenMeanwhile) {
  PipedProcess sim(QV_SIM_PATH, {"--root", root_, "--json"});
  ASSERT_TRUE(sim.started());
  ASSERT_TRUE(command(sim, "app com.example.mail badge=3"));
  std::optional<Json> boot = command(sim, "boot");
  ASSERT_TRUE(boot && (*boot)["library"].asBool()) << sim.errors();
  std::optional<Json> before = command(sim, "dump");
  ASSERT_TRUE(before);
  ASSERT_EQ(badgeOf((*before)["state"], "com.example.mail"), "shown");
  ASSERT_FALSE((*before)["state"]["settings"]["hideBadges"].asBool());

  ProgramRun set = prefs({"set", "hideBadges", "true"});
  ASSERT_EQ(set.status, 0) << set.err;
  Json state =
      pollState(sim, [](const Json& s) { return badgeOf(s, "com.example.mail") == "hidden"; });
  EXPECT_EQ(badgeOf(state, "com.example.mail"), "hidden");
  EXPECT_TRUE(state["settings"]["hideBadges"].asBool());
  // Nothing else about the app changed: the badge is hidden, not cleared.
  EXPECT_EQ(state["apps"]["com.example.mail"]["badge"].asNumber(), 3);

  ProgramRun colour = prefs({"color", "static", "#00ff00"});
  ASSERT_EQ(colour.status, 0) << colour.err;
  state = pollState(sim, [](const Json& s) { return s["staticColor"]["green"].asNumber() == 1; });
  EXPECT_EQ(state["staticColor"]["red"].asNumber(), 0);
  EXPECT_EQ(state["staticColor"]["green"].asNumber(), 1);
  EXPECT_EQ(state["staticColor"]["blue"].asNumber(), 0);

  // And back: the reset reaches it too.
  ASSERT_EQ(prefs({"reset", "hideBadges"}).status, 0);
  state = pollState(sim, [](const Json& s) { return badgeOf(s, "com.example.mail") == "shown"; });
  EXPECT_EQ(badgeOf(state, "com.example.mail"), "shown");

  EXPECT_EQ(sim.finish(), 0) << sim.errors();
}

TEST_F(LiveSessionTest, ATextSessionOnAPipeReportsWhatArrived) {
  PipedProcess sim(QV_SIM_PATH, {"--root", root_});
  ASSERT_TRUE(sim.started());
  sim.send("app com.example.mail badge=3");
  sim.send("boot");
  std::optional<std::string> booted = sim.readLine();
  ASSERT_TRUE(booted) << sim.errors();
  ASSERT_EQ(booted->rfind("booted OS", 0), 0u) << *booted;
  ASSERT_EQ(prefs({"set", "hideBadges", "true"}).status, 0);
  // Unasked: the session tells what the notification changed.
  std::vector<std::string> lines;
  while (std::optional<std::string> line = sim.readLine()) {
    lines.push_back(*line);
    if (*line == "update: setting hideBadges: false -> true") break;
  }
  EXPECT_NE(std::find(lines.begin(), lines.end(), "update: icon com.example.mail: badge hidden"),
            lines.end());
  EXPECT_EQ(lines.empty() ? "" : lines.back(), "update: setting hideBadges: false -> true");
  EXPECT_EQ(sim.finish(), 0) << sim.errors();
}

TEST_F(LiveSessionTest, ATerminalSessionEditsCompletesAndTakesUpSettings) {
  TerminalProcess sim(QV_SIM_PATH, {"--root", root_});
  ASSERT_TRUE(sim.started());
  ASSERT_TRUE(sim.expect("quorvel> ")) << sim.transcript();
  sim.type("app com.example.mail badge=3\r");
  ASSERT_TRUE(sim.expect("quorvel> ")) << sim.transcript();
  // Tab completes the command name: "bo" alone is no command.
  sim.type("bo\t\r");
  ASSERT_TRUE(sim.expect("booted OS 14.2")) << sim.transcript();
  ASSERT_TRUE(sim.expect("quorvel> ")) << sim.transcript();
  // ... and the bundle identifiers of the session's apps.
  sim.type("press com.ex\t\r");
  ASSERT_TRUE(sim.expect("menu for com.example.mail (")) << sim.transcript();
  ASSERT_TRUE(sim.expect("quorvel> ")) << sim.transcript();

  // While the session waits at the prompt, another process changes a setting.
  ASSERT_EQ(prefs({"set", "hideBadges", "true"}).status, 0);
  ASSERT_TRUE(sim.expect("update: icon com.example.mail: badge hidden")) << sim.transcript();
  ASSERT_TRUE(sim.expect("quorvel> ")) << sim.transcript();

  // The history: Up brings back the press; Ctrl-A goes to the start of the line, Delete six
  // times takes "press " away.
  sim.type("\x1b[A\x01");
  for (int i = 0; i < 6; i++) sim.type("\x1b[3~");
  sim.type("x\r");
  ASSERT_TRUE(sim.expect("unknown command \"xcom.example.mail\"")) << sim.transcript();
  ASSERT_TRUE(sim.expect("quorvel> ")) << sim.transcript();

  sim.type("help\r");
  ASSERT_TRUE(sim.expect("search-activity ID")) << sim.transcript();
  ASSERT_TRUE(sim.expect("quorvel> ")) << sim.transcript();
  sim.type("\x04");  // Ctrl-D ends the session
  EXPECT_EQ(sim.waitExit(), 0) << sim.transcript();
}

}  // namespace
}  // namespace qv::testing
