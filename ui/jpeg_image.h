#pragma once
// Decodes JPEG data with libjpeg into 24-bit colour. Damaged data is refused with EJpegError
// rather than shown half-decoded; nothing is ever printed, and libjpeg never ends the program.
// It does not read files and does not go through Qt's image plugins.

#include <QByteArray>
#include <QImage>
#include <stdexcept>

namespace kelmarin {

// A picture that cannot be decoded; the message says why, in libjpeg's words.
class EJpegError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The whole picture at full size, Format_RGB888. Greyscale pictures come out as grey colour.
QImage DecodeJpeg(const QByteArray& data);

}  // namespace kelmarin
