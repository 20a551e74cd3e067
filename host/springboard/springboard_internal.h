// The home-screen host's registration of its classes, shared by its source files; the structs
// behind its objects are in springboard_objects.h.
#pragma once

#include "runtime/class_builder.h"
#include "springboard/home_items.h"
#include "springboard/home_screen.h"
#include "springboard/springboard_objects.h"

namespace qv::host {

// ---- class registration per layer ----
void registerSpringBoardClasses(Family family, int hostClasses, const HostQuirks& quirks);
void registerSwitcherClasses(Family family, int hostClasses, const HostQuirks& quirks);
void registerSystemServices(Family family);
void registerWallpaperClasses(int hostClasses);
// The static wallpaper view's class: SpringBoardFoundation's before 16, PaperBoardUI's from 16.
const char* staticWallpaperClass(int hostClasses);
void registerMenuClasses14();
void registerMenuClasses15();
void registerMenuClasses13(const HostQuirks& quirks);
void registerMenuClasses12(const HostQuirks& quirks);
void registerAppIconImages();
void installResources();

}  // namespace qv::host
