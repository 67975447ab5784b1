#include "art.h"

#include <cmath>
#include <numbers>

namespace demoart {

using namespace palette;

namespace {

// Everything above y (design units) is kept.
Shape Above(float y) { return RoundRect(-100, -100, 100, y, 0); }

// A head and shoulders, scaled by s about (cx, top).
Shape PersonShape(float cx, float top, float s) {
  Shape head = Circle(cx, top + 3.3f * s, 3.1f * s);
  Shape body = Intersect(Ellipse(cx, top + 13.6f * s, 6.0f * s, 6.0f * s), Above(top + 12.7f * s));
  return Union(head, body);
}

// A person in front of another, with a gap between them.
Shape GroupShape() {
  Shape front = PersonShape(6.2f, 2.6f, 0.9f);
  return Union(front, Subtract(PersonShape(10.8f, 0.8f, 0.78f), Grow(front, 1.1f)));
}

Shape Plus(float cx, float cy, float r, float w) {
  return Union(Segment(cx - r, cy, cx + r, cy, w), Segment(cx, cy - r, cx, cy + r, w));
}

Shape MagnifierShape(float cx, float cy, float r) {
  return Union(Ring(cx, cy, r, 1.7f),
               Segment(cx + r * 0.75f, cy + r * 0.75f, cx + r * 1.65f, cy + r * 1.65f, 2.1f));
}

Shape ClockShape(float cx, float cy, float r) {
  return Union(Ring(cx, cy, r, 1.5f), Union(Segment(cx, cy, cx, cy - r * 0.55f, 1.4f),
                                            Segment(cx, cy, cx + r * 0.45f, cy + r * 0.3f, 1.4f)));
}

Shape BellShape() {
  Shape dome = Intersect(Circle(8, 7.2f, 4.3f), Above(8));
  Shape skirt = Convex({{3.7f, 7.5f}, {12.3f, 7.5f}, {13.2f, 11.4f}, {2.8f, 11.4f}});
  Shape rim = RoundRect(2.2f, 11, 13.8f, 12.6f, 0.8f);
  return Union(Union(dome, skirt),
               Union(rim, Union(Circle(8, 13.7f, 1.4f), Circle(8, 2.6f, 1.1f))));
}

Colour StatusColour(Status s) {
  switch (s) {
    case Status::Online: return Hex(kGreen);
    case Status::Away: return Hex(kAmber);
    case Status::Busy: return Hex(kRed);
    case Status::Hidden: return Hex(kGrey);
    case Status::Other: return Hex(kSlate);
    case Status::Offline: break;
  }
  return Hex(kGrey);
}

// The dot in the frame's lower right corner, with its white mark.
void DrawDot(Image& img, Status status, float cx, float cy, float r) {
  if (status == Status::Hidden) {
    img.Fill(Ring(cx, cy, r - 0.7f, 1.4f), StatusColour(status));
    return;
  }
  img.Fill(Circle(cx, cy, r), StatusColour(status));
  const Colour white = Hex(kWhite);
  const float u = r / 3.1f;
  if (status == Status::Away) {
    img.Fill(Union(Segment(cx, cy - 1.6f * u, cx, cy, 0.9f * u),
                   Segment(cx, cy, cx + 1.3f * u, cy + 0.6f * u, 0.9f * u)),
             white);
  } else if (status == Status::Busy) {
    img.Fill(Segment(cx - 1.5f * u, cy, cx + 1.5f * u, cy, 1.2f * u), white);
  } else if (status == Status::Online && r > 4) {
    img.Fill(Union(Segment(cx - 1.6f * u, cy + 0.1f * u, cx - 0.4f * u, cy + 1.2f * u, 1.0f * u),
                   Segment(cx - 0.4f * u, cy + 1.2f * u, cx + 1.7f * u, cy - 1.1f * u, 1.0f * u)),
             white);
  }
}

Colour StateColour(int state) {
  switch (state) {
    case 1: return Hex(kBlue);
    case 2: return Hex(kBlueDark);
    case 3: return Hex(kDisabled);
    default: return Hex(kSlate);
  }
}

}  // namespace

void DrawContact(Image& img, ContactKind kind, Status status) {
  const bool away = status == Status::Offline || status == Status::Hidden;
  const Colour body = away ? Hex(kGrey) : Hex(kind == ContactKind::Service ? kTeal : kBlue);
  const Shape cut = Circle(12.4f, 12.4f, 4.4f);
  if (kind == ContactKind::Room) {
    const Colour back = Mix(body, Hex(kWhite), 0.45f);
    img.Fill(Subtract(PersonShape(10.6f, 0.6f, 0.8f), Grow(PersonShape(6.4f, 2.6f, 0.9f), 1.0f)),
             back);
    img.Fill(Subtract(PersonShape(6.4f, 2.6f, 0.9f), cut), body);
  } else {
    img.Fill(Subtract(PersonShape(7.4f, 1.4f, 1.0f), cut), body);
    if (kind == ContactKind::Service) {
      const Colour dark = Hex(0x0F766E);
      Shape band = Intersect(Ring(7.4f, 4.7f, 4.0f, 1.1f), Above(4.9f));
      Shape cups =
          Union(RoundRect(2.6f, 3.9f, 4.2f, 6.9f, 0.7f), RoundRect(10.6f, 3.9f, 12.2f, 6.9f, 0.7f));
      Shape mic = Segment(3.6f, 6.6f, 5.8f, 8.6f, 0.9f);
      img.Fill(Subtract(Union(band, Union(cups, mic)), cut), away ? Hex(kSlate) : dark);
    }
  }
  if (status != Status::Offline) DrawDot(img, status, 12.4f, 12.4f, 3.2f);
}

void DrawStatusDot(Image& img, Status status) {
  if (status == Status::Offline) {
    img.Fill(Ring(8, 8, 5.0f, 1.8f), Hex(kGrey));
    return;
  }
  DrawDot(img, status, 8, 8, 5.8f);
}

void DrawChannelFrame(Image& img, int frame) {
  if (frame >= 8 && frame <= 11) {
    const int mode = frame - 8;
    const Colour c = mode == 0 ? Hex(kSlate) : mode == 3 ? Hex(kGrey) : Hex(kSlate);
    Shape bell = BellShape();
    if (mode == 3) bell = Subtract(bell, Segment(2, 2, 14, 14, 2.8f));
    img.Fill(bell, c);
    if (mode == 1) {
      img.Fill(Circle(12.3f, 4.0f, 3.4f), Hex(kWhite));
      img.Fill(Circle(12.3f, 4.0f, 2.6f), Hex(kRed));
    } else if (mode == 2) {
      img.Fill(Circle(12.3f, 4.0f, 3.4f), Hex(kWhite));
      img.Fill(Circle(12.3f, 4.0f, 2.6f), Hex(kGrey));
    } else if (mode == 3) {
      img.Fill(Segment(2.5f, 2.5f, 13.5f, 13.5f, 1.4f), Hex(kRed));
    }
    return;
  }
  // A chat bubble with people in it; the pending group is grey with a clock.
  static const std::uint32_t hues[] = {kBlue,    kGrey,  0x8B5CF6, kTeal,
                                       0xF97316, kGreen, 0xEC4899, kSlate};
  const Colour c = Hex(hues[frame % 8]);
  Shape bubble = Union(RoundRect(0.8f, 1.2f, 15.2f, 12.2f, 3.0f),
                       Convex({{3.5f, 11.0f}, {7.5f, 11.0f}, {3.2f, 15.0f}}));
  img.FillGradient(bubble, Mix(c, Hex(kWhite), 0.15f), c, 1, 13);
  img.Fill(Union(PersonShape(5.7f, 3.3f, 0.62f), PersonShape(10.3f, 3.3f, 0.62f)),
           Hex(kWhite, 0.95f));
  if (frame == 1) {
    img.Fill(Circle(12.2f, 11.8f, 3.8f), Hex(kWhite));
    img.Fill(ClockShape(12.2f, 11.8f, 2.7f), Hex(kSlate));
  }
}

void DrawGlyph(Image& img, Glyph glyph, int state) {
  const Colour c = StateColour(state);
  // Pressed icons sink half a pixel.
  Shape s;
  switch (glyph) {
    case Glyph::Menu:
      s = Union(Segment(3, 4.5f, 13, 4.5f, 1.8f),
                Union(Segment(3, 8, 13, 8, 1.8f), Segment(3, 11.5f, 13, 11.5f, 1.8f)));
      break;
    case Glyph::Palette: {
      img.Fill(Subtract(Circle(8, 8, 6.6f), Circle(10.6f, 11.0f, 1.6f)), c);
      const bool grey = state == 3;
      img.Fill(Circle(5.0f, 7.0f, 1.35f), grey ? Hex(kWhite) : Hex(kRed));
      img.Fill(Circle(7.6f, 4.4f, 1.35f), grey ? Hex(kWhite) : Hex(kAmber));
      img.Fill(Circle(10.9f, 5.4f, 1.35f), grey ? Hex(kWhite) : Hex(kGreen));
      img.Fill(Circle(5.6f, 10.4f, 1.35f), grey ? Hex(kWhite) : Hex(0x60A5FA));
      return;
    }
    case Glyph::Shirt: {
      Shape torso = Convex(
          {{5.0f, 2.6f}, {11.0f, 2.6f}, {11.7f, 4.2f}, {11.7f, 14}, {4.3f, 14}, {4.3f, 4.2f}});
      Shape sleeves =
          Union(Segment(5.2f, 3.6f, 2.4f, 6.6f, 2.6f), Segment(10.8f, 3.6f, 13.6f, 6.6f, 2.6f));
      s = Subtract(Union(torso, sleeves), Circle(8, 2.0f, 1.9f));
      break;
    }
    case Glyph::Gear: {
      s = Ring(8, 8, 3.5f, 2.6f);
      for (int i = 0; i < 8; ++i) {
        const float a = static_cast<float>(i) * std::numbers::pi_v<float> / 4;
        s = Union(s, Segment(8 + 4.4f * std::cos(a), 8 + 4.4f * std::sin(a), 8 + 6.1f * std::cos(a),
                             8 + 6.1f * std::sin(a), 2.3f));
      }
      break;
    }
    case Glyph::Clock: s = ClockShape(8, 8, 5.8f); break;
    case Glyph::AddPerson:
      s = Union(Subtract(PersonShape(6.2f, 2.0f, 0.95f), Circle(12.2f, 5.6f, 3.8f)),
                Plus(12.2f, 5.6f, 2.4f, 1.6f));
      break;
    case Glyph::AddGroup:
      s = Union(Subtract(GroupShape(), Circle(12.6f, 12.6f, 4.0f)), Plus(12.6f, 12.6f, 2.4f, 1.6f));
      break;
    case Glyph::FindGroup:
      s = Union(Subtract(GroupShape(), Circle(12.0f, 12.0f, 4.4f)),
                MagnifierShape(11.4f, 11.4f, 2.2f));
      break;
    case Glyph::Magnifier: s = MagnifierShape(6.8f, 6.8f, 4.0f); break;
    case Glyph::Clear:
      img.Fill(Circle(8, 8, 6.2f), state == 0 ? Hex(kGrey) : state == 3 ? Hex(kDisabled) : c);
      img.Fill(
          Union(Segment(5.6f, 5.6f, 10.4f, 10.4f, 1.6f), Segment(10.4f, 5.6f, 5.6f, 10.4f, 1.6f)),
          Hex(kWhite));
      return;
    case Glyph::Person: s = PersonShape(8, 1.4f, 1.0f); break;
    case Glyph::Group: s = GroupShape(); break;
    case Glyph::Globe:
      s = Union(Ring(8, 8, 6, 1.4f),
                Union(Ellipse(8, 8, 2.6f, 6.0f), Segment(2.5f, 8, 13.5f, 8, 1.3f)));
      s = Subtract(s, Ellipse(8, 8, 1.5f, 5.0f));
      break;
  }
  img.Fill(s, c);
}

void DrawScope(Image& img, int frame) {
  const Colour blue = Hex(kBlue), teal = Hex(kTeal), orange = Hex(0xF97316), slate = Hex(kSlate);
  switch (frame) {
    case 0: img.Fill(PersonShape(8, 1.4f, 1.0f), blue); break;
    case 1:
      img.Fill(Subtract(PersonShape(6.6f, 1.4f, 0.95f), Circle(12, 12, 4.2f)), teal);
      img.Fill(Ring(12, 12, 2.7f, 1.2f), teal);
      img.Fill(Segment(9.5f, 12, 14.5f, 12, 1.0f), teal);
      break;
    case 2:
      img.Fill(Subtract(PersonShape(6.6f, 1.4f, 0.95f), Circle(12, 12, 4.2f)), orange);
      img.Fill(RoundRect(9, 9.4f, 15, 14.2f, 1.6f), orange);
      break;
    case 3: DrawChannelFrame(img, 0); break;
    case 4: DrawChannelFrame(img, 3); break;
    case 5: img.Fill(MagnifierShape(6.8f, 6.8f, 4.0f), slate); break;
    default: img.Fill(ClockShape(8, 8, 5.8f), slate); break;
  }
}

void DrawGrip(Image& img) {
  const Colour c = Hex(0x7B8BA1);
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col <= row; ++col)
      img.Fill(Circle(13.2f - 3.8f * static_cast<float>(col),
                      13.2f - 3.8f * static_cast<float>(row - col), 1.4f),
               c);
}

void DrawSpinner(Image& img, int frame, int frames) {
  for (int i = 0; i < 8; ++i) {
    const float a =
        static_cast<float>(i) * std::numbers::pi_v<float> / 4 - std::numbers::pi_v<float> / 2;
    const int age = ((frame * 8 / frames) - i + 8) % 8;
    img.Fill(Circle(8 + 5.4f * std::cos(a), 8 + 5.4f * std::sin(a), 1.4f),
             Mix(Hex(kBlue), Hex(kBlue, 0.15f), static_cast<float>(age) / 7.0f));
  }
}

void DrawButtonFace(Image& img, std::uint32_t top, std::uint32_t bottom, std::uint32_t edge) {
  const float w = static_cast<float>(img.Width()), h = static_cast<float>(img.Height());
  img.SetTransform(1);
  // Faces are stretched with a plain copy: the corners sit on the panel's
  // white, not on transparency.
  img.Fill(RoundRect(-1, -1, w + 1, h + 1, 0), Hex(kWhite));
  img.Fill(RoundRect(0, 0, w, h, 5), Hex(edge));
  img.FillGradient(RoundRect(1, 1, w - 1, h - 1, 4), Hex(top), Hex(bottom), 0, h);
}

void DrawPhoto(Image& img, int variant) {
  static const std::uint32_t tones[][2] = {
      {0x93C5FD, 0x3B82F6}, {0x99F6E4, 0x0D9488}, {0xC4B5FD, 0x7C3AED}, {0xFDA4AF, 0xE11D48},
      {0xFCD34D, 0xD97706}, {0x86EFAC, 0x16A34A}, {0xCBD5E1, 0x64748B}, {0xF9A8D4, 0xDB2777}};
  const auto& t = tones[variant % 8];
  const Shape frame = RoundRect(0, 0, 16, 16, 3.4f);
  img.FillGradient(frame, Hex(t[0]), Hex(t[1]), 0, 16);
  const Colour hair = Mix(Hex(t[1]), Hex(0x111827), 0.45f);
  const Colour skin = Hex(0xFFFFFF, 0.94f);
  const bool longHair = (variant / 8) % 2 == 1;
  if (longHair)
    img.Fill(Union(Circle(8, 6.4f, 3.9f), RoundRect(4.1f, 6.2f, 11.9f, 11.8f, 1.6f)), hair);
  img.Fill(Intersect(Ellipse(8, 17.2f, 6.6f, 5.6f), frame), skin);
  img.Fill(Circle(8, 7.0f, 3.2f), skin);
  // The fringe over the forehead.
  img.Fill(Intersect(Circle(8, 6.6f, 3.5f), Subtract(Above(6.2f), Ellipse(9.6f, 7.8f, 3.2f, 2.2f))),
           hair);
}

void DrawSkinPreview(Image& img, std::uint32_t accent) {
  img.SetTransform(1);
  const float w = static_cast<float>(img.Width()), h = static_cast<float>(img.Height());
  img.Fill(RoundRect(0, 0, w, h, 4), Hex(0xE2E8F0));
  img.Fill(RoundRect(1, 1, w - 1, h - 1, 3), Hex(0xFFFFFF));
  img.FillGradient(Intersect(RoundRect(1, 1, w - 1, h - 1, 3), Above(h * 0.32f)), Hex(accent),
                   Mix(Hex(accent), Hex(kWhite), 0.3f), 0, h * 0.32f);
  for (int i = 0; i < 3; ++i) {
    const float y = h * 0.45f + static_cast<float>(i) * h * 0.17f;
    img.Fill(Circle(w * 0.14f, y, h * 0.05f), Hex(i == 2 ? kGrey : kGreen));
    img.Fill(Segment(w * 0.24f, y, w * (0.75f - 0.1f * static_cast<float>(i)), y, h * 0.06f),
             Hex(0xCBD5E1));
  }
}

void DrawSkinBanner(Image& img, std::uint32_t accent) {
  img.SetTransform(1);
  const float w = static_cast<float>(img.Width()), h = static_cast<float>(img.Height());
  img.FillGradient(RoundRect(0, 0, w, h, 0), Hex(accent), Mix(Hex(accent), Hex(kWhite), 0.55f), 0,
                   h);
  for (int i = 0; i < 4; ++i)
    img.Fill(
        Circle(w * (0.2f + 0.22f * static_cast<float>(i)), h * (i % 2 ? 1.1f : -0.1f), h * 0.6f),
        Hex(kWhite, 0.08f));
}

}  // namespace demoart
