// "RecentContactFriends.dat" of arbitrary bytes, read at logon, with
// contacts added on top: the list never holds more than twenty entries, the
// tree shows each entry once, and what is written back is whole records.
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hostsim/host_session.h"
#include "platform/file.h"
#include "platform/text.h"
#include "recent/recent_data_mgr.h"

namespace {

struct World {
  World() {
    dir = std::filesystem::temp_directory_path() / ("recent_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "fz");
    SetModuleFileNameOverride(FromUtf8((dir / "host").string()));
    owner.assign(QW_OWNINFO_SIZE, 0);
    HostPutText(owner, qwownfield::kUserId, u"fz@zq.com", 64);
    CHostData* friends = session.Data().Get(u"MurFriendData");
    CHostRecord group;
    group.isGroup = true;
    group.name = group.id = u"g";
    const QWPOS g = friends->Add(0, group);
    for (const char16_t* id : {u"a", u"b", u"AAAA"}) {
      CHostRecord f;
      f.id = f.name = id;
      f.status = QWSTATUS_ONLINE;
      friends->Add(g, f);
    }
  }
  ~World() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::filesystem::path dir;
  std::vector<BYTE> owner;
  CHostSession session;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World world;
  const std::filesystem::path file = world.dir / "fz" / "RecentContactFriends.dat";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  {
    CRecentContactFriendDataMgr store;
    const RECT rc{0, 0, 200, 300};
    store.InitUI(world.session.MainWindow(), rc, &world.session.Data(), &world.session.Requests());
    store.OnNotify(1476, 0, 2);
    store.OnNotify(3076, reinterpret_cast<WPARAM>(world.owner.data()), 0);
    // Contacts taken from the input's last bytes: a kind and two characters each.
    for (std::size_t n = 0, at = size; n < 25 && at >= 8; ++n, at -= 8) {
      std::vector<BYTE> record(10, 0);
      std::memcpy(record.data(), data + at - 8, 8);
      store.OnNotify(4164, reinterpret_cast<WPARAM>(record.data()), 0);
    }
    if (store.Entries().size() > CRecentContactFriendDataMgr::kMaxEntries) std::abort();
    if (store.GetTree().GetCount() != store.Entries().size()) std::abort();
    if (store.GetTree().GetItemMapSize() != store.Entries().size()) std::abort();
  }
  std::error_code ec;
  const auto written = std::filesystem::file_size(file, ec);
  if (!ec && written % CRecentContactFriendDataMgr::kRecordSize != 0) std::abort();
  return 0;
}
