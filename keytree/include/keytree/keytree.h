// The key tree library: typed items, item lists and key trees.
#pragma once

#include "cstring.h"
#include "debugout.h"
#include "guid.h"
#include "object.h"

#include "archive.h"
#include "file.h"
#include "variant.h"

#include "ckeytree.h"
#include "item.h"
#include "itemlist.h"
#include "scalars.h"
