// The host-facing services: the main window, the shell's "open", the
// debugger output and the system's message texts.
#include "ui_test_support.h"

#include "platform/framework.h"
#include "platform/shell.h"
#include "platform/winerror.h"

#include <cstdarg>
#include <memory>

namespace {

TEST(MainWindow, TheHostSetsItAndItGoesWithItsWindow) {
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
  CWinApp app;
  CWnd fallback;
  app.m_pMainWnd = &fallback;
  EXPECT_EQ(AfxGetMainWnd(), &fallback);
  auto main = std::make_unique<CWnd>();
  AfxSetMainWnd(main.get());
  EXPECT_EQ(AfxGetMainWnd(), main.get());
  main.reset();
  EXPECT_EQ(AfxGetMainWnd(), &fallback);
  AfxSetMainWnd(nullptr);
  app.m_pMainWnd = nullptr;
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

TEST(Shell, OpenReachesTheHostsOpener) {
  EXPECT_EQ(
      reinterpret_cast<INT_PTR>(ShellExecuteW(0, u"open", u"http://a.test/", nullptr, nullptr, 1)),
      SE_ERR_NOASSOC);  // nothing installed: nothing opens
  std::vector<std::u16string> opened;
  bool accept = true;
  SetShellOpener([&](const std::u16string& file, const std::u16string& params, int show) {
    opened.push_back(file + u"|" + params + u"|" + static_cast<char16_t>(u'0' + show));
    return accept;
  });
  EXPECT_TRUE(
      ShellExecuteSucceeded(ShellExecuteW(0, u"open", u"http://a.test/注册", nullptr, nullptr, 1)));
  EXPECT_TRUE(ShellExecuteSucceeded(ShellExecuteW(0, nullptr, u"x.txt", u"-v", nullptr, 5)));
  EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(0, u"print", u"x.txt", nullptr, nullptr, 1)),
            SE_ERR_NOASSOC);
  EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(0, u"open", u"", nullptr, nullptr, 1)),
            SE_ERR_FNF);
  accept = false;
  EXPECT_FALSE(ShellExecuteSucceeded(ShellExecuteW(0, u"open", u"y", nullptr, nullptr, 1)));
  EXPECT_EQ(opened,
            (std::vector<std::u16string>{u"http://a.test/注册||1", u"x.txt|-v|5", u"y||1"}));
  SetShellOpener(nullptr);
}

TEST(DebugOutput, GoesToTheInstalledSink) {
  std::u16string seen;
  SetDebugOutputSink([&](const std::u16string& text) { seen += text; });
  OutputDebugStringW(u"登录失败\n");
  OutputDebugStringW(nullptr);
  OutputDebugStringA("ok");
  EXPECT_EQ(seen, u"登录失败\nok");
  SetDebugOutputSink(nullptr);
}

DWORD Format(DWORD flags, LPCVOID source, DWORD id, LPWSTR buffer, DWORD size, ...) {
  va_list args;
  va_start(args, size);
  DWORD n = FormatMessageW(flags, source, id, 0, buffer, size, &args);
  va_end(args);
  return n;
}

TEST(FormatMessage, SystemTextsAndInserts) {
  char16_t buf[256];
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           WSAECONNREFUSED, 0, buf, 256, nullptr);
  EXPECT_EQ(std::u16string(buf, n),
            u"No connection could be made because the target machine actively refused it.\r\n");
  EXPECT_EQ(SystemErrorText(ERROR_FILE_NOT_FOUND), u"The system cannot find the file specified.");
  // One line: the text's own line breaks become spaces.
  n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_MAX_WIDTH_MASK, nullptr,
                     ERROR_ACCESS_DENIED, 0, buf, 256, nullptr);
  EXPECT_EQ(std::u16string(buf, n), u"Access is denied. ");
  SetLastError(0);
  EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 99999, 0, buf, 256, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);

  // Inserts from a va_list, with and without a conversion, and the escapes.
  n = Format(FORMAT_MESSAGE_FROM_STRING, u"%1 秒后重试%n(%2!d!%%)%0 never", 0, buf, 256, u"30", 7);
  EXPECT_EQ(std::u16string(buf, n), u"30 秒后重试\r\n(7%)");
  DWORD_PTR array[] = {reinterpret_cast<DWORD_PTR>(u"b"), reinterpret_cast<DWORD_PTR>(u"a"), 255};
  n = FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, u"%2%1 %3!X!", 0,
                     0, buf, 256, reinterpret_cast<va_list*>(array));
  EXPECT_EQ(std::u16string(buf, n), u"ab FF");
  n = FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_IGNORE_INSERTS, u"%1 and %2!d!", 0,
                     0, buf, 256, nullptr);
  EXPECT_EQ(std::u16string(buf, n), u"%1 and %2!d!");

  // Failures: too small a buffer, inserts without arguments, a broken insert.
  SetLastError(0);
  EXPECT_EQ(Format(FORMAT_MESSAGE_FROM_STRING, u"abcdef", 0, buf, 6), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_STRING, u"%1", 0, 0, buf, 256, nullptr), 0u);
  EXPECT_EQ(Format(FORMAT_MESSAGE_FROM_STRING, u"%1!d", 0, buf, 256, 5), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  // The allocating form hands over a block for LocalFree.
  LPWSTR block = nullptr;
  n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                     ERROR_TIMEOUT, 0, reinterpret_cast<LPWSTR>(&block), 0, nullptr);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::u16string(block, n),
            u"This operation returned because the timeout period expired.\r\n");
  EXPECT_EQ(block[n], 0);
  EXPECT_EQ(LocalFree(block), nullptr);
}

}  // namespace
