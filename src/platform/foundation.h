// Everything of Foundation and Core Foundation that the library reaches.
#pragma once

#include "platform/block.h"
#include "platform/corefoundation.h"
#include "platform/dispatch.h"
#include "platform/ns_archiving.h"
#include "platform/ns_collections.h"
#include "platform/ns_files.h"
#include "platform/ns_functions.h"
#include "platform/ns_notifications.h"
#include "platform/ns_object.h"
#include "platform/ns_values.h"
