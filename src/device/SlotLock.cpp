#include "device/SlotLock.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

SlotLock::SlotLock(SlotLock &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
    , m_slot(std::exchange(other.m_slot, NoSlot))
{
}

SlotLock &SlotLock::operator=(SlotLock &&other) noexcept
{
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
        m_slot = std::exchange(other.m_slot, NoSlot);
    }
    return *this;
}

SlotLock::~SlotLock()
{
    release();
}

QString SlotLock::directory()
{
    const QString chosen = qEnvironmentVariable("G740_LOCK_DIR");
    if (!chosen.isEmpty())
        return chosen;
    const QFileInfo runLock(QStringLiteral("/run/lock"));
    if (runLock.isDir() && runLock.isWritable())
        return runLock.filePath();
    return QDir::tempPath();
}

QByteArray SlotLock::path(std::uint16_t slot)
{
    return QFile::encodeName(directory() + QStringLiteral("/g740demo-slot-%1.lock").arg(slot));
}

namespace {

// Open-file-description locks: held per open file like flock, and testable
// without taking them, so that a look never keeps another copy from its lock.
struct flock wholeFile(short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

} // namespace

bool SlotLock::heldElsewhere(std::uint16_t slot)
{
    const int fd = ::open(path(slot).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock lock = wholeFile(F_WRLCK);
    const bool held = ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

bool SlotLock::take(std::uint16_t slot)
{
    release();
    QDir().mkpath(directory());
    const int fd = ::open(path(slot).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        m_slot = slot;
        return true;
    }
    // Writable by all, so that a copy run by another user can lock it too.
    ::fchmod(fd, 0666);
    struct flock lock = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_slot = slot;
    return true;
}

void SlotLock::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_slot = NoSlot;
}
