#include "core/editor/source_call.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(SourceCall, MediaFilesBecomeCallsWithTheirPathQuoted)
{
    const struct {
        const char* path;
        bool media;
        const char* call;
    } rows[] = {
        {"/videos/a b.mkv", true, "FFVideoSource(\"/videos/a b.mkv\")"},
        {"/videos/CLIP.MP4", true, "FFVideoSource(\"/videos/CLIP.MP4\")"},
        {"/videos/say \"hi\".mov", true, "FFVideoSource(\"\"\"/videos/say \"hi\".mov\"\"\")"},
        {"/videos/x\"\"\"y.ts", true, ""},
        {"/scripts/a.avs", false, nullptr},
        {"/videos.mkv/readme", false, nullptr},
        {"/videos/noextension", false, nullptr},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(isMediaFile(row.path), row.media) << row.path;
        if (row.call) {
            EXPECT_EQ(sourceCallText("FFVideoSource", row.path), row.call) << row.path;
        }
    }
    EXPECT_EQ(sourceCallText("LWLibavVideoSource", "/v/a.mkv"), "LWLibavVideoSource(\"/v/a.mkv\")");
}

} // namespace
} // namespace cw
