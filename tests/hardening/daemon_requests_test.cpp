// ctest-labels: threads
// Whatever arrives on the preferences daemon's socket, it answers with an error or closes that
// one connection, and goes on serving everyone else: junk, wrong types, lengths it cannot
// follow, half messages, floods of requests nobody reads, and a storm of random bytes.
#include <poll.h>

#include <random>

#include "prefsd/daemon_fixture.h"
#include "prefsd/value_codec.h"
#include "prefsd/wire.h"

namespace qv::testing {
namespace {

class DaemonRequests : public DaemonTest {
 protected:
  void SetUp() override {
    DaemonTest::SetUp();
    ASSERT_TRUE(write("key", "value"));  // the client starts the daemon
    daemon_ = host::prefsd::daemonPid();
    ASSERT_GT(daemon_, 0);
  }

  static std::string frame(const std::string& payload) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; i++) out[i] = static_cast<char>((payload.size() >> (8 * i)) & 0xff);
    return out + payload;
  }
  static bool sendBytes(int fd, const std::string& bytes) {
    return host::prefsd::sendAll(fd, bytes);
  }
  // The next reply on a raw connection, decoded; nil when the connection ended.
  static id reply(int fd) {
    std::string payload;
    if (!host::prefsd::receiveMessage(fd, payload)) return nil;
    return host::prefsd::decodeMessage(payload);
  }
  static std::string errorOf(id r) { return host::stdString(host::dictionaryGet(r, "error")); }
  static bool ended(int fd) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 5000) <= 0) return false;
    char byte;
    return recv(fd, &byte, 1, 0) == 0;
  }
  // The daemon is the same process and still answers.
  void expectServing() {
    EXPECT_EQ(host::prefsd::daemonPid(), daemon_);
    EXPECT_EQ(read("key"), "value");
  }
  std::string encoded(id object) {
    std::string out;
    EXPECT_TRUE(host::prefsd::encodeValue(object, out));
    return out;
  }

  pid_t daemon_ = 0;
  AutoreleasePool pool_;
};

TEST_F(DaemonRequests, MalformedPayloadsGetAnErrorAndTheConnectionGoesOn) {
  int fd = connectRaw();
  ASSERT_GE(fd, 0);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"junk", "a request is a property-list dictionary"},
      {"", "a request is a property-list dictionary"},
      {std::string("S\x03\0\0\0abc", 8), "a request is a property-list dictionary"},
      {encoded(host::makeArray({host::makeString("op")})),
       "a request is a property-list dictionary"},
      {encoded(host::makeDictionary({{host::makeString("op"), host::makeString("delete")}})),
       "unknown op \"delete\""},
      {encoded(host::makeDictionary({{host::makeString("op"), host::makeString("copy")},
                                     {host::makeString("domain"), host::makeString("a/../b")}})),
       "\"domain\" must name a preferences domain"},
  };
  for (const auto& [payload, error] : cases) {
    ASSERT_TRUE(sendBytes(fd, frame(payload)));
    id r = reply(fd);
    ASSERT_TRUE(r) << error;
    EXPECT_EQ(errorOf(r), error);
  }
  // A good request on the same connection is answered.
  ASSERT_TRUE(sendBytes(fd, frame(encoded(host::makeDictionary(
                                {{host::makeString("op"), host::makeString("status")}})))));
  id status = reply(fd);
  EXPECT_EQ(host::stdString(host::dictionaryGet(status, "error")), "");
  close(fd);
  expectServing();
}

TEST_F(DaemonRequests, ALengthItCannotFollowIsAnsweredAndThatConnectionClosed) {
  int fd = connectRaw();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(sendBytes(fd, std::string("\xff\xff\xff\xff", 4) + "more bytes that follow"));
  id r = reply(fd);
  ASSERT_TRUE(r);
  EXPECT_NE(errorOf(r).find("a message is at most"), std::string::npos) << errorOf(r);
  EXPECT_TRUE(ended(fd));
  close(fd);
  expectServing();
}

TEST_F(DaemonRequests, HalfMessagesAndDroppedConnectionsLeaveOthersServed) {
  std::vector<int> open;
  for (int i = 0; i < 200; i++) {
    int fd = connectRaw();
    ASSERT_GE(fd, 0);
    // A header promising more than comes, part of a header, or nothing at all.
    if (i % 3 == 0) sendBytes(fd, std::string("\x10\0\0\0abc", 7));
    if (i % 3 == 1) sendBytes(fd, std::string("\x10\0", 2));
    if (i % 2) {
      close(fd);
    } else {
      open.push_back(fd);
    }
  }
  expectServing();
  for (int fd : open) close(fd);
  expectServing();
}

TEST_F(DaemonRequests, AClientThatNeverReadsItsRepliesDoesNotHoldTheDaemon) {
  int flood = connectRaw();
  ASSERT_GE(flood, 0);
  std::string request =
      frame(encoded(host::makeDictionary({{host::makeString("op"), host::makeString("status")}})));
  std::string many;
  for (int i = 0; i < 20000; i++) many += request;
  std::thread sender([&] { sendBytes(flood, many); });  // blocks once the daemon stops reading
  std::this_thread::sleep_for(300ms);
  auto start = std::chrono::steady_clock::now();
  expectServing();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  shutdown(flood, SHUT_RDWR);
  sender.join();
  close(flood);
  expectServing();
}

TEST_F(DaemonRequests, RandomBytesOnManyConnectionsNeverBringItDown) {
  std::mt19937 rng(12);
  for (int round = 0; round < 300; round++) {
    int fd = connectRaw();
    ASSERT_GE(fd, 0);
    std::string bytes(rng() % 300, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    // Half of them framed, so that the payload itself is what is tried.
    sendBytes(fd, round % 2 ? frame(bytes) : bytes);
    if (round % 2) {
      id r = reply(fd);
      EXPECT_TRUE(r) << round;
    }
    close(fd);
  }
  expectServing();
}

}  // namespace
}  // namespace qv::testing
