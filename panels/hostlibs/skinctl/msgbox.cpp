// The skinned message box goes through the platform's modal driver.
#include "host/skinctl/msgbox.h"

#include "host/basekit/resource.h"

int MessageBoxExExDLL(LPCWSTR text, UINT flags, LPCWSTR caption, HWND owner) {
  std::u16string title =
      caption ? std::u16string(caption) : CResourceMgr::GetInstance()->GetString(60574);
  if (!owner) owner = GetActiveWindow();
  return MessageBoxW(owner, text ? text : u"", title.c_str(), flags);
}
