#pragma once

#include <QFont>
#include <QString>
#include <string>
#include <string_view>

namespace segmora {

// CP932 bytes (log lines, file contents) to text for display, and back.
QString FromCp932Bytes(std::string_view cp932);
std::string ToCp932Bytes(const QString &text, int *unmapped = nullptr);

// Native path bytes (UTF-8) to and from QString.
QString FromNative(const std::string &path);
std::string ToNative(const QString &path);

// The fixed-pitch and the proportional Gothic face, falling back to IPA
// Gothic and then to the system's own monospace or sans face.
QFont GothicFixedFont(int pixelSize);
QFont GothicProportionalFont(int pixelSize);

} // namespace segmora
