// basekit: holds a host data object's lock for the locker's lifetime.
#pragma once

class CQWData;

class CQWDataLocker {
 public:
  // A null data object is allowed: then nothing is locked.
  explicit CQWDataLocker(CQWData* data);
  ~CQWDataLocker();
  CQWDataLocker(const CQWDataLocker&) = delete;
  CQWDataLocker& operator=(const CQWDataLocker&) = delete;

  // Releases the lock early; the destructor then does nothing.
  void Unlock();

 private:
  CQWData* m_data;
};
