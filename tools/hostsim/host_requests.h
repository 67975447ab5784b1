// The host's data-processor manager: every named request a panel makes is
// recorded with both payload areas as the panel filled them; answers (the
// result and bytes left in the areas) are scripted per request name.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/plughost.h"

// A payload area as recorded: absent when the panel never asked for it.
struct CHostArea {
  bool present = false;
  std::vector<BYTE> bytes;
};

struct CHostRequestRecord {
  std::u16string name;
  CHostArea area1, area2;
  LPARAM value = 0;
  int result = 0;
};

// What the host answers: a result and bytes written into the areas.
struct CHostAnswer {
  int result = 0;
  std::vector<std::pair<std::size_t, std::vector<BYTE>>> area1, area2;  // (offset, bytes)
};

class CHostPacket : public CQWDataPacket {
 public:
  CHostPacket(std::u16string name, DWORD size1, DWORD size2);
  BYTE* GetFirstArea(DWORD size = 0) override;
  BYTE* GetSecondArea(DWORD size = 0) override;
  DWORD GetFirstSize() const override;
  DWORD GetSecondSize() const override;

  const std::u16string& Name() const { return m_name; }
  CHostArea& Area(int which) { return which == 1 ? m_area1 : m_area2; }

 private:
  BYTE* Get(CHostArea& area, DWORD defSize, DWORD size);
  std::u16string m_name;
  DWORD m_size1, m_size2;
  CHostArea m_area1, m_area2;
};

class CHostRequests : public CQWDataProcessorManager {
 public:
  // The host's own behaviour for a request (runs before scripted answers).
  using Handler = std::function<int(CHostPacket& packet, LPARAM value)>;
  using Observer = std::function<void(const CHostRequestRecord& record)>;

  CHostRequests();
  ~CHostRequests() override;

  CQWDataProcessor* GetProcessor(const char16_t* name) override;

  // The table of requests the host knows, with the default size of each area.
  void SetAreaSizes(const std::u16string& name, DWORD size1, DWORD size2);
  void Forget(const std::u16string& name);  // no processor for this name any more
  bool Knows(const std::u16string& name) const;
  std::pair<DWORD, DWORD> AreaSizes(const std::u16string& name) const;

  void SetHandler(const std::u16string& name, Handler handler);
  // One-shot answers are used first, in order; then the standing answer.
  void QueueAnswer(const std::u16string& name, CHostAnswer answer);
  void SetStandingAnswer(const std::u16string& name, CHostAnswer answer);

  const std::vector<CHostRequestRecord>& Log() const { return m_log; }
  void ClearLog() { m_log.clear(); }
  // Names a panel asked for that have no processor.
  const std::vector<std::u16string>& Missing() const { return m_missing; }
  void SetObserver(Observer observer) { m_observer = std::move(observer); }

  int Process(const std::u16string& name, CQWDataPacket* packet, LPARAM value);

 private:
  class Processor;
  struct Entry {
    DWORD size1 = 4, size2 = 4;
    std::unique_ptr<Processor> processor;
    Handler handler;
    std::deque<CHostAnswer> queued;
    bool hasStanding = false;
    CHostAnswer standing;
  };
  std::map<std::u16string, Entry> m_table;
  std::vector<CHostRequestRecord> m_log;
  std::vector<std::u16string> m_missing;
  Observer m_observer;
};

// "request NAME area1=HEX area2=HEX" (lowercase hex, "-" for an absent area,
// long runs of trailing zero bytes shortened).
std::string FormatRequest(const CHostRequestRecord& record);
std::string ToHex(const std::vector<BYTE>& bytes);
// Hex with a trailing run of at least kShortenZeros zero bytes written as
// "…+N zero bytes".
constexpr std::size_t kShortenZeros = 8;
std::string ToShortHex(const std::vector<BYTE>& bytes);
// Parses hex digits (blanks allowed between bytes); false on bad input.
bool ParseHex(const std::string& text, std::vector<BYTE>& out);
