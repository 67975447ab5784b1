// basekit: the host client's utilities.
#pragma once

#include "host/basekit/codec.h"
#include "host/basekit/commfunc.h"
#include "host/basekit/datalocker.h"
#include "host/basekit/inifile.h"
#include "host/basekit/log.h"
#include "host/basekit/picture.h"
#include "host/basekit/resource.h"
