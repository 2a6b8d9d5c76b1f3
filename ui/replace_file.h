#pragma once
// Writing a file the user asked for so that a failure leaves no half file: the new content
// goes to a temporary name beside it, which is renamed over the old file only once whole.
// Only ui/ writes files, and only when the user asks.

#include <QByteArray>
#include <QString>
#include <functional>
#include <stdexcept>
#include <string>

namespace kelmarin {

// A file could not be written: the message names it and says why.
class EFileWriteError : public std::runtime_error {
  public:
    EFileWriteError(const QString& file, const std::string& reason)
        : std::runtime_error("Cannot save " + file.toStdString() + ": " + reason) {}
};

// Calls write with a new, empty temporary file beside path whose name ends as path's does
// (the same ending, for writers that choose the format by it), then renames it to path with
// the old file's permissions (or the usual ones for a new file). A failure, also one that
// write raises as a std::exception, removes the temporary file, leaves path as it was and
// raises EFileWriteError with the reason.
void ReplaceFile(const QString& path, const std::function<void(const QString& temp)>& write);

// ReplaceFile with these bytes as the content.
void ReplaceFileContent(const QString& path, const QByteArray& bytes);

}  // namespace kelmarin
