// The JPEG loader (SHLoadImageFile): a colour picture becomes a 24-bit DIB
// section of its own size holding the pixels WIC decodes (rows padded to
// whole DWORDs when the width is odd); any other pixel format, a grey JPEG,
// goes through a converter to 32 bits; a missing or broken file gives no
// bitmap. The reference pixels come from WIC itself, through its 32-bit
// converter, in the test.
#include <gtest/gtest.h>
#include <wincodec.h>

#include <string>
#include <vector>

#include "platform/image.h"
#include "tests/wine/support/support.h"

namespace {

// A decoded picture as 0x00RRGGBB values, row by row from the top.
struct Picture {
  UINT width = 0, height = 0;
  std::vector<DWORD> pixels;
};

// WIC's own decode of `path` through a converter to 32-bit BGR.
Picture Reference(const std::wstring& path) {
  Picture p;
  IWICImagingFactory* factory = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                 reinterpret_cast<void**>(&factory))) &&
      SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                   &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                      WICBitmapPaletteTypeCustom)) &&
      SUCCEEDED(converter->GetSize(&p.width, &p.height))) {
    p.pixels.resize(static_cast<size_t>(p.width) * p.height);
    if (FAILED(converter->CopyPixels(nullptr, p.width * 4, p.width * p.height * 4,
                                     reinterpret_cast<BYTE*>(p.pixels.data()))))
      p.pixels.clear();
    for (DWORD& v : p.pixels) v &= 0xFFFFFF;
  }
  if (converter) converter->Release();
  if (frame) frame->Release();
  if (decoder) decoder->Release();
  if (factory) factory->Release();
  return p;
}

// What a bitmap holds, read back through a 32-bit top-down DIB.
Picture Read(HBITMAP bitmap) {
  Picture p;
  BITMAP b;
  if (GetObjectW(bitmap, sizeof(b), &b) == 0) return p;
  p.width = static_cast<UINT>(b.bmWidth);
  p.height = static_cast<UINT>(b.bmHeight);
  BITMAPINFO info;
  ZeroMemory(&info, sizeof(info));
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = b.bmWidth;
  info.bmiHeader.biHeight = -b.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  p.pixels.resize(static_cast<size_t>(p.width) * p.height);
  HDC screen = GetDC(nullptr);
  const int lines = GetDIBits(screen, bitmap, 0, p.height, p.pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (lines != b.bmHeight) p.pixels.clear();
  for (DWORD& v : p.pixels) v &= 0xFFFFFF;
  return p;
}

// Writes a JPEG of `width` x `height` in `format` (24-bit BGR or 8-bit
// grey) with a pattern that differs from pixel to pixel.
bool WriteJpeg(const std::wstring& path, UINT width, UINT height, const GUID& format) {
  const UINT bytes = IsEqualGUID(format, GUID_WICPixelFormat8bppGray) ? 1 : 3;
  const UINT stride = width * bytes;
  std::vector<BYTE> rows(static_cast<size_t>(stride) * height);
  for (UINT y = 0; y < height; ++y)
    for (UINT x = 0; x < stride; ++x) rows[y * stride + x] = static_cast<BYTE>((x * 7 + y * 11) & 0xFF);
  bool ok = false;
  IWICImagingFactory* factory = nullptr;
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  WICPixelFormatGUID chosen = format;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                 reinterpret_cast<void**>(&factory))) &&
      SUCCEEDED(factory->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
      SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) &&
      SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
      SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&chosen)) &&
      IsEqualGUID(chosen, format) && SUCCEEDED(frame->WritePixels(height, stride, stride * height, rows.data())) &&
      SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()))
    ok = true;
  if (frame) frame->Release();
  if (encoder) encoder->Release();
  if (stream) stream->Release();
  if (factory) factory->Release();
  return ok;
}

GUID DecodedFormat(const std::wstring& path) {
  GUID format = GUID_NULL;
  IWICImagingFactory* factory = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                 reinterpret_cast<void**>(&factory))) &&
      SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                   &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)))
    frame->GetPixelFormat(&format);
  if (frame) frame->Release();
  if (decoder) decoder->Release();
  if (factory) factory->Release();
  return format;
}

class PlatformImage : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    scratch = std::wstring(folder) + L"ov_image_test.jpg";
  }
  void TearDown() override {
    if (bitmap != nullptr) DeleteObject(bitmap);
    DeleteFileW(scratch.c_str());
    if (SUCCEEDED(com)) CoUninitialize();
    wt::SuiteTest::TearDown();
  }
  // The DIB section's own description of `bitmap`.
  static DIBSECTION Section(HBITMAP b) {
    DIBSECTION ds;
    ZeroMemory(&ds, sizeof(ds));
    EXPECT_EQ(static_cast<int>(sizeof(ds)), GetObjectW(b, sizeof(ds), &ds));
    return ds;
  }
  HRESULT com = E_FAIL;
  std::wstring scratch;
  HBITMAP bitmap = nullptr;
};

TEST_F(PlatformImage, ShippedColourPictureIsA24BitDibOfItsOwnSizeWithTheDecodersPixels) {
  const std::wstring path = wt::InstalledPath(L"skin\\analog\\portrait_vga.jpg");
  ASSERT_TRUE(IsEqualGUID(GUID_WICPixelFormat24bppBGR, DecodedFormat(path)));
  const Picture want = Reference(path);
  ASSERT_FALSE(want.pixels.empty());
  bitmap = SHLoadImageFile(path.c_str());
  ASSERT_NE(nullptr, bitmap);
  const DIBSECTION ds = Section(bitmap);
  EXPECT_EQ(24, ds.dsBm.bmBitsPixel);
  EXPECT_EQ(static_cast<LONG>(want.width), ds.dsBm.bmWidth);
  EXPECT_EQ(static_cast<LONG>(want.height), ds.dsBm.bmHeight);
  const Picture got = Read(bitmap);
  ASSERT_EQ(want.pixels.size(), got.pixels.size());
  EXPECT_TRUE(want.pixels == got.pixels);
}

TEST_F(PlatformImage, OddWidthColourPictureKeepsEveryRowAligned) {
  // 37 pixels of 3 bytes: 111 bytes of picture in a 112-byte DIB row.
  ASSERT_TRUE(WriteJpeg(scratch, 37, 23, GUID_WICPixelFormat24bppBGR));
  ASSERT_TRUE(IsEqualGUID(GUID_WICPixelFormat24bppBGR, DecodedFormat(scratch)));
  const Picture want = Reference(scratch);
  ASSERT_EQ(37u * 23u, want.pixels.size());
  bitmap = SHLoadImageFile(scratch.c_str());
  ASSERT_NE(nullptr, bitmap);
  const DIBSECTION ds = Section(bitmap);
  EXPECT_EQ(24, ds.dsBm.bmBitsPixel);
  EXPECT_EQ(112, ds.dsBm.bmWidthBytes);
  const Picture got = Read(bitmap);
  EXPECT_TRUE(want.pixels == got.pixels);
  // The last pixel of each row, where a wrong stride shows first.
  for (UINT y = 0; y < 23 && got.pixels.size() == want.pixels.size(); ++y)
    EXPECT_EQ(want.pixels[y * 37 + 36], got.pixels[y * 37 + 36]) << "row " << y;
}

TEST_F(PlatformImage, GreyPictureGoesThroughTheConverterTo32Bits) {
  ASSERT_TRUE(WriteJpeg(scratch, 37, 23, GUID_WICPixelFormat8bppGray));
  ASSERT_TRUE(IsEqualGUID(GUID_WICPixelFormat8bppGray, DecodedFormat(scratch)));
  const Picture want = Reference(scratch);
  ASSERT_EQ(37u * 23u, want.pixels.size());
  bitmap = SHLoadImageFile(scratch.c_str());
  ASSERT_NE(nullptr, bitmap);
  EXPECT_EQ(32, Section(bitmap).dsBm.bmBitsPixel);
  EXPECT_TRUE(want.pixels == Read(bitmap).pixels);
}

TEST_F(PlatformImage, MissingOrBrokenFileGivesNoBitmap) {
  EXPECT_EQ(nullptr, SHLoadImageFile(scratch.c_str()));  // not written yet
  HANDLE f = CreateFileW(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, f);
  const char junk[] = "\xFF\xD8 this is not a picture";
  DWORD written = 0;
  WriteFile(f, junk, sizeof(junk), &written, nullptr);
  CloseHandle(f);
  EXPECT_EQ(nullptr, SHLoadImageFile(scratch.c_str()));
  EXPECT_EQ(nullptr, SHLoadImageFile(nullptr));
}

}  // namespace
