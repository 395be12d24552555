#include "game/CSaveWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

std::mutex mymutex;

namespace {

bool fail(const std::string& path, const char* what)
{
    std::fprintf(stderr, "quendrax: save: %s %s: %s\n", what, path.c_str(), std::strerror(errno));
    return false;
}

bool writeAll(int fd, const unsigned char* bytes, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes += n;
        size -= size_t(n);
    }
    return true;
}

}  // namespace

CSaveWriter& CSaveWriter::Get()
{
    static CSaveWriter writer;
    return writer;
}

CSaveWriter::~CSaveWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        m_stop = true;   // a pending record is still written first
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CSaveWriter::Submit(const std::string& path, const Record& record)
{
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        m_path = path;
        m_record = record;
        m_pending = true;
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_one();
}

void CSaveWriter::WaitIdle()
{
    std::unique_lock<std::mutex> lock(m_queueLock);
    m_idle.wait(lock, [this] { return !m_pending && !m_writing; });
}

int CSaveWriter::WritesDone() const
{
    std::lock_guard<std::mutex> lock(m_queueLock);
    return m_writesDone;
}

void CSaveWriter::run()
{
    std::unique_lock<std::mutex> lock(m_queueLock);
    for (;;) {
        m_wake.wait(lock, [this] { return m_pending || m_stop; });
        if (!m_pending)
            return;   // stopping with nothing left to write
        const std::string path = m_path;
        const Record record = m_record;
        m_pending = false;
        m_writing = true;
        lock.unlock();
        {
            std::lock_guard<std::mutex> write(mymutex);
            WriteAtomically(path, record.data(), record.size());
        }
        lock.lock();
        m_writing = false;
        ++m_writesDone;
        if (!m_pending)
            m_idle.notify_all();
    }
}

bool CSaveWriter::WriteAtomically(const std::string& path, const unsigned char* bytes, size_t size)
{
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.parent_path();
    std::error_code ec;
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);   // an existing folder is fine

    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(temporary, "cannot create");
    if (!writeAll(fd, bytes, size) || ::fsync(fd) != 0) {
        const int saved = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        errno = saved;
        return fail(temporary, "cannot write");
    }
    if (::close(fd) != 0) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        return fail(temporary, "cannot close");
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        return fail(path, "cannot replace");
    }
    // The rename itself reaches the disk with the folder's entry.
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
