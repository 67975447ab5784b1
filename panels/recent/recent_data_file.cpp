// The recent list itself: adding, reading and writing "RecentContactFriends.dat".
#include <algorithm>
#include <vector>

#include "host/basekit/commfunc.h"
#include "platform/file.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "recent/recent_data_mgr.h"
#include "recent/recent_log.h"

namespace {

constexpr std::size_t kMaxPathChars = 260;  // terminator included

void PutField(std::string& bytes, std::size_t offset, const std::u16string& text) {
  const std::size_t n = std::min(text.size(), CRecentContactFriendDataMgr::kTextChars - 1);
  for (std::size_t i = 0; i < n; ++i) {
    bytes[offset + 2 * i] = static_cast<char>(text[i] & 0xff);
    bytes[offset + 2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
}

void ReportCreateFailure() {
  static const char16_t kText[] = u"WriteData: Error creating recent file \r\n";
  CGlobalLog::LogT(kText, RCLOG_STATE_LEVEL);
  OutputDebugStringW(kText);
}

bool IsFolderName(const std::u16string& name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  return name.find_first_of(u"\\/:") == std::u16string::npos;
}

}  // namespace

std::u16string CRecentContactFriendDataMgr::GetSettingFilePath() const {
  RCLOG(u"CRecentContactFriendDataMgr::GetSettingFilePath()");
  // Only the own identifier is cut at its "@": a folder of the program
  // directory may hold one too.
  const std::u16string account = GetOwnAccount();
  if (!IsFolderName(account)) return {};
  const std::u16string path =
      CCommFunction::GetModuleDirectory() + account + u"\\" + u"RecentContactFriends.dat";
  if (path.size() >= kMaxPathChars) return {};
  return path;
}

void CRecentContactFriendDataMgr::InitData() {
  RCLOG(u"CRecentContactFriendDataMgr::InitData()");
  LoadFromFile();
  Update();
  m_bLoaded = true;
}

void CRecentContactFriendDataMgr::ClearList() {
  if (m_bDirty) WriteData();
  // The items point at the entries: they go before the entries are freed.
  m_tree.OnFriendData_DeleteAll();
  m_entries.clear();
}

void CRecentContactFriendDataMgr::LoadFromFile() {
  RCLOG(u"CRecentContactFriendDataMgr::LoadFromFile()");
  const std::u16string path = GetSettingFilePath();
  // Contacts added while the owner was still unknown belong to no file yet:
  // they stay, on top of what the owner's file holds.
  std::list<std::unique_ptr<CRecentContactEntry>> unbound;
  if (m_strListFile.empty() && !path.empty()) {
    m_tree.OnFriendData_DeleteAll();
    unbound.swap(m_entries);
  }
  ClearList();
  m_strListFile = path;
  if (!path.empty()) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, 0);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD size = GetFileSize(file, nullptr);
      if (size == INVALID_FILE_SIZE) size = 0;
      size = std::min<DWORD>(size, kMaxFileSize);
      CGlobalLog::LogT(FormatW(u"recent contact friend data length is %d", static_cast<int>(size)),
                       RCLOG_INFO_LEVEL);
      const DWORD count = size / kRecordSize;
      CGlobalLog::LogT(FormatW(u"count of recent contact %d \r\n", static_cast<int>(count)),
                       RCLOG_INFO_LEVEL);
      if (count > 0) {
        const DWORD mapped = count * kRecordSize;
        HANDLE map =
            CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, mapped, u"RecentContact_File_Map");
        if (map && GetLastError() == ERROR_ALREADY_EXISTS) {
          // That name maps another file: read this one through a mapping of its own.
          CloseHandle(map);
          map = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, mapped, nullptr);
        }
        const BYTE* view =
            map ? static_cast<const BYTE*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, mapped))
                : nullptr;
        for (DWORD i = 0; view && i < count; ++i) {
          const BYTE* rec = view + static_cast<std::size_t>(i) * kRecordSize;
          auto entry = std::make_unique<CRecentContactEntry>();
          entry->kind = static_cast<std::int32_t>(rec[0] | (rec[1] << 8) | (rec[2] << 16) |
                                                  (static_cast<std::uint32_t>(rec[3]) << 24));
          if (entry->kind < 0) continue;
          entry->id = RecentReadField(rec + 4);
          entry->name = RecentReadField(rec + 4 + 2 * kTextChars);
          m_entries.push_back(std::move(entry));
        }
        if (view) UnmapViewOfFile(view);
        if (map) CloseHandle(map);
      }
      CloseHandle(file);
    }
  }
  if (unbound.empty()) return;
  for (auto it = unbound.rbegin(); it != unbound.rend(); ++it) {
    auto& moved = *it;
    m_entries.remove_if(
        [&](const auto& e) { return e->kind == moved->kind && e->id == moved->id; });
    m_entries.push_front(std::move(moved));
  }
  while (m_entries.size() > kMaxEntries) m_entries.pop_back();
  m_bDirty = true;
  WriteData();
}

void CRecentContactFriendDataMgr::Update() {
  RCLOG(u"CRecentContactFriendDataMgr::Update()");
  m_tree.OnFriendData_DeleteAll();
  // Each item goes in at the top: the oldest first, so the newest ends first.
  for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
    m_tree.OnFriendData_InsertItem((*it)->kind, it->get(), 0);
}

QWPOS CRecentContactFriendDataMgr::FindFriend(int kind, const std::u16string& id,
                                              std::u16string* name) const {
  RCLOG(u"CRecentContactFriendDataMgr::FindFriend()");
  CQWData* data = GetFriendDataMgr(kind);
  if (!data) return 0;
  try {
    CQWDataSearch search;
    search.field = 1;
    search.kind = kind;
    search.key = id;
    const QWPOS pos = data->FindPosition(search);
    if (pos && name) {
      if (auto record = data->GetItem(pos)) *name = RecentCutText(record->GetName());
    }
    return pos;
  } catch (...) {
    return 0;
  }
}

int CRecentContactFriendDataMgr::AddRecentFriend(int kind, const char16_t* rawId) {
  RCLOG(u"CRecentContactFriendDataMgr::AddRecentFriend()");
  // A negative kind would be dropped when the file is read back.
  if (!rawId || !*rawId || kind < 0) return 0;
  const std::u16string id = RecentCutText(rawId);
  // A list read before the owner was known is bound to the owner's file now.
  if (!m_bLoaded || (m_strListFile.empty() && !GetSettingFilePath().empty())) InitData();

  std::u16string name;
  const QWPOS pos = FindFriend(kind, id, &name);
  CRecentContactEntry* entry = nullptr;
  auto found = std::find_if(m_entries.begin(), m_entries.end(),
                            [&](const auto& e) { return e->kind == kind && e->id == id; });
  if (found != m_entries.end()) {
    std::unique_ptr<CRecentContactEntry> moved = std::move(*found);
    m_entries.erase(found);
    // A contact the host no longer resolves keeps the name it was shown with.
    if (pos) {
      moved->name = name;
      moved->pos = pos;
    }
    entry = moved.get();
    m_entries.push_front(std::move(moved));
  } else {
    if (m_entries.size() >= kMaxEntries) {
      CRecentContactEntry* oldest = m_entries.back().get();
      m_tree.OnFriendData_DeleteItem(oldest->kind, oldest);
      m_entries.pop_back();
    }
    auto fresh = std::make_unique<CRecentContactEntry>();
    fresh->pos = pos;
    fresh->kind = kind;
    fresh->id = id;
    fresh->name = name;
    entry = fresh.get();
    m_entries.push_front(std::move(fresh));
  }
  m_tree.OnFriendData_InsertItem(kind, entry, pos);
  m_bDirty = true;
  WriteData();
  return 1;
}

void CRecentContactFriendDataMgr::AppendRecord(std::string& bytes,
                                               const CRecentContactEntry& entry) const {
  std::string rec(kRecordSize, '\0');
  const auto kind = static_cast<std::uint32_t>(entry.kind);
  for (int i = 0; i < 4; ++i) rec[i] = static_cast<char>(kind >> (8 * i));
  PutField(rec, 4, entry.id);
  PutField(rec, 4 + 2 * kTextChars, entry.name);
  bytes += rec;
}

bool CRecentContactFriendDataMgr::WriteData() {
  RCLOG(u"CRecentContactFriendDataMgr::WriteData()");
  // Only the file the list belongs to: a list read while the owner was
  // unknown, or of an earlier owner, never overwrites another's file.
  if (m_strListFile.empty()) {
    ReportCreateFailure();
    return false;
  }
  std::string bytes;
  bytes.reserve(m_entries.size() * kRecordSize);
  for (const auto& entry : m_entries) AppendRecord(bytes, *entry);
  // The account's folder is made when the client has not made it yet.
  const std::size_t slash = m_strListFile.find_last_of(u"\\/");
  if (slash != std::u16string::npos) {
    const std::u16string dir = m_strListFile.substr(0, slash);
    if (!PathFileExistsW(dir.c_str())) CreateDirectoryW(dir.c_str(), nullptr);
  }
  // Written beside and renamed over the old file: a failure half-way
  // leaves the previous list whole.
  if (!WriteFileAtomically(ToFileSystemPath(m_strListFile), bytes)) {
    const DWORD cause = GetLastError();
    ReportCreateFailure();
    SetLastError(cause);
    CGlobalLog::LogT(
        FormatW(u"Write to file failed, cause is %d \r\n ", static_cast<int>(GetLastError())),
        RCLOG_STATE_LEVEL);
    return false;
  }
  m_bDirty = false;
  return true;
}

void CRecentContactFriendDataMgr::LogOff() {
  RCLOG(u"CRecentContactFriendDataMgr::LogOff()");
  if (!m_bLoaded) return;
  m_bLoaded = false;
  WriteData();
  ClearList();
  m_strListFile.clear();
  m_bDirty = false;
}

void CRecentContactFriendDataMgr::DeleteAllRecentFriend() {
  RCLOG(u"CRecentContactFriendDataMgr::DeleteAllRecentFriend()");
  m_tree.OnFriendData_DeleteAll();
  m_bDirty = false;
  m_entries.clear();
  if (!m_strListFile.empty()) DeleteFileW(m_strListFile.c_str());
}
