#include "applock/unlock_prompt.h"

#include "common/authentication.h"
#include "platform/ownership.h"
#include "platform/uikit.h"

namespace quorvel {

bool authInProgress = false;

namespace {

// The page is referred to weakly: a page the host discarded meanwhile is left alone.
void clearBlurIfSucceeded(const qv::WeakRef<id>& page, bool succeeded) {
  if (!succeeded) return;
  UI::View(page.load()).layer().setFilters(nil);
}

}  // namespace

void promptUnlock(id page) {
  if (authInProgress) return;
  authInProgress = true;
  qv::WeakRef<id> weakPage(page);
  authenticate([weakPage](bool succeeded) {
    clearBlurIfSucceeded(weakPage, succeeded);
    authInProgress = false;
  });
}

void pageRetryAuth(id self, SEL) {
  qv::WeakRef<id> weakPage(self);
  authenticate([weakPage](bool succeeded) { clearBlurIfSucceeded(weakPage, succeeded); });
}

}  // namespace quorvel
