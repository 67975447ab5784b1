// demoart: draws the pictures of the demo's work directory.
//
//   demoart OUTDIR
//
// Writes the tree image strips, button icons, search and scope icons, the
// resize grip, photos and skin pictures under OUTDIR. A file whose content
// is already right is left untouched, so builds that share the directory
// do not disturb one another; others are written through a temporary file
// renamed into place.
#include "art.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace demoart;

namespace {

bool Save(const fs::path& path, const std::string& bytes) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (old == bytes) return true;
    }
  }
  const fs::path tmp = path.string() + ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::cerr << "demoart: cannot write " << tmp << "\n";
      return false;
    }
  }
  fs::rename(tmp, path, ec);
  if (ec) {
    std::cerr << "demoart: cannot replace " << path << ": " << ec.message() << "\n";
    fs::remove(tmp, ec);
    return false;
  }
  return true;
}

// A strip of `frames` square frames of `size` pixels, each drawn on the
// 16-unit grid.
Image Strip(int size, int frames, const std::function<void(Image&, int)>& draw) {
  Image strip(size * frames, size);
  for (int i = 0; i < frames; ++i) {
    Image frame(size, size);
    frame.SetTransform(static_cast<float>(size) / 16.0f);
    draw(frame, i);
    strip.Paste(frame, i * size, 0);
  }
  return strip;
}

Image One(int size, const std::function<void(Image&)>& draw) {
  return Strip(size, 1, [&](Image& img, int) { draw(img); });
}

// Status slot i shows status code 40071 + i.
Status SlotStatus(int slot) {
  switch (slot) {
    case 0: return Status::Offline;
    case 1: return Status::Online;
    case 2: return Status::Away;
    case 3: return Status::Busy;
    case 7: return Status::Hidden;
    default: return Status::Other;
  }
}

// The friend tree strip: 12 status slots of contacts, then 12 of
// customer-service contacts, then 12 of chat rooms.
Image FriendStrip(int size) {
  return Strip(size, 36, [](Image& img, int i) {
    const ContactKind kinds[] = {ContactKind::Person, ContactKind::Service, ContactKind::Room};
    DrawContact(img, kinds[i / 12], SlotStatus(i % 12));
  });
}

// Four button states side by side: normal, hover, pressed, disabled.
Image ButtonStrip(Glyph glyph, int size = 16) {
  return Strip(size, 4, [glyph](Image& img, int state) { DrawGlyph(img, glyph, state); });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: demoart OUTDIR\n";
    return 2;
  }
  const fs::path out = argv[1];
  const fs::path bmp = out / "bmp";
  bool ok = true;
  auto png = [&](const fs::path& p, const Image& img) { ok = Save(p, EncodePng(img)) && ok; };
  auto bmpFile = [&](const fs::path& p, const Image& img) { ok = Save(p, EncodeBmp(img)) && ok; };

  // Trees.
  png(bmp / "FriendIcon.png", FriendStrip(16));
  png(bmp / "QWBigFriendTreeIcon.png", FriendStrip(32));
  png(bmp / "ChannelIcon.png", Strip(16, 12, [](Image& img, int i) { DrawChannelFrame(img, i); }));
  bmpFile(bmp / "online.bmp",
          One(16, [](Image& img) { DrawContact(img, ContactKind::Person, Status::Online); }));
  bmpFile(bmp / "offline.bmp",
          One(16, [](Image& img) { DrawContact(img, ContactKind::Person, Status::Offline); }));
  bmpFile(bmp / "add.bmp", One(16, [](Image& img) { DrawGlyph(img, Glyph::AddPerson, 1); }));

  // Status pictures: the logon panel's strip (3 online, 4 away, 5 busy) and
  // the dots on their own.
  png(bmp / "StatusIcon.png", Strip(16, 6, [](Image& img, int i) {
        const Status s[] = {Status::Offline, Status::Hidden, Status::Other,
                            Status::Online,  Status::Away,   Status::Busy};
        DrawStatusDot(img, s[i]);
      }));
  png(bmp / "StatusButtonIcon.png",
      Strip(16, 4, [](Image& img, int state) { DrawGlyph(img, Glyph::Menu, state); }));
  png(bmp / "UserRegisterIcon.png", ButtonStrip(Glyph::AddPerson));
  png(bmp / "LogoningAnimation.png",
      Strip(16, 8, [](Image& img, int i) { DrawSpinner(img, i, 8); }));

  // Toolbar and panel buttons: four-state icon strips and a face.
  png(bmp / "menu.png", ButtonStrip(Glyph::Menu));
  png(bmp / "color.png", ButtonStrip(Glyph::Palette));
  png(bmp / "skin.png", ButtonStrip(Glyph::Shirt));
  png(bmp / "setup.png", ButtonStrip(Glyph::Gear));
  png(bmp / "history.png", ButtonStrip(Glyph::Clock));
  png(bmp / "addfriend.png", ButtonStrip(Glyph::AddPerson));
  png(bmp / "qun_create.png", ButtonStrip(Glyph::AddGroup));
  png(bmp / "qun_find.png", ButtonStrip(Glyph::FindGroup));
  png(bmp / "muc_entry.png", ButtonStrip(Glyph::Group));
  {
    Image face(100, 24);
    DrawButtonFace(face, 0xFFFFFF, 0xEEF2F7, 0xCBD5E1);
    png(bmp / "button_face.png", face);
  }

  // Search box: the scope strip (frame = scope's icon index) and the clear button.
  png(bmp / "SearchIcon.png", Strip(16, 7, [](Image& img, int i) { DrawScope(img, i); }));
  png(bmp / "SearchCancel.png", ButtonStrip(Glyph::Clear));

  // The resize grip.
  ok = Save(bmp / "grip.ico", EncodeIco(One(16, [](Image& img) { DrawGrip(img); }))) && ok;

  // Photos: the user's own and one per demo contact ("<account>\FriendPhoto\<id>.bmp").
  bmpFile(bmp / "photo.bmp", One(96, [](Image& img) { DrawPhoto(img, 0); }));
  for (int i = 1; i <= 40; ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "user%02d", i);
    bmpFile(out / "zhangwei.yiwu" / "FriendPhoto" / (std::string(id) + ".bmp"),
            One(64, [i](Image& img) { DrawPhoto(img, (i * 3) % 8 + 8 * ((i / 2) % 2)); }));
  }

  // Skins listed in skin.xml: a preview and a banner in each skin's folder.
  const std::pair<const char*, std::uint32_t> skins[] = {
      {"blue", 0x3B82F6}, {"green", 0x10B981}, {"coral", 0xF43F5E}, {"graphite", 0x475569}};
  for (const auto& [dir, accent] : skins) {
    Image preview(64, 40), banner(320, 80);
    DrawSkinPreview(preview, accent);
    DrawSkinBanner(banner, accent);
    png(out / "skin" / dir / "preview.png", preview);
    png(out / "skin" / dir / "banner.png", banner);
  }
  return ok ? 0 : 1;
}
