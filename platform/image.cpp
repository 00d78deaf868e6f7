// SHLoadImageFile's stand-in: the platform's own JPEG decoder (WIC) into a
// 32-bit top-down DIB section, which selects into any memory DC compatible
// with the screen. COM is initialised for the call and undone in balance
// (S_FALSE needs its undo too); a thread already in another apartment
// model keeps it and is not undone.
#include <windows.h>
#include <wincodec.h>

#include "platform/shell.h"

namespace {

// Larger pictures are refused rather than allocated: no skin comes near it.
constexpr UINT kMaxSide = 8192;

HBITMAP DecodeWith(IWICImagingFactory* factory, LPCWSTR path) {
  HBITMAP result = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  UINT width = 0, height = 0;
  if (FAILED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                &decoder)))
    goto done;
  if (FAILED(decoder->GetFrame(0, &frame))) goto done;
  if (FAILED(factory->CreateFormatConverter(&converter))) goto done;
  if (FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    goto done;
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxSide ||
      height > kMaxSide)
    goto done;
  {
    BITMAPINFO info;
    ZeroMemory(&info, sizeof(info));
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC gives the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) goto done;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
      DeleteObject(bitmap);
      goto done;
    }
    result = bitmap;
  }
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
