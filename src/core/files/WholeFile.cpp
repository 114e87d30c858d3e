#include "WholeFile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd = -1;
};
} // namespace

bool readWholeFile(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &reason)
{
    Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        reason = systemReason(errno);
        return false;
    }
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0) {
        reason = systemReason(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = QStringLiteral("Das ist keine gewöhnliche Datei.");
        return false;
    }
    if (info.st_size > maxBytes) {
        reason = QStringLiteral("Die Datei ist größer als %1 MB.").arg(maxBytes / (1024 * 1024));
        return false;
    }
    QByteArray data;
    data.resize(qsizetype(info.st_size));
    qsizetype done = 0;
    for (;;) {
        if (done == data.size()) {
            // The file may have grown since fstat; one byte more tells.
            if (data.size() >= maxBytes)
                break;
            data.resize(qMin<qint64>(maxBytes, data.size() + 64 * 1024));
        }
        const ssize_t n = ::read(fd.get(), data.data() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            reason = systemReason(errno);
            return false;
        }
        if (n == 0)
            break;
        done += n;
    }
    data.truncate(done);
    bytes = std::move(data);
    return true;
}

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString &reason)
{
    QSaveFile file(path);
    // Unbuffered, so a failing write reports itself here and not in a flush whose error the
    // commit would not see.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
        return false;
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            reason = file.errorString();
            file.cancelWriting();
            return false;
        }
        done += n;
    }
    // A file system may allocate blocks only now, and only this tells of a full disk then.
    if (::fsync(file.handle()) != 0 && errno != EINVAL) {
        reason = systemReason(errno);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        reason = file.errorString();
        return false;
    }
    return true;
}
