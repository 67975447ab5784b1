#include "module/plugin_registry.h"

#include <algorithm>
#include <new>

#include "host/plughost.h"

bool CPluginRegistry::Add(CQWBasePlugin* plugin) {
  if (m_count == m_capacity) {
    // No fixed growth step is set: grow with the array, within 4..1024 slots.
    const std::size_t grow = std::clamp<std::size_t>(m_count / 8, 4, 1024);
    const std::size_t capacity = std::max(m_capacity + grow, m_count + 1);
    std::unique_ptr<CQWBasePlugin*[]> data(new (std::nothrow) CQWBasePlugin*[capacity]);
    if (!data) return false;
    std::copy(m_data.get(), m_data.get() + m_count, data.get());
    m_data = std::move(data);
    m_capacity = capacity;
  }
  m_data[m_count++] = plugin;
  return true;
}

std::ptrdiff_t CPluginRegistry::Find(const CQWBasePlugin* plugin) const {
  for (std::size_t i = 0; i < m_count; ++i) {
    if (m_data[i] == plugin) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

void CPluginRegistry::RemoveAt(std::size_t index) {
  if (index >= m_count) return;
  std::copy(m_data.get() + index + 1, m_data.get() + m_count, m_data.get() + index);
  --m_count;
}

void CPluginRegistry::DetachFromHost() {
  for (std::size_t i = 0; i < m_count; ++i) {
    CQWBasePlugin* plugin = m_data[i];
    if (!plugin) continue;
    plugin->SetMsgManager(nullptr);
    plugin->SetDataManager(nullptr);
    plugin->SetDataProcessMgr(nullptr);
    plugin->SetContainer(nullptr);
    plugin->SetPluginManager(nullptr);
  }
}

void CPluginRegistry::DestroyAll() {
  // Take the elements out first: a destructor that calls back into the
  // registry (FreePlugin on itself) then finds nothing to free twice.
  std::unique_ptr<CQWBasePlugin*[]> data = std::move(m_data);
  const std::size_t count = m_count;
  m_count = 0;
  m_capacity = 0;
  for (std::size_t i = 0; i < count; ++i) delete data[i];
}
