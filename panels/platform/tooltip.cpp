#include "platform/tooltip.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace platform::ui {
namespace {

struct Tool {
  UINT flags = 0;
  HWND hwnd = 0;
  UINT_PTR id = 0;
  RECT rect;
  std::u16string text;
};

struct Tooltip {
  bool active = true;
  std::vector<Tool> tools;
};

std::unordered_map<HWND, Tooltip>& Tips() {
  static std::unordered_map<HWND, Tooltip> tips;
  return tips;
}

std::vector<Tool>::iterator FindTool(Tooltip& tip, const TOOLINFOW* ti) {
  return std::find_if(tip.tools.begin(), tip.tools.end(),
                      [&](const Tool& t) { return t.hwnd == ti->hwnd && t.id == ti->uId; });
}

bool ValidText(LPCWSTR text) {
  // LPSTR_TEXTCALLBACK and resource ids carry no text of their own.
  return text && !IS_INTRESOURCE(text) && reinterpret_cast<std::intptr_t>(text) != -1;
}

}  // namespace

LRESULT TooltipWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* ti = reinterpret_cast<const TOOLINFOW*>(lParam);
  switch (msg) {
    case WM_NCCREATE: Tips()[hwnd]; break;
    case WM_NCDESTROY: Tips().erase(hwnd); break;
    case TTM_ACTIVATE: Tips()[hwnd].active = wParam != 0; return 0;
    case TTM_ADDTOOLW: {
      if (!ti) return FALSE;
      Tooltip& tip = Tips()[hwnd];
      Tool t;
      t.flags = ti->uFlags;
      t.hwnd = ti->hwnd;
      t.id = ti->uId;
      t.rect = ti->rect;
      if (ValidText(ti->lpszText)) t.text = ti->lpszText;
      auto it = FindTool(tip, ti);
      if (it != tip.tools.end()) *it = t;
      else tip.tools.push_back(t);
      return TRUE;
    }
    case TTM_DELTOOLW: {
      if (!ti) return 0;
      Tooltip& tip = Tips()[hwnd];
      auto it = FindTool(tip, ti);
      if (it != tip.tools.end()) tip.tools.erase(it);
      return 0;
    }
    case TTM_NEWTOOLRECTW:
    case TTM_UPDATETIPTEXTW: {
      if (!ti) return 0;
      Tooltip& tip = Tips()[hwnd];
      auto it = FindTool(tip, ti);
      if (it == tip.tools.end()) return 0;
      if (msg == TTM_NEWTOOLRECTW) it->rect = ti->rect;
      else it->text = ValidText(ti->lpszText) ? ti->lpszText : u"";
      return 0;
    }
    case TTM_GETTEXTW: {
      auto* out = reinterpret_cast<TOOLINFOW*>(lParam);
      if (!out || !out->lpszText) return 0;
      Tooltip& tip = Tips()[hwnd];
      auto it = FindTool(tip, out);
      std::u16string text = it == tip.tools.end() ? u"" : it->text;
      // The caller's buffer holds wParam characters (80 when 0, as the original assumed).
      std::size_t room = wParam ? static_cast<std::size_t>(wParam) : 80;
      std::size_t n = std::min(text.size(), room - 1);
      std::copy_n(text.begin(), n, out->lpszText);
      out->lpszText[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(Tips()[hwnd].tools.size());
    case TTM_RELAYEVENT:
    case TTM_POP:
    case TTM_SETDELAYTIME:
    case TTM_SETMAXTIPWIDTH: return 0;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace platform::ui

std::u16string TooltipTextAt(HWND tooltip, HWND window, POINT pt) {
  auto& tips = platform::ui::Tips();
  auto it = tips.find(tooltip);
  if (it == tips.end() || !it->second.active) return {};
  for (const auto& t : it->second.tools) {
    if (t.flags & TTF_IDISHWND) {
      if (static_cast<HWND>(t.id) == window) return t.text;
    } else if (t.hwnd == window && PtInRect(&t.rect, pt)) {
      return t.text;
    }
  }
  return {};
}
