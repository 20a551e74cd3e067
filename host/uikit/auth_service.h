// The authentication service behind LAContext. Evaluations wait until the simulator or a test
// answers them; replies arrive on the service's own thread, as on a device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::host {

enum class AuthAnswer {
  Success,           // success YES, no error
  Failure,           // success NO, LAErrorAuthenticationFailed
  Cancel,            // success NO, LAErrorUserCancel
  Error,             // success NO, LAErrorBiometryNotAvailable
  SuccessWithError,  // success YES together with an error (a faulty service)
};

struct PendingAuth {
  uint64_t number;
  long policy;
  std::string reason;
};

// Evaluations that have not been answered, oldest first.
std::vector<PendingAuth> pendingAuthentications();

// Answers the oldest pending evaluation; false when none is pending. The reply runs on the
// service thread after `delayMs`; `times` > 1 delivers the same reply again (a faulty service).
bool answerOldestAuthentication(AuthAnswer answer, int delayMs = 0, int times = 1);

// Blocks until every reply handed to the service thread has been delivered.
void waitForAuthenticationReplies();

// How many replies the service has delivered so far.
uint64_t deliveredAuthenticationReplies();

// Stops the service thread (at exit); pending evaluations are dropped unanswered.
void stopAuthenticationService();

}  // namespace qv::host
