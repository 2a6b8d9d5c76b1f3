#include "ui/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kelmarin {

namespace {

std::string Encoded(const QString& name) { return QFile::encodeName(name).toStdString(); }

[[noreturn]] void ThrowErrno() { throw std::runtime_error(std::strerror(errno)); }

// Closes fd after a failure and raises that failure's reason.
[[noreturn]] void CloseAndThrow(int fd) {
    const int err = errno;
    ::close(fd);
    errno = err;
    ThrowErrno();
}

// A link is followed: the file it names is replaced, and the link stays.
std::string FileToReplace(const QString& path) {
    const QFileInfo info(path);
    return Encoded(info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath());
}

// The old file's permissions, or those a new file gets under the process's umask.
void TakePermissions(const std::string& temp, const std::string& target) {
    struct stat st {};
    mode_t mode;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::chmod(temp.c_str(), mode) != 0) ThrowErrno();
}

void WriteAll(const QString& temp, const QByteArray& bytes) {
    const int fd = ::open(Encoded(temp).c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) ThrowErrno();
    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, std::size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) CloseAndThrow(fd);
        at += n;
        left -= n;
    }
    // On disk before the rename, so that a crash cannot leave an empty file in its place.
    if (::fsync(fd) != 0) CloseAndThrow(fd);
    if (::close(fd) != 0) ThrowErrno();
}

}  // namespace

void ReplaceFile(const QString& path, const std::function<void(const QString& temp)>& write) {
    const std::string target = FileToReplace(path);
    const std::string::size_type slash = target.rfind('/');
    std::string ending(1, '-');
    ending.append(target, slash + 1);
    std::string temp(target, 0, slash + 1);
    temp.append(".XXXXXX").append(ending);
    const int fd = ::mkstemps(temp.data(), int(ending.size()));
    if (fd < 0) throw EFileWriteError(path, std::strerror(errno));
    ::close(fd);
    try {
        write(QFile::decodeName(temp.c_str()));
        TakePermissions(temp, target);
        if (::rename(temp.c_str(), target.c_str()) != 0) ThrowErrno();
    } catch (const std::exception& e) {
        ::unlink(temp.c_str());
        throw EFileWriteError(path, e.what());
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
}

void ReplaceFileContent(const QString& path, const QByteArray& bytes) {
    ReplaceFile(path, [&bytes](const QString& temp) { WriteAll(temp, bytes); });
}

}  // namespace kelmarin
