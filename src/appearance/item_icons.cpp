#include "appearance/item_icons.h"

#include "menu/item_table.h"
#include "platform/substrate.h"
#include "platform/uikit.h"

namespace quorvel {

namespace {

// The file of the item titled `title` in `items`, or null when no item of the family has that
// title or the item has no icon. A switch shows its in-list file when the subtitle the catalogue
// gave it says the app is in its list.
const char* iconFile(qv::Span<MenuItem> items, const NS::String& title,
                     const NS::String& subtitle) {
  const MenuItem* item = itemTitled(items, title);
  if (!item) return nullptr;
  bool inList =
      item->isSwitch() && subtitle.isEqualToString(NS::String::from(item->state.subtitleInList));
  return inList ? item->state.iconInList : item->icon;
}

UI::Image loadIcon(const char* file) {
  NS::String folder = NSSTR("/var/LIY/Application Support/Quorvel.bundle/");
  return UI::Image::imageWithContentsOfFile(folder.stringByAppendingString(NS::String::from(file)));
}

// Black in the light style, white otherwise (also without a style arbiter).
UI::Color styleTint() {
  Class arbiterClass = NSClassFromString(NSSTR("UIUserInterfaceStyleArbiter"));
  id arbiter = msgSend<id>(arbiterClass, SELECTOR("sharedInstance"));
  NSInteger style = msgSend<NSInteger>(arbiter, SELECTOR("currentStyle"));
  return style == 1 ? UI::Color::blackColor() : UI::Color::whiteColor();
}

// The context-menu icon for a title, as a template image; false when the title has no row.
bool contextMenuIcon(const NS::String& title, const NS::String& subtitle, UI::Image* icon) {
  const char* file = iconFile(contextMenuItems(), title, subtitle);
  if (!file) return false;
  *icon = loadIcon(file).imageWithRenderingMode(UI::ImageRenderingModeAlwaysTemplate);
  return true;
}

NS::String labelText(id view, SEL label) {
  return NS::String(msgSend<id>(msgSend<id>(view, label), SELECTOR("text")));
}

}  // namespace

namespace {

// The item's icon in place of `image` when its labels name one of the library's items.
id trailingImage(id view, id image) {
  NS::String title = labelText(view, SELECTOR("titleLabel"));
  NS::String subtitle = labelText(view, SELECTOR("subtitleLabel"));
  UI::Image icon;
  if (!contextMenuIcon(title, subtitle, &icon)) return image;
  UI::View(msgSend<id>(view, SELECTOR("trailingImageView"))).setTintColor(styleTint());
  return icon;
}

}  // namespace

void hook14SetTrailingImage(id self, SEL cmd, id image) {
  qv::Hook<hook14SetTrailingImage>::previous(self, cmd, trailingImage(self, image));
}

void hook15SetTrailingImage(id self, SEL cmd, id image) {
  qv::Hook<hook15SetTrailingImage>::previous(self, cmd, trailingImage(self, image));
}

// The tint goes on the image view once the initializer has built it.
id hook13ActionViewInit(id self, SEL cmd, id title, id subtitle, id image) {
  UI::Image icon;
  bool matched = contextMenuIcon(NS::String(title), NS::String(subtitle), &icon);
  if (matched) image = icon;
  id view = qv::Hook<hook13ActionViewInit>::previous(self, cmd, title, subtitle, image);
  if (matched) UI::View(msgSend<id>(view, SELECTOR("imageView"))).setTintColor(styleTint());
  return view;
}

id hook12ActionInit(id self, SEL cmd, id title, id subtitle, id image, id badgeView, id handler) {
  if (const char* file = iconFile(platterItems(), NS::String(title), NS::String(subtitle))) {
    image = loadIcon(file);
  }
  return qv::Hook<hook12ActionInit>::previous(self, cmd, title, subtitle, image, badgeView,
                                              handler);
}

}  // namespace quorvel
