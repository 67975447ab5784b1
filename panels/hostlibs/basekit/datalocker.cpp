// The scope lock of a host data object.
#include "host/basekit/datalocker.h"

#include "host/qwdata.h"

CQWDataLocker::CQWDataLocker(CQWData* data) : m_data(data) {
  if (m_data) m_data->Lock();
}

CQWDataLocker::~CQWDataLocker() { Unlock(); }

void CQWDataLocker::Unlock() {
  if (m_data) m_data->Unlock();
  m_data = nullptr;
}
