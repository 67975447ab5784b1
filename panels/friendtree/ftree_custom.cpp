// The layout's custom nodes (links and the add-friend node) and the link at
// the end of the customer-service group: where they go and what a click on
// them does.
#include "friendtree/ftree_ctrl.h"

#include "friendtree/ftree_log.h"
#include "host/basekit/commfunc.h"
#include "host/basekit/inifile.h"
#include "host/basekit/resource.h"
#include "platform/text.h"
#include "platform/window.h"

namespace {

constexpr UINT kCSForumText = 60071;
constexpr DWORD kAddressChars = 511;
constexpr char16_t kHelpAddress[] = u"IN_MENU_HELP";
// Where the help address points when "cfg.ini" does not say.
constexpr char16_t kDefaultHelpUrl[] = u"http://www.example.com/";

// "<host program directory>\<file>"
std::u16string ProgramFile(const std::u16string& file) {
  std::u16string dir = CCommFunction::GetModuleDirectory();
  while (!dir.empty() && (dir.back() == u'\\' || dir.back() == u'/')) dir.pop_back();
  return FormatW(u"%s\\%s", dir, file);
}

}  // namespace

const FTREE_LINKRECORD* CQWFriendTreeCtrl::GetLinkRecord(HTREEITEM item) const {
  FTLOG(u"CQWFriendTreeCtrl::GetLinkRecord()");
  auto it = m_links.find(item);
  return it == m_links.end() ? nullptr : &it->second;
}

HTREEITEM CQWFriendTreeCtrl::InsertLinkItem(const std::u16string& text, const std::u16string& image,
                                            DWORD_PTR data, HTREEITEM parent, HTREEITEM after,
                                            const FTREE_LINKRECORD* link) {
  FTLOG(u"CQWFriendTreeCtrl::InsertLinkItem()");
  const int index = CachedImageFile(image);
  HTREEITEM item = InsertItem(text.c_str(), index, index, parent, after);
  if (!item) return nullptr;
  SetItemData(item, data);
  if (link) m_links[item] = *link;
  return item;
}

void CQWFriendTreeCtrl::PutCustomNodes() {
  FTLOG(u"CQWFriendTreeCtrl::PutCustomNodes()");
  // Nodes placed first keep their list order ahead of the groups.
  HTREEITEM afterFirst = TVI_FIRST;
  for (const FTREE_CUSTOMNODE& node : m_customNodes) {
    const bool link = node.kind == FTREE_CUSTOMNODE::LINK;
    const FTREE_LINKRECORD record{node.url, node.iniFile, node.section, node.key};
    HTREEITEM item =
        InsertLinkItem(node.text, node.image, link ? FTREE_DATA_LINK : FTREE_DATA_ADDFRIEND,
                       TVI_ROOT, node.first ? afterFirst : TVI_LAST, link ? &record : nullptr);
    if (item && node.first) afterFirst = item;
  }
}

void CQWFriendTreeCtrl::AddCSLinkNode(HTREEITEM csGroup) {
  FTLOG(u"CQWFriendTreeCtrl::AddCSLinkNode()");
  const FTREE_LINKRECORD record{u"", u"", u"URL", u"CSBBS"};
  InsertLinkItem(CResourceMgr::GetInstance()->GetString(kCSForumText), u"", FTREE_DATA_LINK,
                 csGroup, TVI_LAST, &record);
}

bool CQWFriendTreeCtrl::IsCustomNode(HTREEITEM item) const {
  FTLOG(u"CQWFriendTreeCtrl::IsCustomNode()");
  if (!item) return false;
  const DWORD_PTR data = GetItemData(item);
  return data == FTREE_DATA_LINK || data == FTREE_DATA_ADDFRIEND;
}

void CQWFriendTreeCtrl::OnCustomNodeClick(HTREEITEM item, int kind) {
  FTLOG(u"CQWFriendTreeCtrl::OnCustomNodeClick()");
  const DWORD_PTR data = GetItemData(item);
  if (data == FTREE_DATA_ADDFRIEND) {
    if (kind == 1) m_processor.Popup_AddFriend_UI(1, 0);
    return;
  }
  if (data != FTREE_DATA_LINK || kind != 2) return;
  // The record is copied: opening a link may change the tree.
  if (const FTREE_LINKRECORD* link = GetLinkRecord(item)) OpenLink(FTREE_LINKRECORD(*link));
}

void CQWFriendTreeCtrl::OpenLink(const FTREE_LINKRECORD& link) {
  FTLOG(u"CQWFriendTreeCtrl::OpenLink()");
  std::u16string address = link.url;
  if (address.empty()) {
    // The layout's INI file when it names one; the host's "cfg.ini" otherwise.
    const std::u16string file = ProgramFile(link.iniFile.empty() ? u"cfg.ini" : link.iniFile);
    address = CProfile(file.c_str())
                  .ReadSet(link.section.c_str(), link.key.c_str(), u"", kAddressChars + 1);
  }
  if (address.empty()) return;
  if (address != kHelpAddress) {
    m_processor.OpenNewLink(address.c_str());
    return;
  }
  const std::u16string help = CProfile(ProgramFile(u"cfg.ini").c_str())
                                  .ReadSet(u"URL", u"NOOB", kDefaultHelpUrl, kAddressChars + 1);
  // The text lives only during this call: sent, never posted, and only to a
  // window that is there.
  HWND main = m_hWnd ? GetAncestor(m_hWnd, GA_ROOT) : 0;
  if (main && IsWindow(main))
    ::SendMessageW(main, FTREE_WM_HELPURL, reinterpret_cast<WPARAM>(help.c_str()), 0);
}
