// A settings file that includes a menu header: the layer check must refuse it.
#include "menu/catalogue.h"
#include "settings/settings_cache.h"
