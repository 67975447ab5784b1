// The host's plug-in framework: the interface every panel implements, the
// window bases, the attribute records, and the services the host hands to
// each plug-in (message, data and data-processor managers, container,
// plug-in manager).
//
// Order of calls by the host: constructor; SetWorkDir and the manager
// setters; LoadInfo (attributes and child elements of the layout node);
// RegisterMsg; CreatePlugin; then MovePlugin, ShowPlugin, HidePlugin,
// DrawPlugin, SetBaseColor, OnNotify as needed; UnRegisterMsg; destruction.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/qwdata.h"
#include "platform/cwnd.h"
#include "platform/window.h"
#include "platform/xml.h"

class CQWBasePlugin;

// ---- services of the host ---------------------------------------------------

// Numbered notifications, delivered synchronously to every plug-in registered
// for the id. Pointers in wparam or lparam are valid during the call only.
class CQWMsgManager {
 public:
  virtual ~CQWMsgManager() = default;
  virtual void RegisterMsg(UINT id, CQWBasePlugin* plugin) = 0;
  virtual void UnRegisterMsg(UINT id, CQWBasePlugin* plugin) = 0;
  virtual LRESULT SendMsg(UINT id, WPARAM wparam, LPARAM lparam) = 0;
};

// The host's data objects by key ("MurFriendData", "MurQunData", "CSData",
// "ChatRoomData", "AutoReplyData", "OrgStructData", "LocalData",
// "QQFriendData", "QQQunData", "MSNFriendData"); the host keeps them.
class CQWDataManager {
 public:
  virtual ~CQWDataManager() = default;
  virtual CQWData* GetData(const char16_t* key) = 0;
};

// A request packet with its two payload areas. Asking for an area with size 0
// gives the request's own size; a non-zero size gives an area of that size.
// The areas live as long as the packet; null means the area is unavailable.
class CQWDataPacket {
 public:
  virtual ~CQWDataPacket() = default;
  virtual BYTE* GetFirstArea(DWORD size = 0) = 0;
  virtual BYTE* GetSecondArea(DWORD size = 0) = 0;
  virtual DWORD GetFirstSize() const = 0;  // 0 until the area was asked for
  virtual DWORD GetSecondSize() const = 0;
};

// One named request ("sys/Chat", "GetQunList", ...). The caller owns the
// packet; Process acts synchronously and may leave an answer in the areas.
class CQWDataProcessor {
 public:
  virtual ~CQWDataProcessor() = default;
  virtual std::unique_ptr<CQWDataPacket> CreatePacket(const char16_t* name) = 0;
  virtual int Process(const char16_t* name, CQWDataPacket* packet, LPARAM value) = 0;
};

class CQWDataProcessorManager {
 public:
  virtual ~CQWDataProcessorManager() = default;
  virtual CQWDataProcessor* GetProcessor(const char16_t* name) = 0;  // null: no such request
};

// The pages of the host's main window.
class CQWContainer {
 public:
  virtual ~CQWContainer() = default;
  virtual int FindIndex(const char16_t* name) = 0;  // -1 when no panel has that name
  virtual BOOL ShowIndex(int index, BOOL show) = 0;
};

class CQWPluginManager {
 public:
  virtual ~CQWPluginManager() = default;
  virtual CQWBasePlugin* FindPlugin(const char16_t* name) = 0;
};

// ---- attributes --------------------------------------------------------------

// Kinds of attribute values and the member type that holds each:
// text std::u16string, number int, yes/no BOOL, colour COLORREF, choice int.
enum : int { ATTR_TEXT = 0, ATTR_NUMBER = 1, ATTR_BOOL = 2, ATTR_COLOR = 3, ATTR_CHOICE = 4 };

struct PLUGIN_ATTR {
  int nType;
  void* (*pMember)(CQWBasePlugin* plugin);  // where the value lives in an instance
  const char16_t* szKey;                    // XML attribute name
  const char16_t* szCaption;                // shown by the host's layout editor
};

struct ENUM_INFO {
  const char16_t* szName;  // as written in the layout
  int nValue;
};

struct ATTR_ENUM {
  const char16_t* szKey;  // the choice attribute this list belongs to
  std::vector<ENUM_INFO> items;
};

using CQWAttrArray = std::vector<PLUGIN_ATTR>;
using CQWEnumAttrMap = std::vector<ATTR_ENUM>;

// An attribute entry for member `member` of class `Class`; used inside the
// class's own GetAttrArray, so protected members are reachable.
#define QW_PLUGIN_ATTR(type, Class, member, key, caption)                                         \
  PLUGIN_ATTR {                                                                                   \
    type, [](CQWBasePlugin* p) -> void* { return &static_cast<Class*>(p)->member; }, key, caption \
  }

// The base's array followed by a class's own entries.
CQWAttrArray QWExtendAttrs(const CQWAttrArray& base, std::initializer_list<PLUGIN_ATTR> own);

// ---- the plug-in interface ---------------------------------------------------

class CQWBasePlugin {
 public:
  CQWBasePlugin();
  CQWBasePlugin(const CQWBasePlugin&) = delete;
  CQWBasePlugin& operator=(const CQWBasePlugin&) = delete;

  // In the interface's slot order.
  virtual RECT GetMinRect();  // right/bottom = minimum width/height
  virtual BOOL IsVisible();
  virtual void SetDataProcessMgr(CQWDataProcessorManager* mgr);
  virtual const char16_t* GetPluginName();  // the name the layout gives this panel
  virtual void SetContainer(CQWContainer* container);
  virtual CQWContainer* GetContainer();
  virtual BOOL EnablePlugin(BOOL enable);
  virtual BOOL ShowPlugin(BOOL show);
  virtual void SetPluginManager(CQWPluginManager* mgr);
  virtual void SetMsgManager(CQWMsgManager* mgr);
  virtual BOOL MovePlugin(const RECT& rc);
  virtual BOOL CreatePlugin(HWND parent, const RECT* rc);
  virtual BOOL LoadInfo(const CXmlNode& node);
  virtual LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam);
  virtual void SetDataManager(CQWDataManager* mgr);
  virtual void SetBaseColor(COLORREF color);
  virtual BOOL DrawPlugin(HDC dc, const RECT& rc);
  virtual void SetWorkDir(const char16_t* dir);
  virtual BOOL SaveInfo(const CXmlNode& node);
  virtual const ATTR_ENUM* GetAttrEnumInfo(int index);
  virtual int GetAttrEnumCount();
  virtual const PLUGIN_ATTR* GetAttr(int index);
  virtual int GetAttrCount();
  virtual const char16_t* GetPluginType();  // the class's plug-in name
  virtual BOOL HidePlugin();
  virtual ~CQWBasePlugin();

  // Value of an attribute of this instance as layout text, and back.
  std::u16string GetAttrText(const PLUGIN_ATTR& attr);
  bool SetAttrText(const PLUGIN_ATTR& attr, const std::u16string& text);

  HWND GetPluginWnd() const { return m_hPluginWnd; }
  const std::u16string& GetWorkDir() const { return m_strWorkDir; }
  CQWMsgManager* GetMsgManager() const { return m_pMsgMgr; }
  CQWDataManager* GetDataManager() const { return m_pDataMgr; }
  CQWDataProcessorManager* GetDataProcessMgr() const { return m_pDataProcessMgr; }
  CQWPluginManager* GetPluginManager() const { return m_pPluginMgr; }
  // The client's base colour: one store for the whole library, skinctl's
  // (CColorConverter), which SetBaseColor on any panel sets.
  COLORREF GetBaseColor() const;

 protected:
  virtual const CQWAttrArray& GetAttrArray();
  virtual const CQWEnumAttrMap& GetEnumAttrMap();
  virtual void UnRegisterMsg();
  virtual void Empty();
  virtual void RegisterMsg();
  virtual BOOL LoadChildNode(const CXmlNode& node);
  virtual BOOL SaveChildNode(const CXmlNode& node);
  virtual void UpdateWithBaseColor(COLORREF color);

  // The attributes every plug-in has.
  static const CQWAttrArray& buildAttrArray();

  // Registers / unregisters each id with the message manager (none: nothing).
  void RegisterIds(const std::vector<UINT>& ids);
  void UnRegisterIds(const std::vector<UINT>& ids);
  // Sends a notification through the message manager (none: 0).
  LRESULT SendNotify(UINT id, WPARAM wparam, LPARAM lparam);
  // Asks the container to show or hide this panel's page, found by its name.
  BOOL ShowInContainer(BOOL show);

  CQWMsgManager* m_pMsgMgr = nullptr;
  CQWDataManager* m_pDataMgr = nullptr;
  CQWDataProcessorManager* m_pDataProcessMgr = nullptr;
  CQWContainer* m_pContainer = nullptr;
  CQWPluginManager* m_pPluginMgr = nullptr;
  std::u16string m_strWorkDir;  // ends with a separator once set
  std::u16string m_strName;     // attribute "name"
  std::u16string m_strType;     // the class's plug-in name, set by each constructor
  int m_nMinWidth = 0;
  int m_nMinHeight = 0;
  HWND m_hPluginWnd = 0;
  BOOL m_bVisible = TRUE;  // attribute "visible"
  BOOL m_bEnabled = TRUE;

  friend class CQWPluginCaller;
};

// The host may watch plug-ins end (diagnostics, tests): the hook runs as each
// plug-in's last destructor starts, with the plug-in's type name. One hook per
// process; null removes it.
using QWPluginEndHook = void (*)(const CQWBasePlugin* plugin, const char16_t* type, void* context);
void QWSetPluginEndHook(QWPluginEndHook hook, void* context);

// The host's access to the protected steps of the calling order.
class CQWPluginCaller {
 public:
  static void RegisterMsg(CQWBasePlugin* p) { p->RegisterMsg(); }
  static void UnRegisterMsg(CQWBasePlugin* p) { p->UnRegisterMsg(); }
  static const CQWAttrArray& Attrs(CQWBasePlugin* p) { return p->GetAttrArray(); }
};

// A plug-in that draws in a window: background colour or picture, border,
// rounded corners, and the base colour that tints them.
class CQWBaseWndPlugin : public CQWBasePlugin {
 public:
  CQWBaseWndPlugin();
  ~CQWBaseWndPlugin() override;

  BOOL DrawPlugin(HDC dc, const RECT& rc) override;

  // Paints the panel background into rc of dc: the picture when one is set
  // and loads, else the background colour tinted by the base colour.
  void DrawPluginBack(HDC dc, const RECT& rc);
  // The background colour as drawn: tinted by the base colour with the
  // converter's rule (lightness kept, hue and saturation taken).
  COLORREF GetDrawBackColor() const;
  int GetCornerSize() const { return m_nCorner; }

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void Empty() override;
  void UpdateWithBaseColor(COLORREF color) override;

  // Creates the panel's window, a visible child of parent with control id
  // `id`, of window class className (registered here once, painted through
  // DrawPlugin); or, when it exists, re-parents it and moves it to rc.
  // TRUE only when it created the window.
  BOOL CreatePanelWindow(const char16_t* className, HWND parent, const RECT* rc, UINT id);

  COLORREF m_clrBack = RGB(255, 255, 255);    // "backcolor"
  std::u16string m_strBackImage;              // "backimage", in the work directory's "bmp\"
  BOOL m_bTransparent = FALSE;                // "transparent"
  COLORREF m_clrTrans = RGB(255, 0, 255);     // "transcolor"
  COLORREF m_clrBorder = RGB(160, 160, 160);  // "bordercolor"
  int m_nCorner = 0;                          // "corner": diameter of rounded corners

 private:
  HBITMAP m_hBackBitmap = 0;       // the loaded "backimage"
  std::u16string m_strBackLoaded;  // the path it was loaded from
};

// For plug-ins that are their own window (the class framework's window
// first): creates wnd as a child of parent in rc with the given class, style
// and control id, or, when it exists, re-parents it and moves it to rc.
// 1: created; 0: moved; -1: the window could not be created.
int QWCreateOrMoveWindow(CWnd& wnd, LPCWSTR className, DWORD style, HWND parent, const RECT* rc,
                         UINT id);

// A window plug-in that is itself the window: the class framework's window
// first, then the plug-in base, so the interface part follows the window part.
class CQWBaseWndPluginEx : public CWnd, public CQWBaseWndPlugin {
 public:
  CQWBaseWndPluginEx();
  ~CQWBaseWndPluginEx() override;

  // Creates this object's window as a visible child of parent (window class
  // from GetPluginClassName), or re-parents and moves it. TRUE only when it
  // created the window.
  BOOL CreatePlugin(HWND parent, const RECT* rc) override;

 protected:
  // The window class to create; null: the framework's own class.
  virtual LPCWSTR GetPluginClassName() { return nullptr; }
  // Control id of the window.
  virtual UINT GetPluginCtrlId() { return 0; }

  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC* dc) override;
};
