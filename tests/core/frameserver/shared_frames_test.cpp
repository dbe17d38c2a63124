#include "core/frameserver/child_process.h"
#include "core/frameserver/shared_frames.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

namespace cw {
namespace {

TEST(SharedFrames, LayoutRefusesEmptyAndOversizedClips)
{
    FrameLayout layout;
    ASSERT_TRUE(frameLayout(1920, 1080, layout));
    EXPECT_EQ(layout.stride, 7680u);
    EXPECT_EQ(layout.frameBytes, 7680u * 1080);
    EXPECT_EQ(layout.slotBytes % static_cast<std::size_t>(sysconf(_SC_PAGESIZE)), 0u);
    EXPECT_GE(layout.slotBytes, layout.frameBytes);
    EXPECT_EQ(layout.offset(1), layout.slotBytes);
    EXPECT_TRUE(frameLayout(16384, 16384, layout));
    EXPECT_FALSE(frameLayout(16384, 16385, layout));
    // A frame whose byte count overflows 32 bits (AviSynth+ gives such a
    // clip a buffer of 262,144 bytes).
    EXPECT_FALSE(frameLayout(65536, 16385, layout));
    EXPECT_FALSE(frameLayout(2147483647, 2147483647, layout));
    EXPECT_FALSE(frameLayout(0, 10, layout));
    EXPECT_FALSE(frameLayout(10, -1, layout));
}

// The editor sees what the server writes, across growth, and keeps its
// mapping while the memory stays the same.
TEST(SharedFrames, TheViewFollowsTheServersMemory)
{
    SharedFrameMemory memory;
    std::string error;
    ASSERT_TRUE(memory.reserve(8192, error)) << error;
    memory.data()[5000] = 42;
    SharedFrameView view;
    ASSERT_TRUE(view.adopt(dup(memory.fd()), 8192, error)) << error;
    EXPECT_EQ(view.data()[5000], 42);
    const std::uint8_t* mapped = view.data();
    ASSERT_TRUE(view.adopt(dup(memory.fd()), 4096, error));
    EXPECT_EQ(view.data(), mapped) << "the same memory is not mapped twice";

    ASSERT_TRUE(memory.reserve(4096, error));
    EXPECT_EQ(memory.size(), 8192u) << "memory never shrinks";
    ASSERT_TRUE(memory.reserve(3 * 8192, error));
    memory.data()[20000] = 7;
    EXPECT_FALSE(view.adopt(dup(memory.fd()), 4 * 8192, error));
    EXPECT_NE(error.find("24576 bytes where 32768"), std::string::npos) << error;
    ASSERT_TRUE(view.adopt(dup(memory.fd()), 3 * 8192, error)) << error;
    EXPECT_EQ(view.data()[20000], 7);
    EXPECT_EQ(view.data()[5000], 42);
    EXPECT_EQ(ftruncate(memory.fd(), 100), -1) << "sealed against shrinking";
}

TEST(SharedFrames, MemoryThatCouldShrinkIsRefused)
{
    const int unsealed = memfd_create("test", MFD_CLOEXEC);
    ASSERT_EQ(ftruncate(unsealed, 8192), 0);
    SharedFrameView view;
    std::string error;
    EXPECT_FALSE(view.adopt(unsealed, 4096, error));
    EXPECT_NE(error.find("sealed"), std::string::npos);
    const int file = open("/dev/null", O_RDONLY | O_CLOEXEC);
    EXPECT_FALSE(view.adopt(file, 0, error));
    EXPECT_EQ(view.data(), nullptr);
    EXPECT_EQ(fcntl(file, F_GETFD), -1) << "the descriptor is closed whatever happens";
}

TEST(OutputTail, KeepsTheLastLinesWithinItsCapacity)
{
    const struct {
        std::string written;
        std::size_t capacity;
        int lines;
        const char* expected;
    } rows[] = {
        {"", 100, 5, ""},
        {"one\ntwo\nthree\n", 100, 2, "two\nthree"},
        {"one\ntwo\nthree", 100, 5, "one\ntwo\nthree"},
        {"one\r\ntwo\r\n\n\n", 100, 1, "two"},
        {"cut first line\nsecond\nthird\n", 16, 5, "second\nthird"},
        {"no line end at all, longer than the tail", 10, 3, ""},
        {"a\nb\n", 100, 0, ""},
    };
    for (const auto& row : rows) {
        OutputTail tail(row.capacity);
        for (char c : row.written) tail.append(&c, 1);
        EXPECT_EQ(tail.lastLines(row.lines), row.expected) << row.written;
    }
}

} // namespace
} // namespace cw
