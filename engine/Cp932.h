#pragma once

#include <string>
#include <string_view>

namespace segmora {

// UTF-8 to CP932. Characters that CP932 cannot hold become "?"; the count of
// such characters is stored in *unmapped when given.
std::string ToCp932(std::string_view utf8, int *unmapped = nullptr);

// CP932 to UTF-8. Bytes that are not valid CP932 are kept as they are, so a
// text that is already UTF-8 or plain ASCII mostly passes unchanged.
std::string FromCp932(std::string_view cp932);

} // namespace segmora
