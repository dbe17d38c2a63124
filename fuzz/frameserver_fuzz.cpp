// Bytes as they might come from a frame server: decoded whole and in small
// pieces; whatever decodes must encode back to exactly the bytes it came from.
//   ./frameserver_fuzz -max_len=4096 corpus/frameserver
#include "core/frameserver/protocol.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace cw::fsp;
    const Decoded whole = decode(data, size);
    if (whole.status == DecodeStatus::complete) {
        const std::vector<std::uint8_t> again = encode(whole.message);
        if (again.size() != whole.consumed || std::memcmp(again.data(), data, again.size()) != 0) std::abort();
    }
    MessageReader reader;
    for (std::size_t at = 0; at < size; at += 7) {
        reader.append(data + at, std::min<std::size_t>(7, size - at));
        while (reader.next().status == DecodeStatus::complete) {
        }
    }
    return 0;
}
