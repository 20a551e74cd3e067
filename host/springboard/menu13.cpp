// The version-13 context menu: an interface-action group of representation views with
// separators, the same views that draw the host's alerts.
#include "runtime/class_builder.h"
#include "springboard/context_menu_views.h"
#include "springboard/menu_presenter.h"

namespace qv::host {
namespace {

id interfaceActionTitle(id self, SEL) { return fields<InterfaceActionObj>(self)->title; }
id representationAction(id self, SEL) {
  fields<RepresentationViewObj>(self)->actionReads++;
  return fields<RepresentationViewObj>(self)->action;
}
id groupAlertController(id self, SEL) { return fields<GroupViewObj>(self)->alertController; }

// The version-13 action view is built whole by its initializer.
id actionViewInitWithTitle(id self, SEL, id title, id subtitle, id image) {
  self = msgSend<id>(self, SELECTOR("initWithFrame:"), CGRect{{0, 0}, {250, 44}});
  msgSend<void>(actionView(self)->titleLabel.get(), SELECTOR("setText:"), title);
  msgSend<void>(actionView(self)->subtitleLabel.get(), SELECTOR("setText:"), subtitle);
  msgSend<void>(actionView(self)->imageView.get(), SELECTOR("setImage:"), image);
  return self;
}
id actionViewImageView(id self, SEL) { return actionView(self)->imageView; }

id newAction(const std::string& title) {
  id a = msgSend<id>(objc_getClass("UIInterfaceAction"), SELECTOR("new"));
  fields<InterfaceActionObj>(a)->title = makeString(title);
  return objc_autorelease(a);
}

id newGroup(id alertController) {
  id group = newView("UIInterfaceActionGroupView");
  fields<GroupViewObj>(group)->alertController = alertController;
  fields<GroupViewObj>(group)->backgroundView = newView("UIView");
  return group;
}

id newRow(const std::string& title) {
  id row = newView("UIInterfaceActionRepresentationView");
  fields<RepresentationViewObj>(row)->action = newAction(title);
  return row;
}

// A group laid out as the host does: the group, then each row reads its action, then the
// separators.
void layoutGroup(id group, const std::vector<Strong>& rows, const std::vector<Strong>& separators) {
  layoutView(group);
  for (const Strong& row : rows) msgSend<id>(row.get(), SELECTOR("action"));
  for (const Strong& separator : separators) layoutView(separator);
}

// The group's views, for whoever watches it.
ActionGroupViews groupViews(id group, const std::vector<Strong>& rows,
                            const std::vector<Strong>& separators) {
  ActionGroupViews v{group, {}, {}};
  for (const Strong& row : rows) v.rows.push_back(row);
  for (const Strong& separator : separators) v.separators.push_back(separator);
  return v;
}

class Menu13 : public ContextMenuPresenter {
 public:
  Menu13() : ContextMenuPresenter(Family::V13, "Delete App") {}

  // The host draws an alert with the same action-group views, owned by its alert controller.
  void alertPresented(id alert) override {
    alertGroup_ = newGroup(alert);
    alertRows_.clear();
    alertSeparators_.clear();
    for (const auto& [title, style] : alertButtons(alert)) {
      if (!alertRows_.empty()) {
        Strong sep = newView("_UIInterfaceActionVibrantSeparatorView");
        addSubview(alertGroup_, sep);
        alertSeparators_.push_back(sep);
      }
      Strong row = newRow(title);
      addSubview(alertGroup_, row);
      alertRows_.push_back(row);
    }
    layoutGroup(alertGroup_, alertRows_, alertSeparators_);
  }

  bool itemHidden(size_t index) const override {
    return index < rows_.size() && fields<UIViewObj>(rows_[index])->hidden;
  }

  std::optional<ActionGroupViews> alertViews() const override {
    if (!alertGroup_) return std::nullopt;
    return groupViews(alertGroup_, alertRows_, alertSeparators_);
  }

 private:
  // Rows of one section are parted by thin separators; the sections by a thick one.
  void buildViews(size_t appItemCount) override {
    group_ = newGroup(nil);
    for (size_t i = 0; i < items_.size(); i++) {
      id item = items_[i];
      if (i > 0) {
        const char* kind = i == appItemCount ? "_UIInterfaceActionBlankSeparatorView"
                                             : "_UIInterfaceActionVibrantSeparatorView";
        Strong sep = newView(kind);
        addSubview(group_, sep);
        separators_.push_back(sep);
      }
      id subtitle = fields<ShortcutItemObj>(item)->localizedSubtitle;
      id content = msgSend<id>(
          msgSend<id>(objc_getClass("_UIContextMenuActionView"), SELECTOR("alloc")),
          SELECTOR("initWithTitle:subtitle:image:"),
          fields<ShortcutItemObj>(item)->localizedTitle.get(), subtitle, static_cast<id>(nil));
      contentViews_.push_back(Strong::adopt(content));
      Strong row = newRow(itemTitle(item));
      addSubview(row, content);
      addSubview(group_, row);
      rows_.push_back(row);
    }
    wrapper_ = Strong::adopt(
        msgSend<id>(objc_getClass("SBHIconViewContextMenuWrapperViewController"), SELECTOR("new")));
    shadow_ = newView("_UICutoutShadowView");
    layoutGroup(group_, rows_, separators_);
  }

  void releaseViews() override {
    contentViews_.clear();
    rows_.clear();
    separators_.clear();
    group_.reset();
  }

  id itemImageView(size_t index) const override {
    return actionView(contentViews_[index])->imageView;
  }

  MenuViews familyViews(const ContextMenuFrame& frame) const override {
    return GroupMenuViews{frame, groupViews(group_, rows_, separators_)};
  }

  std::vector<Strong> contentViews_, rows_, separators_;
  Strong group_;
  Strong alertGroup_;
  std::vector<Strong> alertRows_, alertSeparators_;
};

}  // namespace

void registerMenuClasses13(const HostQuirks& quirks) {
  Class action = registerContextMenuCommonClasses();
  defineMethod(action, "initWithTitle:subtitle:image:", actionViewInitWithTitle);
  defineMethod(action, "imageView", actionViewImageView);
  ClassBuilder<InterfaceActionObj>("UIInterfaceAction", "NSObject")
      .method("title", interfaceActionTitle);
  ClassBuilder<RepresentationViewObj>("UIInterfaceActionRepresentationView", "UIView")
      .method("action", representationAction);
  ClassBuilder<UIViewObj>("_UIInterfaceActionSeparatorView", "UIView");
  ClassBuilder<UIViewObj>("_UIInterfaceActionBlankSeparatorView",
                          "_UIInterfaceActionSeparatorView");
  ClassBuilder<UIViewObj>("_UIInterfaceActionVibrantSeparatorView",
                          "_UIInterfaceActionSeparatorView");
  ClassBuilder<GroupViewObj> group("UIInterfaceActionGroupView", "UIView");
  group.method("_alertController", groupAlertController);
  if (quirks.groupBackgroundIvar) {
    group.ivar("_backgroundView", QV_OFFSETOF(GroupViewObj, backgroundView));
  }
}

std::unique_ptr<MenuPresenter> makeMenuPresenter13() { return std::make_unique<Menu13>(); }

}  // namespace qv::host
