// Reads arbitrary bytes as a settings file. Reading never fails, and what a
// save writes reads back as the same settings and saves again unchanged.
#include "Settings.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    segmora::SettingsFields fields;
    segmora::WindowPosition position;
    segmora::LoadSettingsText(text, fields, position);

    const std::string saved = segmora::SettingsText(text, fields, position);
    segmora::SettingsFields again;
    segmora::WindowPosition againPosition;
    segmora::LoadSettingsText(saved, again, againPosition);
    if (!(again == fields) || !(againPosition == position))
        std::abort();
    if (segmora::SettingsText(saved, again, againPosition) != saved)
        std::abort();
    return 0;
}
