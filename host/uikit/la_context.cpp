// LAContext and the authentication service's reply thread.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "foundation/exceptions.h"
#include "runtime/blocks.h"
#include "runtime/class_builder.h"
#include "runtime/system_images.h"
#include "uikit/auth_service.h"
#include "uikit/uikit_internal.h"

namespace qv::host {
namespace {

// Error codes of the LocalAuthentication domain.
constexpr long kAuthenticationFailed = -1;
constexpr long kUserCancel = -2;
constexpr long kAppCancel = -9;
constexpr long kBiometryNotAvailable = -6;

struct LAContextObj : objc_object {
  uint64_t pendingNumber = 0;  // the evaluation this context still waits for
  ~LAContextObj();
};

struct Evaluation {
  uint64_t number;
  long policy;
  std::string reason;
  Strong reply;
};

struct Delivery {
  Strong reply;
  bool success;
  long errorCode;  // 0: no error
  std::chrono::steady_clock::time_point due;
};

struct Service {
  std::mutex lock;
  std::condition_variable wake;
  std::condition_variable idle;
  std::deque<Evaluation> pending;
  std::deque<Delivery> deliveries;
  uint64_t nextNumber = 1;
  uint64_t delivered = 0;
  bool busy = false;
  bool stopping = false;
  std::thread worker;

  ~Service() { stop(); }

  void stop() {
    {
      std::lock_guard<std::mutex> g(lock);
      stopping = true;
    }
    wake.notify_all();
    if (worker.joinable()) worker.join();
    std::deque<Evaluation> dropped;
    std::deque<Delivery> undelivered;
    {
      std::lock_guard<std::mutex> g(lock);
      dropped.swap(pending);
      undelivered.swap(deliveries);
    }
  }

  void ensureWorker() {
    if (!worker.joinable() && !stopping) worker = std::thread([this] { run(); });
  }

  void run() {
    std::unique_lock<std::mutex> g(lock);
    while (true) {
      wake.wait(g, [this] { return stopping || !deliveries.empty(); });
      if (stopping) return;
      Delivery next = std::move(deliveries.front());
      deliveries.pop_front();
      busy = true;
      g.unlock();
      std::this_thread::sleep_until(next.due);
      deliver(next);
      next.reply.reset();
      g.lock();
      busy = false;
      delivered++;
      idle.notify_all();
    }
  }

  static void deliver(const Delivery& d) {
    AutoreleasePool pool;
    id error = nil;
    if (d.errorCode) {
      error = msgSend<id>(CLASS_NSError(), SELECTOR("errorWithDomain:code:userInfo:"),
                          makeString("com.apple.LocalAuthentication"), d.errorCode,
                          static_cast<id>(nil));
    }
    qv::invokeBlock<BOOL, id>(d.reply, d.success, error);
  }

  static Class CLASS_NSError() { return objc_getClass("NSError"); }
};

Service& service() {
  static Service s;
  return s;
}

void enqueueLocked(Service& s, Strong reply, bool success, long code, int delayMs) {
  s.deliveries.push_back({std::move(reply), success, code,
                          std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs)});
  s.ensureWorker();
  s.wake.notify_all();
}

LAContextObj::~LAContextObj() {
  // An evaluation whose context goes away is cancelled with an error.
  if (!pendingNumber) return;
  Service& s = service();
  std::lock_guard<std::mutex> g(s.lock);
  for (auto it = s.pending.begin(); it != s.pending.end(); ++it) {
    if (it->number != pendingNumber) continue;
    Strong reply = std::move(it->reply);
    s.pending.erase(it);
    enqueueLocked(s, std::move(reply), false, kAppCancel, 0);
    return;
  }
}

void contextEvaluate(id self, SEL sel, NSInteger policy, id reason, id reply) {
  // The framework refuses an evaluation it could not explain to the user, or not answer.
  if (stdString(reason).empty()) {
    raiseUncaught(kInvalidArgumentException,
                  methodReason(self, sel, "localizedReason must be a non-empty string"));
  }
  if (!reply) raiseUncaught(kInvalidArgumentException, methodReason(self, sel, "reply is nil"));
  Service& s = service();
  std::lock_guard<std::mutex> g(s.lock);
  uint64_t number = s.nextNumber++;
  fields<LAContextObj>(self)->pendingNumber = number;
  s.pending.push_back({number, policy, stdString(reason), copyBlock(reply)});
}

}  // namespace

std::vector<PendingAuth> pendingAuthentications() {
  Service& s = service();
  std::lock_guard<std::mutex> g(s.lock);
  std::vector<PendingAuth> out;
  for (const Evaluation& e : s.pending) out.push_back({e.number, e.policy, e.reason});
  return out;
}

bool answerOldestAuthentication(AuthAnswer answer, int delayMs, int times) {
  Service& s = service();
  std::lock_guard<std::mutex> g(s.lock);
  if (s.pending.empty() || s.stopping) return false;
  Evaluation e = std::move(s.pending.front());
  s.pending.pop_front();
  bool success = answer == AuthAnswer::Success || answer == AuthAnswer::SuccessWithError;
  long code = 0;
  if (answer == AuthAnswer::Failure) code = kAuthenticationFailed;
  if (answer == AuthAnswer::Cancel) code = kUserCancel;
  if (answer == AuthAnswer::Error) code = kBiometryNotAvailable;
  if (answer == AuthAnswer::SuccessWithError) code = kAuthenticationFailed;
  for (int i = 0; i < times; i++) enqueueLocked(s, e.reply, success, code, delayMs);
  return true;
}

void waitForAuthenticationReplies() {
  Service& s = service();
  std::unique_lock<std::mutex> g(s.lock);
  s.idle.wait(g, [&] { return s.deliveries.empty() && !s.busy; });
}

uint64_t deliveredAuthenticationReplies() {
  Service& s = service();
  std::lock_guard<std::mutex> g(s.lock);
  return s.delivered;
}

void stopAuthenticationService() { service().stop(); }

void registerAuthentication() {
  runtime::addSystemImage(runtime::kLocalAuthentication, [] {
    ClassBuilder<LAContextObj>("LAContext", "NSObject")
        .method("evaluatePolicy:localizedReason:reply:", contextEvaluate);
  });
}

}  // namespace qv::host
