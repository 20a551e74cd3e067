// Each menu item's icon, from the item table: chosen by its title (and by its subtitle for the
// three switches).
#pragma once

#include "platform/objc.h"

namespace quorvel {

// _UIContextMenuActionView -setTrailingImage: (version 14)
void hook14SetTrailingImage(id self, SEL cmd, id image);
// _UIContextMenuCellContentView -setTrailingImage: (versions 15 and 16)
void hook15SetTrailingImage(id self, SEL cmd, id image);
// _UIContextMenuActionView -initWithTitle:subtitle:image: (version 13)
id hook13ActionViewInit(id self, SEL cmd, id title, id subtitle, id image);
// SBUIAction -initWithTitle:subtitle:image:badgeView:handler: (version 12)
id hook12ActionInit(id self, SEL cmd, id title, id subtitle, id image, id badgeView, id handler);

}  // namespace quorvel
