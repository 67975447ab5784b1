// treeui: the host's owner-drawn tree controls, pop-up menu and group-name editor.
#pragma once

#include "host/treeui/bcmenu.h"
#include "host/treeui/groupnameedit.h"
#include "host/treeui/yrfriendtree.h"
#include "host/treeui/yrtreectrl.h"
