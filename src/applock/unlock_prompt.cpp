#include "applock/unlock_prompt.h"

#include "applock/authentication.h"
#include "platform/uikit.h"

namespace quorvel {

bool authInProgress = false;

namespace {

// The page is referred to weakly: a page the host discarded meanwhile is left alone.
void clearBlurIfSucceeded(const NS::Weak& page, bool succeeded) {
  if (!succeeded) return;
  id alive = page.loadRetained();
  UI::View(alive).layer().setFilters(nil);
  objc_release(alive);
}

}  // namespace

void promptUnlock(id page) {
  if (authInProgress) return;
  authInProgress = true;
  NS::Weak weakPage(page);
  authenticate([weakPage](bool succeeded) {
    clearBlurIfSucceeded(weakPage, succeeded);
    authInProgress = false;
  });
}

void pageRetryAuth(id self, SEL) {
  NS::Weak weakPage(self);
  authenticate([weakPage](bool succeeded) { clearBlurIfSucceeded(weakPage, succeeded); });
}

}  // namespace quorvel
