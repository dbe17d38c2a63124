#include "core/preview/clip_properties.h"

#include "core/preview/frame_rate.h"
#include "core/preview/status_texts.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace cw {
namespace {

struct Meaning {
    int value;
    const char* text;
};

// The code points frames carry for colour (as video streams name them).
constexpr Meaning matrices[] = {{0, "RGB"},        {1, "BT.709"},      {2, "unspecified"}, {4, "FCC"},
                                {5, "BT.470BG"},   {6, "SMPTE 170M"},  {7, "SMPTE 240M"},  {8, "YCgCo"},
                                {9, "BT.2020 NCL"}, {10, "BT.2020 CL"}, {14, "ICtCp"}};
constexpr Meaning primaries[] = {{1, "BT.709"},     {2, "unspecified"}, {4, "BT.470M"},   {5, "BT.470BG"},
                                 {6, "SMPTE 170M"}, {7, "SMPTE 240M"},  {8, "film"},      {9, "BT.2020"},
                                 {10, "SMPTE 428"}, {11, "DCI-P3"},     {12, "Display P3"}};
constexpr Meaning transfers[] = {{1, "BT.709"},    {2, "unspecified"}, {4, "gamma 2.2"}, {5, "gamma 2.8"},
                                 {6, "SMPTE 170M"}, {7, "SMPTE 240M"}, {8, "linear"},    {13, "sRGB"},
                                 {14, "BT.2020 10-bit"}, {15, "BT.2020 12-bit"}, {16, "PQ"}, {18, "HLG"}};
constexpr Meaning ranges[] = {{0, "full"}, {1, "limited"}};
constexpr Meaning fields[] = {{0, "progressive"}, {1, "bottom field first"}, {2, "top field first"}};

struct Known {
    const char* key;
    const Meaning* first = nullptr;
    const Meaning* last = nullptr;
};

template <std::size_t N> Known known(const char* key, const Meaning (&meanings)[N])
{
    return {key, std::begin(meanings), std::end(meanings)};
}

const Known knownKeys[] = {known("_Matrix", matrices), known("_Primaries", primaries),
                           known("_Transfer", transfers), known("_ColorRange", ranges),
                           known("_FieldBased", fields), {"_SARNum"}, {"_SARDen"}, {"_PictType"}};

std::string withMeaning(const Known& k, const std::string& value)
{
    int number = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (ec != std::errc() || end != value.data() + value.size()) return value;
    for (const Meaning* m = k.first; m != k.last; ++m)
        if (m->value == number) return value + " (" + m->text + ")";
    return value;
}

} // namespace

std::vector<PropertyLine> clipFactLines(const ClipFacts& facts, std::string_view decimalSeparator)
{
    const FrameRate rate{facts.rateNumerator, facts.rateDenominator};
    std::vector<PropertyLine> lines = {
        {"Colour format", facts.format.empty() ? "unknown" : facts.format},
        {"Bit depth", facts.bitDepth == 32 ? "32 (float)" : std::to_string(facts.bitDepth)},
        {"Width", std::to_string(facts.width)},
        {"Height", std::to_string(facts.height)},
        {"Frame rate", std::to_string(rate.numerator) + "/" + std::to_string(rate.denominator) + " (" +
                           frameRateText(rate.value(), decimalSeparator) + " fps)"},
        {"Frames", std::to_string(facts.frameCount)},
        {"Duration", formatFrameTime(facts.frameCount, rate)},
    };
    if (facts.audioRate > 0)
        lines.push_back({"Audio", std::to_string(facts.audioRate) + " Hz, " + std::to_string(facts.audioChannels) +
                                      (facts.audioChannels == 1 ? " channel" : " channels")});
    return lines;
}

std::vector<PropertyLine> framePropertyLines(const std::vector<FrameProperty>& properties)
{
    std::vector<PropertyLine> lines;
    for (const Known& k : knownKeys)
        for (const FrameProperty& p : properties)
            if (p.key == k.key) lines.push_back({p.key, withMeaning(k, p.value)});
    for (const FrameProperty& p : properties) {
        const bool listed = std::any_of(std::begin(knownKeys), std::end(knownKeys),
                                        [&](const Known& k) { return p.key == k.key; });
        if (!listed) lines.push_back({p.key, p.value});
    }
    return lines;
}

} // namespace cw
