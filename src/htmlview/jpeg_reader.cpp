#include "htmlview/jpeg_reader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <jpeglib.h>

#include "htmlview/image_bitmap.h"
#include "platform/files.h"

namespace {

// Progressive files may bring thousands of scans; real pictures use a dozen.
constexpr int MaxJpegScans = 500;
constexpr int64_t MaxJpegFileBytes = int64_t(64) << 20;

struct TJpegError {
  jpeg_error_mgr Pub;
  jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr C) {
  TJpegError *E = reinterpret_cast<TJpegError *>(C->err);
  (*C->err->format_message)(C, E->Message);
  std::longjmp(E->Jump, 1);
}
void Silent(j_common_ptr, int) {}
void SilentOutput(j_common_ptr) {}

const JOCTET FakeEoi[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
boolean FillInput(j_decompress_ptr C) {
  // The data is all there is: a missing tail reads as the end of the picture.
  C->src->next_input_byte = FakeEoi;
  C->src->bytes_in_buffer = 2;
  return TRUE;
}
void SkipInput(j_decompress_ptr C, long N) {
  if (N <= 0) return;
  if (size_t(N) > C->src->bytes_in_buffer) {
    FillInput(C);
    return;
  }
  C->src->next_input_byte += N;
  C->src->bytes_in_buffer -= size_t(N);
}
void TermSource(j_decompress_ptr) {}

void Progress(j_common_ptr C) {
  j_decompress_ptr D = reinterpret_cast<j_decompress_ptr>(C);
  if (D->input_scan_number > MaxJpegScans) (*C->err->error_exit)(C);
}

// A row buffer; false when memory runs out (nothing may be thrown past the decoder's frame).
bool AssignRow(std::vector<uint8_t> &Row, size_t Bytes) noexcept {
  try {
    Row.assign(Bytes, 0);
    return true;
  } catch (const std::bad_alloc &) { return false; }
}

struct TJpegJob {
  jpeg_decompress_struct Info;
  TJpegError Err;
  jpeg_source_mgr Src;
  jpeg_progress_mgr Prog;
  TRawImage *Image;
  const std::vector<uint32_t> *Palette;
  std::vector<uint8_t> *Row;
  const char *Fault;
};

// Runs between setjmp and every possible longjmp: no object with a destructor lives in
// this frame, and everything that outlives a jump is in Job.
// One decoded row into pixels: through the colour map when there is one, else grey or
// RGB samples.
PIXEL_LOOP void StoreRow(uint32_t *D, const uint8_t *S, int Wd, JSAMPARRAY M, bool Grey) {
  if (M) {
    for (int X = 0; X < Wd; ++X) D[X] = RgbPixel(M[0][S[X]], M[1][S[X]], M[2][S[X]]);
  } else if (Grey) {
    for (int X = 0; X < Wd; ++X) D[X] = RgbPixel(S[X], S[X], S[X]);
  } else {
    for (int X = 0; X < Wd; ++X) D[X] = RgbPixel(S[3 * X], S[3 * X + 1], S[3 * X + 2]);
  }
}

bool RunJpeg(TJpegJob &Job, const uint8_t *Data, size_t Size) {
  j_decompress_ptr C = &Job.Info;
  C->err = jpeg_std_error(&Job.Err.Pub);
  Job.Err.Pub.error_exit = ErrorExit;
  Job.Err.Pub.emit_message = Silent;
  Job.Err.Pub.output_message = SilentOutput;
  Job.Err.Message[0] = 0;
  if (setjmp(Job.Err.Jump)) {
    jpeg_destroy_decompress(C);
    Job.Fault = "JPEG data corrupt";
    return false;
  }
  jpeg_create_decompress(C);
  Job.Src.init_source = InitSource;
  Job.Src.fill_input_buffer = FillInput;
  Job.Src.skip_input_data = SkipInput;
  Job.Src.resync_to_restart = jpeg_resync_to_restart;
  Job.Src.term_source = TermSource;
  Job.Src.next_input_byte = Data;
  Job.Src.bytes_in_buffer = Size;
  C->src = &Job.Src;
  Job.Prog.progress_monitor = Progress;
  C->progress = &Job.Prog;

  if (jpeg_read_header(C, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(C);
    Job.Fault = "no JPEG picture";
    return false;
  }
  if (C->jpeg_color_space == JCS_CMYK || C->jpeg_color_space == JCS_YCCK) {
    jpeg_destroy_decompress(C);
    Job.Fault = "CMYK JPEG pictures are not shown";
    return false;
  }
  bool Grey = C->jpeg_color_space == JCS_GRAYSCALE || C->num_components == 1;
  C->out_color_space = Grey ? JCS_GRAYSCALE : JCS_RGB;
  int64_t W = C->image_width, H = C->image_height;
  if (!ImageSizeAllowed(W, H) || W * H * C->num_components > MaxImagePixels * 4) {
    jpeg_destroy_decompress(C);
    Job.Fault = "JPEG size out of range";
    return false;
  }
  bool Quantise = Job.Palette && !Grey && !Job.Palette->empty();
  if (Quantise) {
    int N = int(Job.Palette->size() < 256 ? Job.Palette->size() : 256);
    JSAMPARRAY Map = (*C->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(C), JPOOL_IMAGE,
                                             JDIMENSION(N), 3);
    for (int I = 0; I < N; ++I) {
      uint32_t Col = (*Job.Palette)[size_t(I)];
      Map[0][I] = JSAMPLE(Col & 0xFF);
      Map[1][I] = JSAMPLE((Col >> 8) & 0xFF);
      Map[2][I] = JSAMPLE((Col >> 16) & 0xFF);
    }
    C->quantize_colors = TRUE;
    C->colormap = Map;
    C->actual_number_of_colors = N;
    C->dither_mode = JDITHER_FS;
  }
  jpeg_start_decompress(C);
  if (!Job.Image->Allocate(C->output_width, C->output_height)) {
    jpeg_destroy_decompress(C);
    Job.Fault = "JPEG size out of range";
    return false;
  }
  Job.Image->SourceBits = Quantise || Grey ? 8 : 24;
  if (!AssignRow(*Job.Row, size_t(C->output_width) * size_t(C->output_components))) {
    jpeg_destroy_decompress(C);
    Job.Fault = "out of memory for the JPEG picture";
    return false;
  }
  while (C->output_scanline < C->output_height) {
    JSAMPROW Rows[1] = {Job.Row->data()};
    int Y = int(C->output_scanline);
    if (jpeg_read_scanlines(C, Rows, 1) != 1) break;
    StoreRow(Job.Image->Row(Y), Job.Row->data(), int(C->output_width),
             Quantise ? C->colormap : nullptr, Grey);
  }
  jpeg_finish_decompress(C);
  jpeg_destroy_decompress(C);
  return true;
}

} // namespace

bool DecodeJpeg(std::span<const uint8_t> Data, TRawImage &Image, const TJpegOptions &Options,
                std::string *Error) {
  Image = TRawImage();
  if (Data.size() < 4) {
    if (Error) *Error = "no JPEG picture";
    return false;
  }
  std::vector<uint8_t> Row;
  TJpegJob Job;
  std::memset(&Job, 0, sizeof Job);
  Job.Image = &Image;
  Job.Palette = Options.Palette;
  Job.Row = &Row;
  bool Ok = RunJpeg(Job, Data.data(), Data.size());
  if (!Ok) {
    Image = TRawImage();
    if (Error) *Error = Job.Fault ? Job.Fault : "JPEG data corrupt";
  }
  return Ok;
}

bool LoadJpegData(std::span<const uint8_t> Data, TBitmap &Bitmap, const TJpegOptions &Options) {
  TRawImage Raw;
  if (!DecodeJpeg(Data, Raw, Options)) return false;
  return RawToBitmap(Raw, Bitmap);
}

bool LoadJpegFile(const std::string &Path, TBitmap &Bitmap) {
  try {
    std::vector<uint8_t> Data = ReadFileBytes(Path, MaxJpegFileBytes);
    return LoadJpegData(Data, Bitmap);
  } catch (const std::exception &) {
    return false;
  }
}
