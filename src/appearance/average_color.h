// The average colour of an image, as the menu's icon colour.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// -averageColorOfImage: (added to every class a styling hook colours): the mean of the
// image's premultiplied RGBA pixels, alpha `menuColorAlpha`. The receiver plays no part.
id averageColorOfImage(id self, SEL cmd, id image);

}  // namespace quorvel
