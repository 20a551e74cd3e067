#include "prefsd/server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "foundation/device_root.h"
#include "foundation/foundation.h"
#include "foundation/unix_address.h"
#include "foundation/value_objects.h"
#include "prefsd/daemon_paths.h"
#include "prefsd/domain_store.h"
#include "prefsd/requests.h"
#include "prefsd/wire.h"

namespace qv::host::prefsd {
namespace {

using Clock = std::chrono::steady_clock;

// How often the daemon looks whether its root and socket are still there.
constexpr auto kCheckInterval = std::chrono::milliseconds(250);
// How long a new daemon waits for a dying one to release the lock.
constexpr auto kLockPatience = std::chrono::seconds(2);

// Replies a client has not read yet, beyond which its requests wait: a client that never reads
// cannot make the daemon hold without bound.
constexpr size_t kMaxPendingReplies = size_t{1} << 20;
// Requests of one client answered before the others get their turn, so that one sending
// thousands at once delays nobody by more than these.
constexpr int kRequestsPerTurn = 16;

struct Client {
  int fd;
  std::string in;
  std::string out;
  bool closing = false;  // the stream cannot be followed: close once the reply is out
  bool ended = false;    // it sends no more: close once its requests are answered

  // Whether it has a request to answer now. Then nothing more is read from it, so what it
  // sends waits in the socket, not in the daemon's memory.
  bool hasWork() const { return !closing && out.size() < kMaxPendingReplies && frameReady(in); }
  bool wantsInput() const {
    return !closing && !ended && out.size() < kMaxPendingReplies && !frameReady(in);
  }
};

bool someoneServes(const std::string& socketPath) {
  sockaddr_un addr;
  if (!unixAddress(addr, socketPath)) return false;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool served = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  ::close(fd);
  return served;
}

struct Identity {
  dev_t dev = 0;
  ino_t ino = 0;
  bool operator==(const Identity&) const = default;
};

bool identify(const std::string& path, Identity& out) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return false;
  out = {st.st_dev, st.st_ino};
  return true;
}

class Server {
 public:
  explicit Server(const DaemonOptions& options) : options_(options) {}
  ~Server();
  int run();

 private:
  bool takeLock();
  bool listenOnSocket();
  bool stillInPlace();
  void acceptClients();
  // Reads, answers and writes; false when the client is gone.
  bool serve(Client& client, short events);
  void answer(Client& client, const std::string& payload);
  bool flush(Client& client);

  DaemonOptions options_;
  DaemonPaths paths_;
  Identity rootIdentity_, socketIdentity_;
  int lockFd_ = -1;
  int listenFd_ = -1;
  int signalFd_ = -1;
  bool socketBound_ = false;
  bool stopping_ = false;
  std::vector<Client> clients_;
  DomainStore store_;
};

Server::~Server() {
  for (Client& c : clients_) ::close(c.fd);
  Identity now;
  // A successor may already have bound a socket of its own at the path.
  if (socketBound_ && identify(paths_.socket, now) && now == socketIdentity_) {
    ::unlink(paths_.socket.c_str());
  }
  if (listenFd_ >= 0) ::close(listenFd_);
  if (signalFd_ >= 0) ::close(signalFd_);
  if (lockFd_ >= 0) ::close(lockFd_);
}

bool Server::takeLock() {
  lockFd_ = ::open(paths_.lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lockFd_ < 0) return false;
  auto deadline = Clock::now() + kLockPatience;
  while (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    // Held: by a daemon that serves (then leave it to it), or by one that is ending.
    if (someoneServes(paths_.socket) || Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(lockFd_, 0) == 0) {
    ssize_t n = ::pwrite(lockFd_, pid.data(), pid.size(), 0);
    (void)n;
  }
  return true;
}

bool Server::listenOnSocket() {
  sockaddr_un addr;
  if (!unixAddress(addr, paths_.socket)) return false;
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) return false;
  ::unlink(paths_.socket.c_str());  // left behind by a daemon that was killed
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return false;
  socketBound_ = identify(paths_.socket, socketIdentity_);
  return socketBound_ && ::listen(listenFd_, 128) == 0;
}

bool Server::stillInPlace() {
  Identity root, socket;
  return identify(options_.root, root) && root == rootIdentity_ &&
         identify(paths_.socket, socket) && socket == socketIdentity_;
}

void Server::acceptClients() {
  for (;;) {
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    clients_.push_back(Client{fd, {}, {}});
  }
}

void Server::answer(Client& client, const std::string& payload) {
  AutoreleasePool pool;
  id request = decodeMessage(payload);
  id reply;
  if (request && requestOp(request) == "leave") {
    bool last = clients_.size() == 1;
    reply = makeDictionary(
        {{makeString("ok"), makeBool(true)}, {makeString("exiting"), makeBool(last)}});
    if (last) stopping_ = true;
  } else {
    reply = answerRequest(store_, request);
  }
  std::string bytes = encodeMessage(reply);
  if (bytes.empty()) bytes = encodeMessage(errorReply("the reply cannot be sent"));
  client.out += bytes;
}

bool Server::flush(Client& client) {
  while (!client.out.empty()) {
    ssize_t n = ::send(client.fd, client.out.data(), client.out.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
    client.out.erase(0, static_cast<size_t>(n));
  }
  return true;
}

bool Server::serve(Client& client, short events) {
  if (!flush(client)) return false;
  if ((events & (POLLIN | POLLHUP | POLLERR)) && client.wantsInput()) {
    char buf[65536];
    ssize_t n = ::recv(client.fd, buf, sizeof buf, 0);
    if (n > 0) {
      client.in.append(buf, static_cast<size_t>(n));
    } else if (n == 0) {
      client.ended = true;
    } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      return false;
    }
  }
  std::string payload;
  for (int answered = 0; answered < kRequestsPerTurn && client.hasWork(); answered++) {
    if (takeFrame(client.in, payload) == Frame::TooLong) {
      AutoreleasePool pool;
      client.out += encodeMessage(
          errorReply("a message is at most " + std::to_string(kMaxMessageBytes) + " bytes"));
      client.closing = true;
      client.in.clear();
      break;
    }
    answer(client, payload);
  }
  if (!flush(client)) return false;
  // Done with it: its stream cannot be followed, or it sends no more and has its answers.
  bool finished = client.closing || (client.ended && !frameReady(client.in));
  return !(finished && client.out.empty());
}

int Server::run() {
  struct stat st;
  if (::stat(options_.root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    std::fprintf(stderr, "quorvel-prefsd: %s is not a folder\n", options_.root.c_str());
    return 1;
  }
  setDeviceRoot(options_.root);
  options_.root = deviceRoot().empty() ? "/" : deviceRoot();
  identify(options_.root, rootIdentity_);
  registerFoundation();
  paths_ = daemonPaths();
  std::error_code ec;
  std::filesystem::create_directories(paths_.runFolder, ec);
  if (!takeLock()) {
    if (lockFd_ >= 0) return 0;
    std::fprintf(stderr, "quorvel-prefsd: cannot lock %s: %s\n", paths_.lock.c_str(),
                 std::strerror(errno));
    return 1;
  }
  store_.removeLeftTemporaries();
  if (!listenOnSocket()) {
    std::fprintf(stderr, "quorvel-prefsd: cannot listen at %s: %s\n", paths_.socket.c_str(),
                 std::strerror(errno));
    return 1;
  }
  sigset_t stops;
  sigemptyset(&stops);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stops, s);
  ::sigprocmask(SIG_BLOCK, &stops, nullptr);
  ::signal(SIGPIPE, SIG_IGN);
  signalFd_ = ::signalfd(-1, &stops, SFD_CLOEXEC | SFD_NONBLOCK);

  auto idleSince = Clock::now();
  auto lastCheck = Clock::now();
  while (!stopping_) {
    std::vector<pollfd> polled = {{listenFd_, POLLIN, 0}, {signalFd_, POLLIN, 0}};
    bool work = false;
    for (const Client& c : clients_) {
      short events = c.wantsInput() ? POLLIN : 0;
      if (!c.out.empty()) events |= POLLOUT;
      polled.push_back({c.fd, events, 0});
      work = work || c.hasWork();
    }
    int timeout = work ? 0 : static_cast<int>(kCheckInterval.count());
    int ready = ::poll(polled.data(), polled.size(), timeout);
    if (ready < 0 && errno != EINTR) break;
    if (polled[1].revents) break;  // told to stop
    if (polled[0].revents & POLLIN) acceptClients();
    // Clients accepted just now come after those polled; they are served next round.
    for (size_t i = polled.size() - 2; i-- > 0;) {
      if (!polled[i + 2].revents && !clients_[i].hasWork()) continue;
      if (!serve(clients_[i], polled[i + 2].revents)) {
        ::close(clients_[i].fd);
        clients_.erase(clients_.begin() + static_cast<long>(i));
        if (clients_.empty()) idleSince = Clock::now();
      }
    }
    auto now = Clock::now();
    if (now - lastCheck >= kCheckInterval) {
      lastCheck = now;
      if (!stillInPlace()) break;
    }
    if (clients_.empty() && now - idleSince >= options_.linger) break;
  }
  return 0;
}

}  // namespace

int runDaemon(const DaemonOptions& options) {
  Server server(options);
  return server.run();
}

}  // namespace qv::host::prefsd
