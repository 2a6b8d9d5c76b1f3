#include "ui/jpeg_image.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace kelmarin {

namespace {

// libjpeg's default handlers print and call exit(). Ours record the message and jump back to
// the decoder, which then throws: a C++ exception must not unwind through libjpeg's C frames.
struct TErrorManager {
    jpeg_error_mgr base;  // first member: libjpeg only knows this part
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpOnError(j_common_ptr info) {
    auto* errors = reinterpret_cast<TErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Damaged data (a truncated file, a corrupt segment) comes as a warning, level -1, after
// which libjpeg would go on and fill in grey; such a picture is refused instead. Trace
// messages (level >= 0) are dropped.
void JumpOnWarning(j_common_ptr info, int level) {
    if (level < 0) JumpOnError(info);
}

// Owns one libjpeg decompressor. Everything that can make libjpeg jump runs inside Run(),
// which holds no C++ objects with destructors across the calls into libjpeg.
class TDecompressor {
  public:
    TDecompressor() {
        info_.err = jpeg_std_error(&errors_.base);
        errors_.base.error_exit = &JumpOnError;
        errors_.base.emit_message = &JumpOnWarning;
    }
    ~TDecompressor() {
        if (created_) jpeg_destroy_decompress(&info_);
    }
    TDecompressor(const TDecompressor&) = delete;
    TDecompressor& operator=(const TDecompressor&) = delete;

    // Decodes into *out; false when libjpeg failed, with Message() telling why.
    bool Run(const unsigned char* data, unsigned long size, QImage* out);
    const char* Message() const { return errors_.message; }

  private:
    void ReadRows(QImage* out);

    jpeg_decompress_struct info_{};
    TErrorManager errors_{};
    bool created_ = false;
};

bool TDecompressor::Run(const unsigned char* data, unsigned long size, QImage* out) {
    if (setjmp(errors_.jump) != 0) return false;
    jpeg_create_decompress(&info_);
    created_ = true;
    jpeg_mem_src(&info_, data, size);
    jpeg_read_header(&info_, TRUE);
    info_.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info_);
    *out = QImage(int(info_.output_width), int(info_.output_height), QImage::Format_RGB888);
    if (out->isNull()) {
        std::strcpy(errors_.message, "the picture is too large");
        return false;
    }
    ReadRows(out);
    jpeg_finish_decompress(&info_);
    return true;
}

void TDecompressor::ReadRows(QImage* out) {
    while (info_.output_scanline < info_.output_height) {
        JSAMPROW row = out->scanLine(int(info_.output_scanline));
        jpeg_read_scanlines(&info_, &row, 1);
    }
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
    QImage image;
    TDecompressor decompressor;
    if (!decompressor.Run(reinterpret_cast<const unsigned char*>(data.constData()),
                          static_cast<unsigned long>(data.size()), &image)) {
        throw EJpegError(std::string("Cannot decode the picture: ") + decompressor.Message());
    }
    return image;
}

}  // namespace kelmarin
