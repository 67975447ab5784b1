// basekit: bitmaps from memory and the animated picture.
#pragma once

#include "platform/framework.h"

#include <string>
#include <vector>

class CDealBitmap {
 public:
  // A bitmap from image file bytes in memory (BMP, PNG, JPEG, GIF); 0 when
  // they do not decode. The caller deletes it (DeleteObject).
  static HBITMAP GetHandleFromBuf(const BYTE* bytes, UINT length);
};

// An animated picture in a child window. Load takes a GIF (every frame with
// its own delay) or any other picture (a horizontal strip of square frames,
// 100 ms each; a picture not wider than high is one frame). Draw shows it
// and starts the animation: a window timer advances the frames on the
// platform's clock. Stop halts it on the current frame.
class CPictureEx : public CWnd {
 public:
  CPictureEx();
  ~CPictureEx() override;

  // A child window for the picture (hidden unless the style says visible).
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xffff);
  BOOL Load(LPCWSTR file);
  BOOL Draw();
  void Stop();
  void UnLoad();

  BOOL IsLoaded() const { return !m_frames.empty(); }
  BOOL IsPlaying() const { return m_playing; }
  int GetFrameCount() const { return static_cast<int>(m_frames.size()); }
  int GetCurrentFrame() const { return m_current; }
  SIZE GetSize() const { return m_size; }

  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
  BOOL OnEraseBkgnd(CDC* dc) override;

 private:
  struct Frame {
    HBITMAP bitmap = 0;
    UINT delay = 100;
  };
  std::vector<Frame> m_frames;
  SIZE m_size;
  int m_current = 0;
  bool m_playing = false;
};
