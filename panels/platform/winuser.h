// Every user-interface service of the platform in one include.
#pragma once

#include "platform/bitmap.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/drawtext.h"
#include "platform/gdi.h"
#include "platform/imagelist.h"
#include "platform/input.h"
#include "platform/menu.h"
#include "platform/message.h"
#include "platform/modal.h"
#include "platform/rect.h"
#include "platform/region.h"
#include "platform/scrollbar.h"
#include "platform/timer.h"
#include "platform/tooltip.h"
#include "platform/window.h"
