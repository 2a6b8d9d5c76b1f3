// The picture decoder: the stored about picture against the lossless drawing it was made from,
// pictures made here with libjpeg's encoder, and damaged data refused with a message.
#include "ui/jpeg_image.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <QByteArray>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "resources/resource_paths.h"
#include "ui/exception_display.h"

namespace kelmarin {
namespace {

QByteArray StoredPicture() { return ResourceBytes(kAboutPicturePath); }

// Encodes a picture with libjpeg: colour (RGB888 input) or greyscale (one byte per pixel).
QByteArray Encode(const QImage& picture, bool grey, bool progressive) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(picture.width());
    info.image_height = JDIMENSION(picture.height());
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const QImage source =
        picture.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(source.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray data(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return data;
}

int ChannelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

TEST(JpegImage, StoredPictureIsA300SquareBaselineColourJpeg) {
    const QByteArray data = StoredPicture();
    ASSERT_FALSE(data.isEmpty());
    // Start of frame, baseline (0xFFC0): precision 8, height 300, width 300, 3 components.
    const qsizetype sof = data.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GE(sof, 0);
    const auto at = [&](qsizetype i) { return int(static_cast<unsigned char>(data[i])); };
    EXPECT_EQ(at(sof + 4), 8);
    EXPECT_EQ(at(sof + 5) * 256 + at(sof + 6), 300);
    EXPECT_EQ(at(sof + 7) * 256 + at(sof + 8), 300);
    EXPECT_EQ(at(sof + 9), 3);
    EXPECT_EQ(data.indexOf(QByteArray("\xFF\xC2", 2)), -1) << "progressive frame found";
}

TEST(JpegImage, StoredPictureDecodesCloseToItsDrawing) {
    const QImage decoded = DecodeJpeg(StoredPicture());
    ASSERT_EQ(decoded.size(), QSize(300, 300));
    EXPECT_EQ(decoded.format(), QImage::Format_RGB888);
    const QImage drawing(KELMARIN_RESOURCES_DIR "/about_picture_reference.png");
    ASSERT_EQ(drawing.size(), QSize(300, 300));
    long long total = 0;
    int worst = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 300; ++x) {
            const int d = ChannelDistance(decoded.pixel(x, y), drawing.pixel(x, y));
            total += d;
            worst = std::max(worst, d);
        }
    }
    EXPECT_LT(double(total) / (300 * 300), 4.0);
    EXPECT_LE(worst, 64);  // only at sharp coloured edges
}

TEST(JpegImage, StoredPictureShowsTheDrawnColoursInPlace) {
    const QImage decoded = DecodeJpeg(StoredPicture());
    struct Spot {
        int x, y;
        QRgb drawn;
    };
    const Spot spots[] = {
        {2, 2, qRgb(236, 244, 250)},      // background, top
        {297, 297, qRgb(196, 222, 240)},  // background, bottom
        {200, 35, qRgb(255, 160, 0)},     // a rung: guanine half
        {100, 35, qRgb(31, 119, 180)},    // the same rung: cytosine half
    };
    for (const Spot& s : spots) {
        EXPECT_LE(ChannelDistance(decoded.pixel(s.x, s.y), s.drawn), 8)
            << "at " << s.x << "," << s.y;
    }
}

TEST(JpegImage, DecodesColourGreyAndProgressivePictures) {
    QImage picture(24, 16, QImage::Format_RGB888);
    picture.fill(QColor(200, 40, 90));
    for (int y = 0; y < 16; ++y) {
        for (int x = 12; x < 24; ++x) picture.setPixelColor(x, y, QColor(20, 180, 60));
    }
    for (bool progressive : {false, true}) {
        const QImage colour = DecodeJpeg(Encode(picture, false, progressive));
        ASSERT_EQ(colour.size(), QSize(24, 16));
        EXPECT_LE(ChannelDistance(colour.pixel(2, 8), qRgb(200, 40, 90)), 6);
        EXPECT_LE(ChannelDistance(colour.pixel(21, 8), qRgb(20, 180, 60)), 6);
    }
    const QImage grey = DecodeJpeg(Encode(picture, true, false));
    ASSERT_EQ(grey.format(), QImage::Format_RGB888);
    const QRgb p = grey.pixel(2, 8);
    EXPECT_EQ(qRed(p), qGreen(p));
    EXPECT_EQ(qGreen(p), qBlue(p));
}

struct DamagedCase {
    const char* name;
    QByteArray data;
    const char* reason;  // part of libjpeg's message, empty when any reason will do
};

std::vector<DamagedCase> DamagedCases() {
    const QByteArray good = StoredPicture();
    QByteArray earlyEnd = good;
    earlyEnd.replace(good.size() / 2, 2, QByteArray("\xFF\xD9", 2));
    QByteArray unknownFrame = good;
    unknownFrame[good.indexOf(QByteArray("\xFF\xC0", 2)) + 1] = char(0xC5);
    return {
        {"empty", QByteArray(), "Empty input file"},
        {"text", QByteArray("not a picture at all"), "Not a JPEG file"},
        {"start marker only", good.left(2), ""},
        {"cut in the header", good.left(300), ""},
        {"cut in the picture data", good.left(good.size() / 2), "Premature end of JPEG file"},
        {"end marker in the picture data", earlyEnd, "Corrupt JPEG data"},
        {"unknown frame type", unknownFrame, "Unsupported JPEG process"},
    };
}

TEST(JpegImage, DamagedDataIsRefusedWithTheReason) {
    for (const DamagedCase& c : DamagedCases()) {
        SCOPED_TRACE(c.name);
        try {
            DecodeJpeg(c.data);
            ADD_FAILURE() << "decoded";
        } catch (const EJpegError& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("Cannot decode the picture: ", 0), 0u) << message;
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
            EXPECT_GT(message.size(), std::string("Cannot decode the picture: ").size());
        }
    }
}

TEST(JpegImage, FailureReachesTheExceptionDisplayAsItsMessage) {
    std::exception_ptr failure;
    try {
        DecodeJpeg(QByteArray("GIF89a"));
    } catch (...) {
        failure = std::current_exception();
    }
    ASSERT_TRUE(failure);
    EXPECT_FALSE(IsSilentFailure(failure));
    EXPECT_TRUE(FailureMessage(failure).startsWith("Cannot decode the picture: Not a JPEG file"))
        << FailureMessage(failure).toStdString();
}

}  // namespace
}  // namespace kelmarin
