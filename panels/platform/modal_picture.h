// Pictures of modal user interface as a person would see it on screen: a
// pop-up menu (with the chosen item highlighted and the submenus that lead
// to it open) and a message box. Text goes through the DC text services, so
// the pictures use the same font as every window.
#pragma once

#include "platform/canvas.h"
#include "platform/modal.h"

// The menu alone on a light backdrop, with a soft shadow. `chosen` (a command
// id, 0 for none) is highlighted, and every submenu on its path is open.
Canvas RenderPopupMenu(const PopupMenuView& menu, UINT chosen = 0);
// The menu laid over the picture of its owner's top-level window at the
// point where it opens (the picture grows where the menu passes its edge).
// Without an owner window this is RenderPopupMenu.
Canvas RenderPopupMenuOverOwner(const PopupMenuView& menu, UINT chosen = 0);
// A message box: caption, icon by type, text wrapped to the box, and the
// buttons of its type with the default one marked.
Canvas RenderMessageBox(const MessageBoxView& box);
