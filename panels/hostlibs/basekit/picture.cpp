// Bitmaps from memory and the animated picture.
#include "host/basekit/picture.h"

#include "platform/file.h"

#include <stb_image.h>

#include <cstring>

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kStripDelay = 100;

HBITMAP FromRgba(const unsigned char* rgba, int width, int height) {
  Canvas canvas(width, height);
  std::memcpy(canvas.Data(), rgba, static_cast<std::size_t>(width) * height * 4);
  return CreateBitmapFromCanvas(canvas);
}

}  // namespace

HBITMAP CDealBitmap::GetHandleFromBuf(const BYTE* bytes, UINT length) {
  if (!bytes || length == 0) return 0;
  return CreateBitmapFromImageData(bytes, length);
}

CPictureEx::CPictureEx() = default;

CPictureEx::~CPictureEx() {
  if (m_hWnd) DestroyWindow();
  UnLoad();
}

BOOL CPictureEx::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(nullptr, u"", style | WS_CHILD, rect, parent, id);
}

void CPictureEx::UnLoad() {
  Stop();
  for (Frame& f : m_frames) DeleteObject(f.bitmap);
  m_frames.clear();
  m_current = 0;
  m_size = SIZE{};
}

BOOL CPictureEx::Load(LPCWSTR file) {
  UnLoad();
  std::string bytes;
  if (!file || !ReadWholeFile(ToFileSystemPath(file), bytes) || bytes.empty()) return FALSE;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  int len = static_cast<int>(bytes.size());
  if (bytes.compare(0, 4, "GIF8") == 0) {
    int* delays = nullptr;
    int w = 0, h = 0, frames = 0, comp = 0;
    unsigned char* pixels =
        stbi_load_gif_from_memory(data, len, &delays, &w, &h, &frames, &comp, 4);
    if (pixels) {
      for (int i = 0; i < frames; ++i) {
        Frame f;
        f.bitmap = FromRgba(pixels + static_cast<std::size_t>(i) * w * h * 4, w, h);
        f.delay = delays && delays[i] > 0 ? static_cast<UINT>(delays[i]) : kStripDelay;
        if (f.bitmap) m_frames.push_back(f);
      }
      m_size = SIZE{w, h};
      stbi_image_free(pixels);
      stbi_image_free(delays);
      return IsLoaded();
    }
  }
  HBITMAP whole = CreateBitmapFromImageData(data, bytes.size());
  std::shared_ptr<Canvas> canvas = GetBitmapCanvas(whole);
  if (!canvas) return FALSE;
  int w = canvas->Width(), h = canvas->Height();
  if (h > 0 && w > h && w % h == 0) {
    // A strip of square frames.
    for (int x = 0; x < w; x += h) {
      Canvas part(h, h);
      for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < h; ++xx) part.SetRgba(xx, yy, canvas->GetRgba(x + xx, yy));
      m_frames.push_back(Frame{CreateBitmapFromCanvas(part), kStripDelay});
    }
    DeleteObject(whole);
    m_size = SIZE{h, h};
  } else {
    m_frames.push_back(Frame{whole, kStripDelay});
    m_size = SIZE{w, h};
  }
  return TRUE;
}

BOOL CPictureEx::Draw() {
  if (!IsLoaded() || !m_hWnd) return FALSE;
  ShowWindow(SW_SHOW);
  Invalidate(FALSE);
  if (m_frames.size() > 1 && !m_playing) {
    m_playing = true;
    SetTimer(kFrameTimer, m_frames[static_cast<std::size_t>(m_current)].delay);
  }
  return TRUE;
}

void CPictureEx::Stop() {
  if (m_playing && m_hWnd) KillTimer(kFrameTimer);
  m_playing = false;
}

void CPictureEx::OnTimer(UINT_PTR id) {
  if (id != kFrameTimer || m_frames.empty()) {
    CWnd::OnTimer(id);
    return;
  }
  m_current = (m_current + 1) % static_cast<int>(m_frames.size());
  // Each frame keeps its own delay.
  SetTimer(kFrameTimer, m_frames[static_cast<std::size_t>(m_current)].delay);
  Invalidate(FALSE);
}

BOOL CPictureEx::OnEraseBkgnd(CDC*) { return TRUE; }

void CPictureEx::OnPaint() {
  CPaintDC dc(this);
  if (m_frames.empty()) return;
  CRect rc;
  GetClientRect(&rc);
  CDC mem;
  mem.CreateCompatibleDC(&dc);
  HGDIOBJ old = mem.SelectObject(m_frames[static_cast<std::size_t>(m_current)].bitmap);
  // Centred, unscaled.
  dc.BitBlt((rc.Width() - m_size.cx) / 2, (rc.Height() - m_size.cy) / 2, m_size.cx, m_size.cy, &mem,
            0, 0, SRCCOPY);
  mem.SelectObject(old);
}
