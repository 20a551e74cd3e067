#include "bootstrap/hook_table.h"

#include "appearance/action_platter_12.h"
#include "appearance/average_color.h"
#include "appearance/color_sources.h"
#include "appearance/context_menu_13.h"
#include "appearance/context_menu_14.h"
#include "appearance/item_icons.h"
#include "applock/icon_state.h"
#include "applock/search_gate.h"
#include "applock/switcher_blur.h"
#include "applock/unlock_prompt.h"
#include "bootstrap/hook_support.h"
#include "bootstrap/launch_hook.h"
#include "bootstrap/os_family.h"
#include "menu/app_observers.h"
#include "menu/catalogue.h"
#include "menu/dispatch.h"
#include "menu/item_filter.h"
#include "platform/substrate.h"

namespace quorvel {

namespace {

constexpr HookKind R = HookKind::Replaced;
constexpr HookKind C = HookKind::ReplacedClassMethod;
constexpr HookKind A = HookKind::Added;

const HookEntry kFamilyAll[] = {
    {"SpringBoard", "applicationDidFinishLaunching:", R, asImp(hookApplicationDidFinishLaunching),
     &prevApplicationDidFinishLaunching, nullptr},
    {"SBFStaticWallpaperView", "_computeAverageColor", R, asImp(hookComputeAverageColor),
     &prevComputeAverageColor, nullptr},
    {"SBAppSwitcherPageView", "initWithFrame:", R, asImp(hookPageInitWithFrame),
     &prevPageInitWithFrame, nullptr},
    {"SBAppSwitcherPageView", "setOverlay:animated:", R, asImp(hookPageSetOverlay),
     &prevPageSetOverlay, nullptr},
    {"SBAppSwitcherPageView", "retryAuth", A, asImp(pageRetryAuth), nullptr, "v@:"},
    {"SBAppSwitcherPageView", "removeFilter", A, asImp(pageRemoveFilter), nullptr, "v@:"},
    {"SBIconView", "layoutSubviews", R, asImp(hookIconLayoutSubviews), &prevIconLayoutSubviews,
     nullptr},
    {"SBIconView", "isCrossfadingImageWithView", R, asImp(hookIconIsCrossfading),
     &prevIconIsCrossfading, nullptr},
    // SBIconLocation is a long long before version 13 and a string from 13 on.
    {"SBIconView", "setLocation:", R, asImp(hookIconSetLocation<id>), &prevIconSetLocation, nullptr,
     asImp(hookIconSetLocation<long long>)},
    {"SBIconView", "checkBadge", A, asImp(iconCheckBadge), nullptr, "v@:"},
    {"SBIconView", "dimIcon", A, asImp(iconDimIcon), nullptr, "v@:"},
    {"SearchUIUtilities", "openApplicationWithBundleIdentifier:", C, asImp(hookOpenApplication),
     &prevOpenApplication, nullptr},
    {"SearchUIUtilities", "openUserActivity:applicationBundleIdentifier:", C,
     asImp(hookOpenUserActivity), &prevOpenUserActivity, nullptr},
    {"SBApplication", "initWithApplicationInfo:", R, asImp(hookAppInitWithInfo),
     &prevAppInitWithInfo, nullptr},
    {"SBApplication", "clearBadges", A, asImp(appClearBadges), nullptr, "v@:"},
    {"SBApplication", "killApp", A, asImp(appKillApp), nullptr, "v@:"},
};

const HookEntry kFamily14[] = {
    {"_UIElasticContextMenuBackgroundView", "setVisualEffectView:", R,
     asImp(hook14SetVisualEffectView), &prev14SetVisualEffectView, nullptr},
    {"_UICutoutShadowView", "layoutSubviews", R, asImp(hook14ShadowLayoutSubviews),
     &prev14ShadowLayoutSubviews, nullptr},
    {"SBHIconViewContextMenuWrapperViewController", "viewWillAppear:", R,
     asImp(hook14WrapperViewWillAppear), &prev14WrapperViewWillAppear, nullptr},
    {"SBHIconViewContextMenuWrapperViewController", "averageColorOfImage:", A,
     asImp(averageColorOfImage), nullptr, "@@:@"},
    {"_UIContextMenuActionsListView", "setDisplayedMenu:withAnimationStyle:alongsideAnimations:", R,
     asImp(hook14SetDisplayedMenu), &prev14SetDisplayedMenu, nullptr},
    {"_UIContextMenuActionsListView", "averageColorOfImage:", A, asImp(averageColorOfImage),
     nullptr, "@@:@"},
    {"SBIconView", "applicationBundleIdentifierForShortcuts", R,
     asImp(hook14BundleIdentifierForShortcuts), &prev14BundleIdentifierForShortcuts, nullptr},
    {"SBIconView", "setLabelHidden:", R, asImp(hook14SetLabelHidden), &prev14SetLabelHidden,
     nullptr},
    {"SBIconView", "applicationShortcutItems", R, asImp(hook14ShortcutItems), &prev14ShortcutItems,
     nullptr},
    {"SBIconView", "setApplicationShortcutItems:", R, asImp(hook14SetShortcutItems),
     &prev14SetShortcutItems, nullptr},
    {"SBHIconManager", "iconView:shouldActivateApplicationShortcutItem:atIndex:", R,
     asImp(hook14ShouldActivate), &prev14ShouldActivate, nullptr},
    {"_UIContextMenuActionView", "setTrailingImage:", R, asImp(hook14SetTrailingImage),
     &prev14SetTrailingImage, nullptr},
    {"SBAppSwitcherReusableSnapshotView", "layoutSubviews", R, asImp(hook14CardLayoutSubviews),
     &prev14CardLayoutSubviews, nullptr},
};

const HookEntry kFamily13[] = {
    {"UIInterfaceActionRepresentationView", "action", R, asImp(hook13RepresentationAction),
     &prev13RepresentationAction, nullptr},
    {"_UIInterfaceActionBlankSeparatorView", "layoutSubviews", R, asImp(hook13BlankSeparatorLayout),
     &prev13BlankSeparatorLayout, nullptr},
    {"_UIInterfaceActionVibrantSeparatorView", "layoutSubviews", R,
     asImp(hook13VibrantSeparatorLayout), &prev13VibrantSeparatorLayout, nullptr},
    {"_UICutoutShadowView", "layoutSubviews", R, asImp(hook13ShadowLayoutSubviews),
     &prev13ShadowLayoutSubviews, nullptr},
    {"SBHIconViewContextMenuWrapperViewController", "viewWillAppear:", R,
     asImp(hook13WrapperViewWillAppear), &prev13WrapperViewWillAppear, nullptr},
    {"SBHIconViewContextMenuWrapperViewController", "averageColorOfImage:", A,
     asImp(averageColorOfImage), nullptr, "@@:@"},
    {"UIInterfaceActionGroupView", "layoutSubviews", R, asImp(hook13GroupLayoutSubviews),
     &prev13GroupLayoutSubviews, nullptr},
    {"UIInterfaceActionGroupView", "averageColorOfImage:", A, asImp(averageColorOfImage), nullptr,
     "@@:@"},
    {"SBIconView", "applicationBundleIdentifierForShortcuts", R,
     asImp(hook13BundleIdentifierForShortcuts), &prev13BundleIdentifierForShortcuts, nullptr},
    {"SBIconView", "applicationShortcutItems", R, asImp(hook13ShortcutItems), &prev13ShortcutItems,
     nullptr},
    {"SBIconView", "setApplicationShortcutItems:", R, asImp(hook13SetShortcutItems),
     &prev13SetShortcutItems, nullptr},
    {"SBHIconManager", "iconView:shouldActivateApplicationShortcutItem:atIndex:", R,
     asImp(hook13ShouldActivate), &prev13ShouldActivate, nullptr},
    {"_UIContextMenuActionView", "initWithTitle:subtitle:image:", R, asImp(hook13ActionViewInit),
     &prev13ActionViewInit, nullptr},
    {"SBAppSwitcherReusableSnapshotView", "layoutSubviews", R, asImp(hook13CardLayoutSubviews),
     &prev13CardLayoutSubviews, nullptr},
};

const HookEntry kFamily12[] = {
    {"SBUIActionKeylineView", "layoutSubviews", R, asImp(hook12KeylineLayoutSubviews),
     &prev12KeylineLayoutSubviews, nullptr},
    {"SBUIIconForceTouchVisualEffectView", "setEffectStrength:", R, asImp(hook12SetEffectStrength),
     &prev12SetEffectStrength, nullptr},
    {"SBUIAppIconForceTouchControllerDataProvider", "applicationShortcutItems", R,
     asImp(hook12ProviderShortcutItems), &prev12ProviderShortcutItems, nullptr},
    {"SBUIAppIconForceTouchController", "_widgetViewControllerForDataProvider:", R,
     asImp(hook12WidgetViewController), &prev12WidgetViewController, nullptr},
    {"SBUIAppIconForceTouchController",
     "appIconForceTouchShortcutViewController:activateApplicationShortcutItem:", R,
     asImp(hook12ActivateShortcut), &prev12ActivateShortcut, nullptr},
    {"SBUIAction", "initWithTitle:subtitle:image:badgeView:handler:", R, asImp(hook12ActionInit),
     &prev12ActionInit, nullptr},
    {"SBUIActionPlatterViewController", "setImagePosition:", R,
     asImp(hook12PlatterSetImagePosition), &prev12PlatterSetImagePosition, nullptr},
    {"SBUIActionPlatterViewController", "averageColorOfImage:", A, asImp(averageColorOfImage),
     nullptr, "@@:@"},
    {"SBUIActionView", "action", R, asImp(hook12ActionViewAction), &prev12ActionViewAction,
     nullptr},
    {"SBAppSwitcherReusableSnapshotView", "layoutSubviews", R, asImp(hook12CardLayoutSubviews),
     &prev12CardLayoutSubviews, nullptr},
};

template <size_t N>
HookFamily familyOf(const HookEntry (&entries)[N]) {
  return {entries, N};
}

void install(const HookEntry& entry) {
  Class cls = objc_getClass(entry.className);
  if (entry.kind == HookKind::ReplacedClassMethod && cls) cls = object_getClass(asId(cls));
  SEL sel = sel_registerName(entry.selector);
  IMP function = entry.function;
  if (entry.functionBefore13 && selectsFamily12()) function = entry.functionBefore13;
  if (entry.kind == HookKind::Added) {
    class_addMethod(cls, sel, function, entry.types);
  } else {
    MSHookMessageEx(cls, sel, function, entry.previous);
  }
}

}  // namespace

HookFamily familyAll() { return familyOf(kFamilyAll); }
HookFamily family14() { return familyOf(kFamily14); }
HookFamily family13() { return familyOf(kFamily13); }
HookFamily family12() { return familyOf(kFamily12); }

void installFamily(const HookFamily& family) {
  for (size_t i = 0; i < family.count; i++) install(family.entries[i]);
}

}  // namespace quorvel
