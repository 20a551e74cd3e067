// The menu item glyphs: black shapes on a transparent 58x58 canvas.
#pragma once

#include <cairo.h>

#include "pen.h"

namespace qv::icons {

using Glyph = void (*)(cairo_t* cr, const Pen& pen);

void drawCopy(cairo_t* cr, const Pen& pen);
void drawCloudDown(cairo_t* cr, const Pen& pen);
void drawTrash(cairo_t* cr, const Pen& pen);
void drawClearCache(cairo_t* cr, const Pen& pen);
void drawBadgeClear(cairo_t* cr, const Pen& pen);
void drawLock(cairo_t* cr, const Pen& pen);
void drawUnlock(cairo_t* cr, const Pen& pen);
void drawBell(cairo_t* cr, const Pen& pen);
void drawBellOff(cairo_t* cr, const Pen& pen);
void drawBanner(cairo_t* cr, const Pen& pen);
void drawBannerOff(cairo_t* cr, const Pen& pen);

}  // namespace qv::icons
