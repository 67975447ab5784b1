// The host's message manager: notifications by number, delivered at once to
// every plug-in registered for the number, in the order they registered.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "host/plughost.h"

class CHostMsgManager : public CQWMsgManager {
 public:
  // Called for every notification that a plug-in sends (not for the host's own).
  using Observer = std::function<void(UINT id, WPARAM wparam, LPARAM lparam)>;

  void RegisterMsg(UINT id, CQWBasePlugin* plugin) override;
  void UnRegisterMsg(UINT id, CQWBasePlugin* plugin) override;
  LRESULT SendMsg(UINT id, WPARAM wparam, LPARAM lparam) override;

  // The host's own broadcast: delivered like SendMsg, not reported.
  LRESULT Deliver(UINT id, WPARAM wparam, LPARAM lparam);
  // Forgets every registration of a plug-in (the host does this before it
  // frees one, so that a panel that forgot to unregister is never called).
  void Forget(CQWBasePlugin* plugin);

  std::vector<CQWBasePlugin*> Registered(UINT id) const;
  bool IsRegistered(UINT id, const CQWBasePlugin* plugin) const;
  void SetObserver(Observer observer) { m_observer = std::move(observer); }

 private:
  std::map<UINT, std::vector<CQWBasePlugin*>> m_map;
  Observer m_observer;
};
