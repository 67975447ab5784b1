// CQWGuardedPlugin<T>: the panel T as the host gets it, with every slot of
// the plug-in interface behind the exception barrier.
//
// The factory makes this most-derived class instead of T itself, so each
// virtual call the host makes (directly, or through its message manager for
// OnNotify) lands here first and reaches T's own implementation inside
// platform::GuardCall: an exception that escapes T is logged and the slot
// answers its failure result (FALSE, 0, null, an empty text or rectangle).
// The object is still a T, and its interface pointer is still its
// CQWBasePlugin part.
//
// Destruction is not guarded: destructors cannot throw out of the language's
// own barrier (they are noexcept), so there is nothing to catch there.
#pragma once

#include <concepts>
#include <type_traits>
#include <utility>

#include "host/plughost.h"
#include "platform/barrier.h"

// A panel whose first base is a window inherits window members named like
// two slots (CWnd::OnNotify, the skinned dialog's GetMinRect). Unless the
// panel declares the slot again, the name is ambiguous in it; the slot's
// implementation then comes from the plug-in side, the window plug-in base
// onward, which every window-first panel derives directly.
template <class T>
concept QWDeclaresOnNotify = requires(T& t, UINT id, WPARAM w, LPARAM l) {
  { t.T::OnNotify(id, w, l) } -> std::same_as<LRESULT>;
};
template <class T>
concept QWDeclaresGetMinRect = requires(T& t) {
  { t.T::GetMinRect() } -> std::same_as<RECT>;
};
template <class T>
using QWPluginSide =
    std::conditional_t<std::is_base_of_v<CQWBaseWndPlugin, T>, CQWBaseWndPlugin, CQWBasePlugin>;

template <class T>
class CQWGuardedPlugin final : public T {
 public:
  using T::T;

  RECT GetMinRect() override {
    return Guard(u"GetMinRect", RECT{}, [&] {
      if constexpr (QWDeclaresGetMinRect<T>) return T::GetMinRect();
      else return QWPluginSide<T>::GetMinRect();
    });
  }
  BOOL IsVisible() override {
    return Guard(u"IsVisible", BOOL{FALSE}, [&] { return T::IsVisible(); });
  }
  void SetDataProcessMgr(CQWDataProcessorManager* mgr) override {
    Guard(u"SetDataProcessMgr", [&] { T::SetDataProcessMgr(mgr); });
  }
  const char16_t* GetPluginName() override {
    return Guard(u"GetPluginName", u"", [&] { return T::GetPluginName(); });
  }
  void SetContainer(CQWContainer* container) override {
    Guard(u"SetContainer", [&] { T::SetContainer(container); });
  }
  CQWContainer* GetContainer() override {
    return Guard(u"GetContainer", static_cast<CQWContainer*>(nullptr),
                 [&] { return T::GetContainer(); });
  }
  BOOL EnablePlugin(BOOL enable) override {
    return Guard(u"EnablePlugin", BOOL{FALSE}, [&] { return T::EnablePlugin(enable); });
  }
  BOOL ShowPlugin(BOOL show) override {
    return Guard(u"ShowPlugin", BOOL{FALSE}, [&] { return T::ShowPlugin(show); });
  }
  void SetPluginManager(CQWPluginManager* mgr) override {
    Guard(u"SetPluginManager", [&] { T::SetPluginManager(mgr); });
  }
  void SetMsgManager(CQWMsgManager* mgr) override {
    Guard(u"SetMsgManager", [&] { T::SetMsgManager(mgr); });
  }
  BOOL MovePlugin(const RECT& rc) override {
    return Guard(u"MovePlugin", BOOL{FALSE}, [&] { return T::MovePlugin(rc); });
  }
  BOOL CreatePlugin(HWND parent, const RECT* rc) override {
    return Guard(u"CreatePlugin", BOOL{FALSE}, [&] { return T::CreatePlugin(parent, rc); });
  }
  BOOL LoadInfo(const CXmlNode& node) override {
    return Guard(u"LoadInfo", BOOL{FALSE}, [&] { return T::LoadInfo(node); });
  }
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override {
    return Guard(u"OnNotify", LRESULT{0}, [&] {
      if constexpr (QWDeclaresOnNotify<T>) return T::OnNotify(id, wparam, lparam);
      else return QWPluginSide<T>::OnNotify(id, wparam, lparam);
    });
  }
  void SetDataManager(CQWDataManager* mgr) override {
    Guard(u"SetDataManager", [&] { T::SetDataManager(mgr); });
  }
  void SetBaseColor(COLORREF color) override {
    Guard(u"SetBaseColor", [&] { T::SetBaseColor(color); });
  }
  BOOL DrawPlugin(HDC dc, const RECT& rc) override {
    return Guard(u"DrawPlugin", BOOL{FALSE}, [&] { return T::DrawPlugin(dc, rc); });
  }
  void SetWorkDir(const char16_t* dir) override {
    Guard(u"SetWorkDir", [&] { T::SetWorkDir(dir); });
  }
  BOOL SaveInfo(const CXmlNode& node) override {
    return Guard(u"SaveInfo", BOOL{FALSE}, [&] { return T::SaveInfo(node); });
  }
  const ATTR_ENUM* GetAttrEnumInfo(int index) override {
    return Guard(u"GetAttrEnumInfo", static_cast<const ATTR_ENUM*>(nullptr),
                 [&] { return T::GetAttrEnumInfo(index); });
  }
  int GetAttrEnumCount() override {
    return Guard(u"GetAttrEnumCount", 0, [&] { return T::GetAttrEnumCount(); });
  }
  const PLUGIN_ATTR* GetAttr(int index) override {
    return Guard(u"GetAttr", static_cast<const PLUGIN_ATTR*>(nullptr),
                 [&] { return T::GetAttr(index); });
  }
  int GetAttrCount() override {
    return Guard(u"GetAttrCount", 0, [&] { return T::GetAttrCount(); });
  }
  const char16_t* GetPluginType() override {
    return Guard(u"GetPluginType", u"", [&] { return T::GetPluginType(); });
  }
  BOOL HidePlugin() override {
    return Guard(u"HidePlugin", BOOL{FALSE}, [&] { return T::HidePlugin(); });
  }

 protected:
  const CQWAttrArray& GetAttrArray() override {
    static const CQWAttrArray none;
    return *Guard(u"GetAttrArray", &none, [&] { return &T::GetAttrArray(); });
  }
  const CQWEnumAttrMap& GetEnumAttrMap() override {
    static const CQWEnumAttrMap none;
    return *Guard(u"GetEnumAttrMap", &none, [&] { return &T::GetEnumAttrMap(); });
  }
  void UnRegisterMsg() override {
    Guard(u"UnRegisterMsg", [&] { T::UnRegisterMsg(); });
  }
  void Empty() override {
    Guard(u"Empty", [&] { T::Empty(); });
  }
  void RegisterMsg() override {
    Guard(u"RegisterMsg", [&] { T::RegisterMsg(); });
  }
  BOOL LoadChildNode(const CXmlNode& node) override {
    return Guard(u"LoadChildNode", BOOL{FALSE}, [&] { return T::LoadChildNode(node); });
  }
  BOOL SaveChildNode(const CXmlNode& node) override {
    return Guard(u"SaveChildNode", BOOL{FALSE}, [&] { return T::SaveChildNode(node); });
  }
  void UpdateWithBaseColor(COLORREF color) override {
    Guard(u"UpdateWithBaseColor", [&] { T::UpdateWithBaseColor(color); });
  }

 private:
  template <class R, class F>
  static R Guard(const char16_t* slot, R failure, F&& fn) noexcept {
    return platform::GuardCall(slot, failure, std::forward<F>(fn));
  }
  template <class F>
  static void Guard(const char16_t* slot, F&& fn) noexcept {
    platform::GuardCall(slot, std::forward<F>(fn));
  }
};
