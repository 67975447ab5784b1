// skinctl: pictures loaded from files, shared by path.
#pragma once

#include "platform/framework.h"

#include <memory>
#include <string>

class CQWPicture {
 public:
  ~CQWPicture();
  CQWPicture(const CQWPicture&) = delete;
  CQWPicture& operator=(const CQWPicture&) = delete;

  // The picture of a PNG, BMP, JPEG or GIF file; null when it does not load.
  // With `shared` the picture is kept by path and the same object comes back
  // for the same path; otherwise a fresh one is loaded.
  static std::shared_ptr<CQWPicture> LoadPicture(LPCWSTR file, BOOL shared = TRUE);
  // Forgets the kept pictures (the callers' references stay valid).
  static void ClearCache();

  HBITMAP GetBitmap() const { return m_bitmap; }
  int GetWidth() const { return m_size.cx; }
  int GetHeight() const { return m_size.cy; }
  const std::u16string& GetPath() const { return m_path; }
  // A horizontal strip of square frames: width / height (at least 1).
  int GetFrameCount() const;

  // Draws the whole picture scaled to the rectangle.
  BOOL Draw(CDC* dc, const RECT& rc) const;
  // Draws frame `index` of the strip at (x, y), unscaled; pixels of the
  // transparent colour are left out (CLR_INVALID: none).
  BOOL DrawFrame(CDC* dc, int index, int x, int y, COLORREF transparent = CLR_INVALID) const;
  // Fills an image list with the strip's frames (square, height-sized).
  BOOL CreateImageList(CImageList& list, COLORREF transparent = CLR_INVALID) const;

 private:
  CQWPicture() = default;
  HBITMAP m_bitmap = 0;
  SIZE m_size;
  std::u16string m_path;
};
