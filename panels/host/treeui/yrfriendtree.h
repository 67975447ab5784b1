// treeui: CYRFriendTree, the tree of groups and friends.
//
// Group items (InsertGroupItem) accept drops and are not dragged; friend
// items (InsertFriendItem) can be dragged and accept no drops; a panel may
// change both per item with EnableDragDrop. Group text is drawn in
// TEXTCLR_GROUP, friend text in TEXTCLR_FRIEND and any other item's (guide
// and custom nodes) in TEXTCLR_GUIDE; a panel may overwrite the three.
#pragma once

#include "host/treeui/yrtreectrl.h"

#include <string>

// Icon types (SetIconType).
constexpr int YRICON_SMALL = 0;
constexpr int YRICON_BIG = 1;

class CYRFriendTree : public CYRTreeCtrl {
 public:
  CYRFriendTree();
  ~CYRFriendTree() override;

  static COLORREF TEXTCLR_FRIEND;
  static COLORREF TEXTCLR_GROUP;
  static COLORREF TEXTCLR_GUIDE;

  // Loads the image list from GetImageFile() (a strip of square images; the
  // image size is the picture's height) and the big-image list from
  // GetBigImageFile(), and sets the row height for the icon type. May run
  // again (a panel re-created under a new parent): the lists are rebuilt.
  virtual void Init();

  // `selectedImage` -1 means the same as `image`. `flag` is kept with the
  // item (GetItemFlag). `after` as for InsertItem (0 counts as TVI_LAST).
  HTREEITEM InsertGroupItem(LPCWSTR text, int image, int selectedImage, DWORD_PTR data,
                            HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST, WORD flag = 0);
  HTREEITEM InsertFriendItem(LPCWSTR text, int image, int selectedImage, DWORD_PTR data,
                             HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
  BOOL IsGroupItem(HTREEITEM item) const;
  BOOL IsFriendItem(HTREEITEM item) const;
  WORD GetItemFlag(HTREEITEM item) const;

  // A friend shown with its big image (from the big-image list when the tree
  // has one) in big-icon mode.
  BOOL EnableBigImage(HTREEITEM item, BOOL on);
  BOOL IsBigImage(HTREEITEM item) const;
  // YRICON_SMALL: rows of the small image height (at least 20 pixels);
  // YRICON_BIG: rows of 40 pixels (at least the big image height).
  void SetIconType(int type);
  int GetIconType() const;
  int GetSmallItemHeight() const;
  int GetBigItemHeight() const;

  // The image strips the tree loads in Init; empty texts load nothing.
  virtual std::u16string GetImageFile();
  virtual std::u16string GetBigImageFile();

  // The folder that holds the host's settings ("cfg.ini"); by default the
  // host program's directory without its trailing separator.
  std::u16string GetSettingDirectory() const;
  void SetSettingDirectory(const std::u16string& dir);

 protected:
  // A drag is about to start on a friend item; FALSE refuses it.
  virtual BOOL OnCustomBeginDrag(HTREEITEM item, CPoint point);
  BOOL OnBeginDrag(HTREEITEM item, CPoint point) override;
  COLORREF GetItemTextColour(HTREEITEM item) const override;
  CImageList* GetItemImages(HTREEITEM item) const override;

 private:
  CImageList m_images;
  CImageList m_bigImages;
  int m_iconType = YRICON_SMALL;
  int m_smallHeight = 20;
  int m_bigHeight = 40;
  std::u16string m_settingDir;
};
