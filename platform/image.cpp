// SHLoadImageFile's stand-in: the platform's own JPEG decoder (WIC) into a
// top-down DIB section of the picture's own size, which selects into any
// memory DC compatible with the screen. A colour JPEG decodes as 24-bit
// BGR: its rows are copied straight into a 24-bit DIB, so that no second
// full-size buffer (a format converter's) is allocated at the paint and the
// bitmap held between paints is a quarter smaller than a 32-bit one. Any
// other pixel format goes through a converter to 32-bit BGR. COM is
// initialised for the call and undone in balance (S_FALSE needs its undo
// too); a thread already in another apartment model keeps it and is not
// undone.
#include <windows.h>
#include <wincodec.h>

#include "platform/image.h"

namespace {

// Larger pictures are refused rather than allocated: no skin comes near it.
constexpr UINT kMaxSide = 8192;

// A top-down DIB section of `width` x `height` at `bits` per pixel, its
// rows DWORD-aligned as GDI requires; its pixel memory and row stride go
// to `pixels` and `stride`.
HBITMAP MakeDib(UINT width, UINT height, WORD bits, void** pixels, UINT* stride) {
  BITMAPINFO info;
  ZeroMemory(&info, sizeof(info));
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC gives the rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bits;
  info.bmiHeader.biCompression = BI_RGB;
  *pixels = nullptr;
  *stride = (width * bits / 8 + 3) & ~3u;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, pixels, nullptr, 0);
  if (bitmap != nullptr && *pixels == nullptr) {
    DeleteObject(bitmap);
    bitmap = nullptr;
  }
  return bitmap;
}

// Copies `source` (already in the DIB's pixel format) into a new DIB.
HBITMAP CopyInto(IWICBitmapSource* source, WORD bits) {
  UINT width = 0, height = 0;
  if (FAILED(source->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
    return nullptr;
  void* pixels = nullptr;
  UINT stride = 0;
  HBITMAP bitmap = MakeDib(width, height, bits, &pixels, &stride);
  if (bitmap == nullptr) return nullptr;
  if (FAILED(source->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels)))) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

HBITMAP DecodeWith(IWICImagingFactory* factory, LPCWSTR path) {
  HBITMAP result = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  WICPixelFormatGUID format;
  if (FAILED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder)))
    goto done;
  if (FAILED(decoder->GetFrame(0, &frame))) goto done;
  if (SUCCEEDED(frame->GetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
    result = CopyInto(frame, 24);
    goto done;
  }
  if (FAILED(factory->CreateFormatConverter(&converter))) goto done;
  if (FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    goto done;
  result = CopyInto(converter, 32);
done:
  if (converter) converter->Release();
  if (frame) frame->Release();
  if (decoder) decoder->Release();
  return result;
}

}  // namespace

HBITMAP SHLoadImageFile(LPCWSTR path) {
  if (path == nullptr || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return nullptr;
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HBITMAP result = nullptr;
  IWICImagingFactory* factory = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                 reinterpret_cast<void**>(&factory)))) {
    result = DecodeWith(factory, path);
    factory->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return result;
}
