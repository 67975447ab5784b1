// The class framework that the host libraries and the panels are written
// against: a small, real subset with the familiar names. Text is
// std::u16string (there is no CString).
#pragma once

#include "platform/afxtypes.h"
#include "platform/cdc.h"
#include "platform/cdialog.h"
#include "platform/cgdiobj.h"
#include "platform/cimagelist.h"
#include "platform/cmenu.h"
#include "platform/cwinapp.h"
#include "platform/cwnd.h"
