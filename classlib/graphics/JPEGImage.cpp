#include "classlib/graphics/JPEGImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "classlib/core/Exception.h"
#include "classlib/core/Stream.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/BmpCodec.h"
#include "classlib/graphics/Canvas.h"

QUENDREL_REGISTER_CLASS(TJPEGImage, TGraphic) {}

namespace {

// libjpeg reports fatal errors through error_exit, which must not return. Ours jumps back to the decoding
// function, which cleans up and reports failure; nothing between the jump and its target has destructors.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
  char Warning[JMSG_LENGTH_MAX]; // the first warning, empty when there was none
};

// What libjpeg may allocate for one picture beyond the decoded rows: enough for the coefficients of a
// progressive picture of the largest size accepted.
constexpr long MaxJpegMemory = 512L << 20;

[[noreturn]] void ErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, error->Message);
  std::longjmp(error->Jump, 1);
}

// Data that ends early is an error: a truncated picture is not a grey band. Other warnings (corrupt data
// that libjpeg decodes past) keep the picture and are counted, the first one's text kept for the caller.
void EmitMessage(j_common_ptr info, int level) {
  if (level >= 0) return;
  if (info->err->msg_code == JWRN_JPEG_EOF) ErrorExit(info);
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  if (info->err->num_warnings++ == 0) (*info->err->format_message)(info, error->Warning);
}

void OutputMessage(j_common_ptr) {}

void InstallErrorHandler(TJpegError& error) {
  jpeg_std_error(&error.Manager);
  error.Manager.error_exit = ErrorExit;
  error.Manager.emit_message = EmitMessage;
  error.Manager.output_message = OutputMessage;
  error.Message[0] = 0;
  error.Warning[0] = 0;
}

struct TDecoded {
  int Width = 0;
  int Height = 0;
  bool Grayscale = false;
  int Warnings = 0;
};

// Decodes into Surface; false with Message set on failure.
bool Decode(const uint8_t* data, size_t size, TSurface& surface, TDecoded& result, TJpegError& error) {
  jpeg_decompress_struct info;
  std::memset(&info, 0, sizeof(info));
  info.err = &error.Manager;
  InstallErrorHandler(error);
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  info.mem->max_memory_to_use = MaxJpegMemory;
  jpeg_read_header(&info, TRUE);
  // Refused before decompression starts, which would allocate for the size the header claims.
  if (info.image_width == 0 || info.image_height == 0 ||
      int64_t{info.image_width} * info.image_height > MaxPicturePixels) {
    std::snprintf(error.Message, sizeof(error.Message), "JPEG image is too large");
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.scale_num = 1;
  info.scale_denom = 1;
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  result.Grayscale = info.jpeg_color_space == JCS_GRAYSCALE;
  jpeg_start_decompress(&info);
  if (info.output_width == 0 || info.output_height == 0 ||
      int64_t{info.output_width} * info.output_height > MaxPicturePixels) {
    std::snprintf(error.Message, sizeof(error.Message), "JPEG image is too large");
    jpeg_destroy_decompress(&info);
    return false;
  }
  result.Width = static_cast<int>(info.output_width);
  result.Height = static_cast<int>(info.output_height);
  surface.SetSize(result.Width, result.Height);
  JSAMPARRAY row =
      (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                info.output_width * static_cast<JDIMENSION>(info.output_components), 1);
  while (info.output_scanline < info.output_height) {
    const int y = static_cast<int>(info.output_scanline);
    if (jpeg_read_scanlines(&info, row, 1) != 1) break;
    uint32_t* out = surface.Row(y);
    const JSAMPLE* in = row[0];
    for (int x = 0; x < result.Width; ++x) {
      if (cmyk) {
        // Adobe writes CMYK inverted: the stored values are already 255 - ink.
        const uint32_t c = in[4 * x], m = in[4 * x + 1], yy = in[4 * x + 2], k = in[4 * x + 3];
        out[x] = ((c * k / 255) << 16) | ((m * k / 255) << 8) | (yy * k / 255);
      } else {
        out[x] = (static_cast<uint32_t>(in[3 * x]) << 16) | (static_cast<uint32_t>(in[3 * x + 1]) << 8) |
                 in[3 * x + 2];
      }
    }
  }
  jpeg_finish_decompress(&info);
  result.Warnings = static_cast<int>(error.Manager.num_warnings);
  jpeg_destroy_decompress(&info);
  return true;
}

// Compresses Surface; the library allocates the output, which the caller frees.
bool Encode(const TSurface& surface, int quality, unsigned char** output, unsigned long* outputSize,
            TJpegError& error) {
  jpeg_compress_struct info;
  std::memset(&info, 0, sizeof(info));
  info.err = &error.Manager;
  InstallErrorHandler(error);
  if (setjmp(error.Jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, output, outputSize);
  info.image_width = static_cast<JDIMENSION>(surface.Width());
  info.image_height = static_cast<JDIMENSION>(surface.Height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  JSAMPARRAY row =
      (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.image_width * 3, 1);
  while (info.next_scanline < info.image_height) {
    const uint32_t* in = surface.Row(static_cast<int>(info.next_scanline));
    for (JDIMENSION x = 0; x < info.image_width; ++x) {
      row[0][3 * x] = static_cast<JSAMPLE>(in[x] >> 16);
      row[0][3 * x + 1] = static_cast<JSAMPLE>(in[x] >> 8);
      row[0][3 * x + 2] = static_cast<JSAMPLE>(in[x]);
    }
    jpeg_write_scanlines(&info, row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

} // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::Empty() const {
  return FWidth == 0 || FHeight == 0;
}

int TJPEGImage::Width() const {
  return FWidth;
}

int TJPEGImage::Height() const {
  return FHeight;
}

TBitmap* TJPEGImage::Bitmap() {
  if (!FBitmap) {
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->SetPixelFormat(pf24bit);
  }
  return FBitmap.get();
}

void TJPEGImage::LoadFromMemory(const uint8_t* data, size_t size) {
  if (!data || size == 0) throw EInvalidGraphic("JPEG error #42: empty input file");
  TSurface surface;
  TDecoded decoded;
  TJpegError error;
  if (!Decode(data, size, surface, decoded, error))
    throw EInvalidGraphic(Format("JPEG error: %s", error.Message[0] ? error.Message : "invalid data"));
  FData.assign(data, data + size);
  surface.SetSmooth(true);
  Bitmap()->Surface() = std::move(surface);
  FBitmap->Canvas()->Handle()->ClipChanged();
  FWidth = decoded.Width;
  FHeight = decoded.Height;
  FGrayscale = decoded.Grayscale;
  FDataWarnings = decoded.Warnings;
  FDataWarning = decoded.Warnings > 0 ? AnsiString(error.Warning) : AnsiString();
  Changed();
}

void TJPEGImage::LoadFromStream(TStream* stream) {
  const std::vector<uint8_t> bytes = ReadRemainingBytes(stream);
  LoadFromMemory(bytes.data(), bytes.size());
}

void TJPEGImage::SaveToStream(TStream* stream) {
  if (FData.empty() && FBitmap && !FBitmap->Empty()) {
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    TJpegError error;
    const bool ok = Encode(FBitmap->Surface(), FQuality, &output, &outputSize, error);
    if (ok) FData.assign(output, output + outputSize);
    std::free(output);
    if (!ok) throw EInvalidGraphic(Format("JPEG error: %s", error.Message));
  }
  if (!FData.empty()) stream->WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void TJPEGImage::Assign(TPersistent* source) {
  if (auto* j = dynamic_cast<TJPEGImage*>(source)) {
    if (j == this) return;
    FData = j->FData;
    Bitmap()->Assign(j->FBitmap ? j->FBitmap.get() : nullptr);
    FWidth = j->FWidth;
    FHeight = j->FHeight;
    FGrayscale = j->FGrayscale;
    FQuality = j->FQuality;
    Changed();
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    FData.clear();
    Bitmap()->Assign(b);
    FWidth = b->Width();
    FHeight = b->Height();
    FGrayscale = false;
    Changed();
    return;
  }
  inherited::Assign(source);
}

void TJPEGImage::AssignTo(TPersistent* dest) {
  if (auto* b = dynamic_cast<TBitmap*>(dest)) {
    b->Assign(Bitmap());
    return;
  }
  inherited::AssignTo(dest);
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& rect) {
  if (!Empty()) Bitmap()->Draw(canvas, rect);
}
