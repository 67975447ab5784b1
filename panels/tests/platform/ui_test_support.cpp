#include "ui_test_support.h"

namespace uitest {

std::vector<Received>& Log() {
  static std::vector<Received> log;
  return log;
}

int Count(HWND hwnd, UINT msg) {
  int n = 0;
  for (const auto& r : Log())
    if (r.msg == msg && (!hwnd || r.hwnd == hwnd)) ++n;
  return n;
}

std::vector<UINT> MessagesOf(HWND hwnd, std::vector<UINT> ignore) {
  std::vector<UINT> out;
  for (const auto& r : Log())
    if (r.hwnd == hwnd && std::find(ignore.begin(), ignore.end(), r.msg) == ignore.end())
      out.push_back(r.msg);
  return out;
}

namespace {
LRESULT RecorderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Log().push_back(Received{hwnd, msg, wParam, lParam});
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}
}  // namespace

void UiTest::SetUp() {
  ResetUserInterface();
  Log().clear();
  WNDCLASSW wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = RecorderProc;
  wc.hbrBackground = COLOR_WINDOW + 1;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kRecorder;
  RegisterClassW(&wc);  // fails harmlessly when an earlier test registered it
}

void UiTest::TearDown() {
  ResetUserInterface();
  Log().clear();
}

HWND UiTest::Top(RECT rc, DWORD style) {
  return CreateWindowExW(0, kRecorder, u"top", style, rc.left, rc.top, rc.right - rc.left,
                         rc.bottom - rc.top, 0, 0, nullptr, nullptr);
}

HWND UiTest::Child(HWND parent, RECT rc, int id, DWORD style) {
  return CreateWindowExW(0, kRecorder, u"child", style, rc.left, rc.top, rc.right - rc.left,
                         rc.bottom - rc.top, parent, static_cast<HMENU>(id), nullptr, nullptr);
}

}  // namespace uitest
