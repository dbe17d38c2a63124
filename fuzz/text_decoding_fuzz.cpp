// Text decoding: whatever the bytes, the text decodes to valid UTF-8 and
// encodes back to the very same bytes in the encoding that was detected.
//   ./text_decoding_fuzz corpus/text_decoding
#include "core/base/text_encoding.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const cw::DecodedText decoded = cw::decodeText(bytes);
    if (!cw::isValidUtf8(decoded.utf8)) std::abort();
    if ((decoded.encoding == cw::TextEncoding::Utf8) != cw::isValidUtf8(bytes)) std::abort();
    if (decoded.lineEnd != "\r\n" && decoded.lineEnd != "\n") std::abort();

    cw::TextEncoding encoding = decoded.encoding;
    if (cw::encodeText(decoded.utf8, encoding) != bytes || encoding != decoded.encoding) std::abort();

    // UTF-8 text asked to become Windows-1252 either fits and reads back
    // (unless its bytes happen to be valid UTF-8 as well), or stays UTF-8.
    if (decoded.encoding == cw::TextEncoding::Utf8) {
        cw::TextEncoding narrow = cw::TextEncoding::Windows1252;
        const std::string encoded = cw::encodeText(decoded.utf8, narrow);
        if (narrow == cw::TextEncoding::Utf8) {
            if (encoded != decoded.utf8) std::abort();
        } else if (!cw::isValidUtf8(encoded) && cw::decodeText(encoded).utf8 != decoded.utf8) {
            std::abort();
        }
    }
    return 0;
}
