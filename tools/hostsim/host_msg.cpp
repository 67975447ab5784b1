#include "hostsim/host_msg.h"

#include <algorithm>

void CHostMsgManager::RegisterMsg(UINT id, CQWBasePlugin* plugin) {
  if (!plugin) return;
  auto& list = m_map[id];
  // A second registration of the same pair would deliver twice.
  if (std::find(list.begin(), list.end(), plugin) == list.end()) list.push_back(plugin);
}

void CHostMsgManager::UnRegisterMsg(UINT id, CQWBasePlugin* plugin) {
  auto it = m_map.find(id);
  if (it == m_map.end()) return;
  std::erase(it->second, plugin);
  if (it->second.empty()) m_map.erase(it);
}

LRESULT CHostMsgManager::SendMsg(UINT id, WPARAM wparam, LPARAM lparam) {
  if (m_observer) m_observer(id, wparam, lparam);
  return Deliver(id, wparam, lparam);
}

LRESULT CHostMsgManager::Deliver(UINT id, WPARAM wparam, LPARAM lparam) {
  // Receivers may register, unregister or be freed while the notification
  // runs: walk a copy and skip whoever is no longer registered.
  const std::vector<CQWBasePlugin*> receivers = Registered(id);
  LRESULT result = 0;
  for (CQWBasePlugin* p : receivers) {
    if (!IsRegistered(id, p)) continue;
    result = p->OnNotify(id, wparam, lparam);
  }
  return result;
}

void CHostMsgManager::Forget(CQWBasePlugin* plugin) {
  for (auto it = m_map.begin(); it != m_map.end();) {
    std::erase(it->second, plugin);
    it = it->second.empty() ? m_map.erase(it) : std::next(it);
  }
}

std::vector<CQWBasePlugin*> CHostMsgManager::Registered(UINT id) const {
  auto it = m_map.find(id);
  return it == m_map.end() ? std::vector<CQWBasePlugin*>{} : it->second;
}

bool CHostMsgManager::IsRegistered(UINT id, const CQWBasePlugin* plugin) const {
  auto it = m_map.find(id);
  return it != m_map.end() &&
         std::find(it->second.begin(), it->second.end(), plugin) != it->second.end();
}
