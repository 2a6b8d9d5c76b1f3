// Decodes fuzzed JPEG data: damaged data must be refused with EJpegError, never crash, hang or
// come back as a picture of another size than its header declares.

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "ui/jpeg_image.h"

namespace {

struct HeaderErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<HeaderErrors*>(info->err)->jump, 1);
}

// The picture size its header declares, or 0 by 0 when the header cannot be read.
QSize DeclaredSize(const std::uint8_t* data, std::size_t size) {
    jpeg_decompress_struct info{};
    HeaderErrors errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = &JumpBack;
    errors.base.emit_message = [](j_common_ptr, int) {};
    QSize declared(0, 0);
    if (setjmp(errors.jump) == 0) {
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
        jpeg_read_header(&info, TRUE);
        declared = QSize(int(info.image_width), int(info.image_height));
    }
    jpeg_destroy_decompress(&info);
    return declared;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Pictures far beyond any the program shows are left out, so that the fuzzer spends its time
    // on decoding, not on allocating.
    const QSize declared = DeclaredSize(data, size);
    if (std::int64_t(declared.width()) * declared.height() > 4'000'000) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const QImage image = kelmarin::DecodeJpeg(bytes);
        if (image.size() != declared || image.format() != QImage::Format_RGB888) {
            std::fprintf(stderr,
                         "MISMATCH: a decoded picture not of its declared size in RGB888\n");
            std::abort();
        }
    } catch (const kelmarin::EJpegError&) {
    }
    return 0;
}
