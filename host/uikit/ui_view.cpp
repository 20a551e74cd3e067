// UIView and its layer, labels, image views and windows; CAFilter.
#include "runtime/class_builder.h"
#include "uikit/uikit_internal.h"

namespace qv::host {
namespace {

Class gView, gLayer, gFilter;

UIViewObj* view(id v) { return fields<UIViewObj>(v); }
CALayerObj* layer(id l) { return fields<CALayerObj>(l); }

// ---- CALayer ----

id layerFilters(id self, SEL) { return layer(self)->filters; }
void layerSetFilters(id self, SEL, id filters) {
  // Layers copy the filter list they are given.
  layer(self)->filters = Strong::adopt(msgSend<id>(filters, SELECTOR("copy")));
}
BOOL layerMasksToBounds(id self, SEL) { return layer(self)->masksToBounds; }
void layerSetMasksToBounds(id self, SEL, BOOL masks) { layer(self)->masksToBounds = masks; }
double layerCornerRadius(id self, SEL) { return layer(self)->cornerRadius; }
void layerSetCornerRadius(id self, SEL, double r) { layer(self)->cornerRadius = r; }

// ---- CAFilter ----

id filterWithName(id cls, SEL, id name) {
  id f = runtime::createInstance(reinterpret_cast<Class>(cls));
  fields<CAFilterObj>(f)->name = stdString(name);
  fields<CAFilterObj>(f)->values = makeDictionary({}, true);
  return objc_autorelease(f);
}
id filterName(id self, SEL) { return makeString(fields<CAFilterObj>(self)->name); }
void filterSetValue(id self, SEL, id value, id key) {
  id values = fields<CAFilterObj>(self)->values;
  if (!key) return;
  if (value) {
    msgSend<void>(values, SELECTOR("setObject:forKey:"), value, key);
  } else {
    msgSend<void>(values, SELECTOR("removeObjectForKey:"), key);
  }
}
id filterValueForKey(id self, SEL, id key) {
  return msgSend<id>(fields<CAFilterObj>(self)->values.get(), SELECTOR("objectForKey:"), key);
}

// ---- UIView ----

id viewInitWithFrame(id self, SEL, CGRect frame) {
  view(self)->frame = frame;
  view(self)->layer = Strong::adopt(runtime::createInstance(gLayer));
  return self;
}
id viewInit(id self, SEL) { return msgSend<id>(self, SELECTOR("initWithFrame:"), CGRect{}); }
CGRect viewFrame(id self, SEL) { return view(self)->frame; }
void viewSetFrame(id self, SEL, CGRect f) { view(self)->frame = f; }
double viewAlpha(id self, SEL) { return view(self)->alpha; }
void viewSetAlpha(id self, SEL, double a) { view(self)->alpha = a; }
BOOL viewIsHidden(id self, SEL) { return view(self)->hidden; }
void viewSetHidden(id self, SEL, BOOL h) { view(self)->hidden = h; }
id viewBackgroundColor(id self, SEL) { return view(self)->backgroundColor; }
void viewSetBackgroundColor(id self, SEL, id c) {
  view(self)->backgroundColor = c;
  view(self)->backgroundSets++;
}
id viewTintColor(id self, SEL) { return view(self)->tintColor; }
void viewSetTintColor(id self, SEL, id c) { view(self)->tintColor = c; }
id viewLayer(id self, SEL) { return view(self)->layer; }
id viewSubviews(id self, SEL) {
  std::vector<id> items;
  for (const Strong& s : view(self)->subviews) items.push_back(s.get());
  return makeArray(items);
}
id viewSuperview(id self, SEL) {
  Strong parent = view(self)->superview.load();
  return objc_autorelease(objc_retain(parent.get()));
}
void viewAddSubview(id self, SEL, id child) { addSubview(self, child); }
void viewLayoutSubviews(id self, SEL) { view(self)->layoutCount++; }
void viewSetNeedsLayout(id, SEL) {}
void viewLayoutIfNeeded(id self, SEL) { layoutView(self); }

// ---- UILabel, UIImageView, UIWindow ----

id labelText(id self, SEL) { return fields<UILabelObj>(self)->text; }
void labelSetText(id self, SEL, id text) {
  fields<UILabelObj>(self)->text = Strong::adopt(msgSend<id>(text, SELECTOR("copy")));
}
id imageViewImage(id self, SEL) { return fields<UIImageViewObj>(self)->image; }
void imageViewSetImage(id self, SEL, id image) { fields<UIImageViewObj>(self)->image = image; }
id windowRoot(id self, SEL) { return fields<UIWindowObj>(self)->rootViewController; }
void windowSetRoot(id self, SEL, id controller) {
  fields<UIWindowObj>(self)->rootViewController = controller;
}
void windowMakeKey(id self, SEL) {
  if (id app = sharedApplication()) fields<UIApplicationObj>(app)->keyWindow = self;
}

}  // namespace

Class viewClass() { return gView; }

CALayerObj* layerOf(id v) {
  if (!v || !isKind(v, gView)) return nullptr;
  id l = view(v)->layer;
  return l ? layer(l) : nullptr;
}

void addSubview(id parent, id child) {
  if (!parent || !child || parent == child) return;
  view(parent)->subviews.emplace_back(child);
  view(child)->superview = parent;
}

void layoutView(id v) { msgSend<void>(v, SELECTOR("layoutSubviews")); }

void registerViews() {
  gLayer = ClassBuilder<CALayerObj>("CALayer", "NSObject")
               .method("filters", layerFilters)
               .method("setFilters:", layerSetFilters)
               .method("masksToBounds", layerMasksToBounds)
               .method("setMasksToBounds:", layerSetMasksToBounds)
               .method("cornerRadius", layerCornerRadius)
               .method("setCornerRadius:", layerSetCornerRadius)
               .cls();
  gFilter = ClassBuilder<CAFilterObj>("CAFilter", "NSObject")
                .classMethod("filterWithName:", filterWithName)
                .method("name", filterName)
                .method("setValue:forKey:", filterSetValue)
                .method("valueForKey:", filterValueForKey)
                .cls();
  ClassBuilder<objc_object>("UIResponder", "NSObject");
  gView = ClassBuilder<UIViewObj>("UIView", "UIResponder")
              .method("initWithFrame:", viewInitWithFrame)
              .method("init", viewInit)
              .method("frame", viewFrame)
              .method("setFrame:", viewSetFrame)
              .method("alpha", viewAlpha)
              .method("setAlpha:", viewSetAlpha)
              .method("isHidden", viewIsHidden)
              .method("setHidden:", viewSetHidden)
              .method("backgroundColor", viewBackgroundColor)
              .method("setBackgroundColor:", viewSetBackgroundColor)
              .method("tintColor", viewTintColor)
              .method("setTintColor:", viewSetTintColor)
              .method("layer", viewLayer)
              .method("subviews", viewSubviews)
              .method("superview", viewSuperview)
              .method("addSubview:", viewAddSubview)
              .method("layoutSubviews", viewLayoutSubviews)
              .method("setNeedsLayout", viewSetNeedsLayout)
              .method("layoutIfNeeded", viewLayoutIfNeeded)
              .cls();
  ClassBuilder<UILabelObj>("UILabel", "UIView")
      .method("text", labelText)
      .method("setText:", labelSetText);
  ClassBuilder<UIImageViewObj>("UIImageView", "UIView")
      .method("image", imageViewImage)
      .method("setImage:", imageViewSetImage);
  ClassBuilder<UIWindowObj>("UIWindow", "UIView")
      .method("rootViewController", windowRoot)
      .method("setRootViewController:", windowSetRoot)
      .method("makeKeyAndVisible", windowMakeKey);
}

}  // namespace qv::host
