// The registry of live plug-ins: every interface pointer that GetPlugin handed
// out and FreePlugin has not taken back, in creation order.
#pragma once

#include <cstddef>
#include <memory>

class CQWBasePlugin;

class CPluginRegistry {
 public:
  CPluginRegistry() = default;
  CPluginRegistry(const CPluginRegistry&) = delete;
  CPluginRegistry& operator=(const CPluginRegistry&) = delete;

  // Appends; a full array grows by an eighth of its count, at least 4 and at
  // most 1024 slots. False when the storage cannot be had (nothing changes).
  bool Add(CQWBasePlugin* plugin);
  // Index of the first element equal to plugin, or -1.
  std::ptrdiff_t Find(const CQWBasePlugin* plugin) const;
  // Removes the element at index; later elements move up, order kept.
  void RemoveAt(std::size_t index);
  // Takes the host's managers, container and plug-in manager away from every
  // live plug-in, so that nothing it does from now on reaches the host.
  void DetachFromHost();
  // Destroys every non-null element, first to last, and releases the storage.
  void DestroyAll();

  std::size_t GetCount() const { return m_count; }
  std::size_t GetCapacity() const { return m_capacity; }
  CQWBasePlugin* GetAt(std::size_t index) const {
    return index < m_count ? m_data[index] : nullptr;
  }

 private:
  std::unique_ptr<CQWBasePlugin*[]> m_data;
  std::size_t m_count = 0;
  std::size_t m_capacity = 0;
};
