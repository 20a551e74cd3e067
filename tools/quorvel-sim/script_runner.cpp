#include "script_runner.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "command_table.h"
#include "observe/state_dump.h"
#include "tokenizer.h"
#include "values.h"

namespace qv::sim {

namespace {

// The command word of a line that could not be split, for the error report.
std::string firstWord(const std::string& line) {
  size_t start = line.find_first_not_of(" \t\r");
  if (start == std::string::npos) return "";
  size_t end = line.find_first_of(" \t\r\"", start);
  return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The state after line `number`, for --dump-each.
void writeState(Session& session, int number) {
  char name[32];
  std::snprintf(name, sizeof name, "%03d.json", number);
  std::filesystem::create_directories(session.dumpEach);
  std::ofstream out(session.dumpEach / name, std::ios::binary | std::ios::trunc);
  out << host::jsonText(host::dumpState(session.home), true) << "\n";
  if (!out)
    throw host::ScenarioError{"cannot write the state to " + (session.dumpEach / name).string()};
}

}  // namespace

bool runLine(Session& session, Reporter& reporter, const std::string& line, int number) {
  std::string command = printable(firstWord(line));
  try {
    std::string comment;
    std::vector<Token> tokens = tokenizeLine(line, &comment);
    if (tokens.empty()) return true;
    command = printable(tokens.front().text);
    CommandResult result = runCommand(session, tokens, number, comment);
    reporter.result(number, command, result);
    if (!session.dumpEach.empty() && session.home.booted()) writeState(session, number);
    return true;
  } catch (const host::ScenarioError& e) {
    reporter.error(number, command, e.message);
  } catch (const TokenizeError& e) {
    reporter.error(number, command, e.message);
  } catch (const std::exception& e) {
    reporter.error(number, command, std::string("failed: ") + e.what());
  }
  return false;
}

int runCommands(Session& session, Reporter& reporter, LineSource& in, InputMode mode) {
  const bool interactive = mode == InputMode::Interactive;
  int number = 0;
  while (std::optional<std::string> line = in.next()) {
    number++;
    if (!runLine(session, reporter, *line, number) && !interactive) return 1;
  }
  return 0;
}

}  // namespace qv::sim
