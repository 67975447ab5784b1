#include "account/plugin_own_photo.h"

namespace {
const std::vector<UINT> kOwnPhotoMsgs = {3104, 3076, 1086, 1476};
}

CPluginOwnPhoto::CPluginOwnPhoto() { m_strType = u"PluginOwnPhoto"; }
CPluginOwnPhoto::~CPluginOwnPhoto() { CPluginOwnPhoto::UnRegisterMsg(); }

void CPluginOwnPhoto::RegisterMsg() { RegisterIds(kOwnPhotoMsgs); }
void CPluginOwnPhoto::UnRegisterMsg() { UnRegisterIds(kOwnPhotoMsgs); }

BOOL CPluginOwnPhoto::CreatePlugin(HWND parent, const RECT* rc) {
  return CreatePanelWindow(u"QWOwnPhoto", parent, rc, 50);
}

LRESULT CPluginOwnPhoto::OnNotify(UINT, WPARAM, LPARAM) { return 0; }
