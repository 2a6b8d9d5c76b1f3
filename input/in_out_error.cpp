#include "input/in_out_error.h"

#include <cerrno>

namespace kelmarin {

EInOutError::EInOutError(int code) : std::runtime_error(InOutMessage(code)), code_(code) {}

EInOutError::EInOutError(int code, const std::string& message)
    : std::runtime_error(message), code_(code) {}

int EInOutError::ErrorCode() const {
    return code_ >= kIoOsErrorBase ? code_ - kIoOsErrorBase : code_;
}

std::string InOutMessage(int code) {
    if (code >= kIoOsErrorBase) return "I/O error " + std::to_string(code - kIoOsErrorBase);
    switch (code) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        case 100:
            return "Read beyond end of file";
        case 101:
            return "Disk full";
        case 106:
            return "Invalid numeric input";
        case kIoCorruptGzip:
            return "Corrupt gzip stream";
        case kIoTruncatedGzip:
            return "Truncated gzip stream";
        case kIoFileChanged:
            return "File changed while it was read";
        case kIoMalformedFastq:
            return "Malformed FASTQ file";
        case kIoSequenceTooLarge:
            return "Out of memory";
        default:
            return "I/O error " + std::to_string(code);
    }
}

int IoCodeFromErrno(int err) {
    switch (err) {
        case ENOENT:
            return kIoFileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
            return kIoInvalidName;
        case EMFILE:
        case ENFILE:
            return kIoTooManyFiles;
        case EACCES:
        case EPERM:
        case EISDIR:
            return kIoAccessDenied;
        default:
            return kIoOsErrorBase + err;
    }
}

void detail::RaisePendingIo() {
    const int code = inOutRes;
    inOutRes = 0;
    throw EInOutError(code);
}

}  // namespace kelmarin
