// CImageList: an image list of the common controls (win32/imagelist.h) as
// an object. The object owns the list it creates or attaches and destroys
// it with itself; Detach hands the handle back.
#pragma once

#include "afxgdi.h"
#include "afxobject.h"
#include "commctrl.h"

class CImageList : public CObject {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

  CImageList() = default;
  ~CImageList() override;
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  HIMAGELIST m_hImageList = nullptr;
  operator HIMAGELIST() const { return m_hImageList; }
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }

  /// A list of cx x cy pictures (ILC_* flags); FALSE when the object holds
  /// a list already.
  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  BOOL Attach(HIMAGELIST hImageList);
  HIMAGELIST Detach();
  BOOL DeleteImageList();

  int GetImageCount() const;
  /// The pictures of a bitmap strip with a monochrome mask (or none); the
  /// index of the first, else -1.
  int Add(CBitmap* pbmImage, CBitmap* pbmMask);
  /// The same, the pixels of crMask transparent.
  int Add(CBitmap* pbmImage, COLORREF crMask);
  /// An icon stretched to the list's size; its index, else -1.
  int Add(HICON hIcon);
  /// An icon in place of picture nImage (-1: after the last one).
  int Replace(int nImage, HICON hIcon);
  /// A new icon of picture nImage, the caller's to destroy; null on failure.
  HICON ExtractIcon(int nImage);
  BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
};
