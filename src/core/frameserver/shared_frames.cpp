#include "core/frameserver/shared_frames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw {
namespace {

std::size_t pageSize()
{
    static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

std::string errnoText(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

} // namespace

bool frameLayout(int width, int height, FrameLayout& layout)
{
    if (width <= 0 || height <= 0) return false;
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    const std::size_t bytes = stride * static_cast<std::size_t>(height); // at most 2^33 * 2^31
    if (bytes > maxFrameBytes) return false;
    layout.stride = stride;
    layout.frameBytes = bytes;
    layout.slotBytes = (bytes + pageSize() - 1) / pageSize() * pageSize();
    return true;
}

SharedFrameMemory::~SharedFrameMemory()
{
    if (m_data) munmap(m_data, m_size);
    if (m_fd >= 0) close(m_fd);
}

bool SharedFrameMemory::reserve(std::size_t bytes, std::string& error)
{
    if (bytes <= m_size) return true;
    if (m_fd < 0) {
        m_fd = memfd_create("clipwright-frames", MFD_CLOEXEC | MFD_ALLOW_SEALING);
        if (m_fd < 0 || fcntl(m_fd, F_ADD_SEALS, F_SEAL_SHRINK) != 0) {
            error = errnoText("memfd");
            if (m_fd >= 0) close(m_fd);
            m_fd = -1;
            return false;
        }
    }
    if (ftruncate(m_fd, static_cast<off_t>(bytes)) != 0) {
        error = errnoText("ftruncate");
        return false;
    }
    void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
    if (mapped == MAP_FAILED) {
        error = errnoText("mmap");
        return false;
    }
    if (m_data) munmap(m_data, m_size);
    m_data = static_cast<std::uint8_t*>(mapped);
    m_size = bytes;
    return true;
}

void SharedFrameView::reset()
{
    if (m_data) munmap(const_cast<std::uint8_t*>(m_data), m_size);
    m_data = nullptr;
    m_size = 0;
    m_device = 0;
    m_inode = 0;
}

bool SharedFrameView::adopt(int fd, std::size_t needed, std::string& error)
{
    struct stat st{};
    const bool described = fstat(fd, &st) == 0;
    const int seals = fcntl(fd, F_GET_SEALS);
    if (!described || seals < 0 || !(seals & F_SEAL_SHRINK)) {
        close(fd);
        error = "the picture memory is not sealed against shrinking";
        return false;
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size < needed) {
        close(fd);
        error = "the picture memory holds " + std::to_string(size) + " bytes where " +
                std::to_string(needed) + " are needed";
        return false;
    }
    if (m_data && st.st_dev == m_device && st.st_ino == m_inode && size == m_size) {
        close(fd);
        return true;
    }
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    if (mapped == MAP_FAILED) {
        error = errnoText("mmap");
        return false;
    }
    reset();
    m_data = static_cast<const std::uint8_t*>(mapped);
    m_size = size;
    m_device = st.st_dev;
    m_inode = st.st_ino;
    return true;
}

} // namespace cw
