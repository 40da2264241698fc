// The page's terminal takes UTF-8 and sends UTF-8: no single-byte set.
#include "platform/charset.h"

namespace kelvrin {

std::optional<ByteCharset> ByteCharset::load(const char*) { return std::nullopt; }

std::optional<ByteCharset> localeCharset() { return std::nullopt; }

}  // namespace kelvrin
