#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace cw {

// Frames of a clip travel through memory shared by the frame server and the
// editor: two slots, so the editor can keep showing one frame while the next
// is written into the other. A slot holds top-down rows of 32-bit RGB pixels
// (bytes B, G, R and one the picture ignores), width * 4 bytes apart.
struct FrameLayout {
    std::size_t stride = 0;
    std::size_t frameBytes = 0;
    std::size_t slotBytes = 0; // frameBytes rounded up to whole pages

    std::size_t totalBytes() const { return 2 * slotBytes; }
    std::size_t offset(int slot) const { return static_cast<std::size_t>(slot) * slotBytes; }
};

// 16384 x 16384 pixels; a frame over this is refused rather than shown.
inline constexpr std::size_t maxFrameBytes = std::size_t(1) << 30;

// false when the clip is empty or its frame is over maxFrameBytes.
bool frameLayout(int width, int height, FrameLayout& layout);

// The frame server's side: an anonymous memory file that only grows, sealed
// against shrinking so that no mapping of it can ever lose pages.
class SharedFrameMemory {
public:
    SharedFrameMemory() = default;
    ~SharedFrameMemory();
    SharedFrameMemory(const SharedFrameMemory&) = delete;
    SharedFrameMemory& operator=(const SharedFrameMemory&) = delete;

    // At least bytes, keeping what is there when it is large enough.
    bool reserve(std::size_t bytes, std::string& error);
    std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};

// The editor's side: the frame server's memory mapped read-only.
class SharedFrameView {
public:
    SharedFrameView() = default;
    ~SharedFrameView() { reset(); }
    SharedFrameView(const SharedFrameView&) = delete;
    SharedFrameView& operator=(const SharedFrameView&) = delete;

    // Takes fd and closes it whatever happens. Refuses memory that could
    // shrink under the mapping or that is smaller than needed. Memory that
    // is already mapped (the same file at the same size) is kept as it is.
    bool adopt(int fd, std::size_t needed, std::string& error);
    void reset();
    const std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

} // namespace cw
