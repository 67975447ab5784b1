// The demo's artwork, drawn on a 16-unit design grid (see raster.h).
#pragma once

#include "raster.h"

namespace demoart {

// Palette of the client: calm blue, slate text, and the four status colours.
namespace palette {
constexpr std::uint32_t kBlue = 0x3B82F6, kBlueDark = 0x1D5FC4, kSlate = 0x5B6B82, kGrey = 0xA9B4C2,
                        kDisabled = 0xCDD4DE, kGreen = 0x22C55E, kAmber = 0xF5B82E, kRed = 0xEF4444,
                        kTeal = 0x14B8A6, kWhite = 0xFFFFFF;
}

// Friend status glyphs (the tree's status slots, in status-code order).
enum class Status { Offline, Online, Away, Busy, Hidden, Other };
// What a tree row shows: a contact, a customer-service contact, a chat room.
enum class ContactKind { Person, Service, Room };
void DrawContact(Image& img, ContactKind kind, Status status);
// A status dot on its own, filling the frame (the logon panel's status picture).
void DrawStatusDot(Image& img, Status status);

// Group tree frames: 0 group, 1 pending group, 8..11 message modes.
void DrawChannelFrame(Image& img, int frame);

// Button icons; `state` 0 normal, 1 hover, 2 pressed, 3 disabled.
enum class Glyph {
  Menu,
  Palette,
  Shirt,
  Gear,
  Clock,
  AddPerson,
  AddGroup,
  FindGroup,
  Magnifier,
  Clear,
  Person,
  Group,
  Globe
};
void DrawGlyph(Image& img, Glyph glyph, int state);
// A scope icon of the search box, frame 0..6.
void DrawScope(Image& img, int frame);

void DrawGrip(Image& img);
void DrawSpinner(Image& img, int frame, int frames);
// A flat button face with a soft edge.
void DrawButtonFace(Image& img, std::uint32_t top, std::uint32_t bottom, std::uint32_t edge);

// A rounded photo: a silhouette on a two-tone background; `variant` picks
// the colours and the hair.
void DrawPhoto(Image& img, int variant);
// A skin's preview: a small main window in the skin's colours.
void DrawSkinPreview(Image& img, std::uint32_t accent);
void DrawSkinBanner(Image& img, std::uint32_t accent);

}  // namespace demoart
