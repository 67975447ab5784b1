// skinctl: the host's skinned dialogs and controls, pictures, colour
// conversion and skinned message box.
#pragma once

#include "host/skinctl/bitmapbutton.h"
#include "host/skinctl/colorconverter.h"
#include "host/skinctl/coolcontrols.h"
#include "host/skinctl/cooldialog.h"
#include "host/skinctl/msgbox.h"
#include "host/skinctl/picture.h"
