#include "ui/JpegWriter.h"

#include <QImage>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "ui/QtStrings.h"

namespace tabulon {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. It jumps back to
// the encoder with the message kept; only plain C data lies between the jump and its target.
struct TJpegErrors {
  jpeg_error_mgr manager;  // first, so that libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ExitWithMessage(j_common_ptr info) {
  auto* errors = reinterpret_cast<TJpegErrors*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Quiet: warnings are not failures and nothing is printed.
void IgnoreMessage(j_common_ptr, int) {}

// The encoded bytes in one malloc'd block that doubles when full. The block always belongs to
// this struct (libjpeg's own memory destination frees blocks behind its caller's back), so the
// error path can free it.
struct TJpegOutput {
  jpeg_destination_mgr manager;  // first, as with TJpegErrors
  unsigned char* data;
  size_t capacity;
};

constexpr size_t kFirstOutputBlock = 64 * 1024;

void StartOutput(j_compress_ptr info) {
  auto* output = reinterpret_cast<TJpegOutput*>(info->dest);
  output->data = static_cast<unsigned char*>(std::malloc(kFirstOutputBlock));
  if (output->data == nullptr) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  output->capacity = kFirstOutputBlock;
  output->manager.next_output_byte = output->data;
  output->manager.free_in_buffer = output->capacity;
}

boolean GrowOutput(j_compress_ptr info) {
  auto* output = reinterpret_cast<TJpegOutput*>(info->dest);
  auto* grown = static_cast<unsigned char*>(std::realloc(output->data, output->capacity * 2));
  if (grown == nullptr) ERREXIT1(info, JERR_OUT_OF_MEMORY, 1);
  output->data = grown;
  // libjpeg calls this only when the block is full, and writes on from its end.
  output->manager.next_output_byte = grown + output->capacity;
  output->manager.free_in_buffer = output->capacity;
  output->capacity *= 2;
  return TRUE;
}

void FinishOutput(j_compress_ptr) {}

// Encodes rows of packed RGB into output->data (the first capacity - free_in_buffer bytes). On
// failure frees everything libjpeg holds and the output block, and returns false with the
// message in errors. Holds no C++ objects, so the jump from ExitWithMessage skips no destructor.
bool EncodeRgb(const unsigned char* pixels, int width, int height, int stride, int quality,
               TJpegOutput* output, TJpegErrors* errors) {
  jpeg_compress_struct info;
  info.err = jpeg_std_error(&errors->manager);
  errors->manager.error_exit = ExitWithMessage;
  errors->manager.emit_message = IgnoreMessage;
  errors->message[0] = '\0';
  output->data = nullptr;
  output->capacity = 0;
  output->manager.init_destination = StartOutput;
  output->manager.empty_output_buffer = GrowOutput;
  output->manager.term_destination = FinishOutput;
  if (setjmp(errors->jump) != 0) {
    jpeg_destroy_compress(&info);
    std::free(output->data);
    output->data = nullptr;
    return false;
  }
  jpeg_create_compress(&info);
  info.dest = &output->manager;
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels + static_cast<size_t>(info.next_scanline) * stride);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

bool EncodeJpeg(const QImage& image, int quality, std::string* bytes, std::string* error) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  TJpegErrors errors;
  TJpegOutput output;
  if (!EncodeRgb(rgb.constBits(), rgb.width(), rgb.height(), static_cast<int>(rgb.bytesPerLine()),
                 quality, &output, &errors)) {
    *error = errors.message;
    return false;
  }
  const std::unique_ptr<unsigned char, decltype(&std::free)> owned(output.data, &std::free);
  bytes->assign(reinterpret_cast<const char*>(output.data),
                output.capacity - output.manager.free_in_buffer);
  return true;
}

void WriteJpeg(const QImage& image, const QString& path, int quality) {
  std::string bytes, error;
  if (!EncodeJpeg(image, quality, &bytes, &error))
    throw IoError(ToNative(path), TFileAction::kCreate,
                  Wording("cannot encode the picture: ", "画像を JPEG にできません: ") + error);
  // Through the file layer: the old file stays whole until the new one is complete, and a failure
  // is worded as every other file error.
  WriteWholeFileAtomically(ToNative(path), bytes);
}

}  // namespace tabulon
