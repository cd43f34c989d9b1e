#include "UiText.h"

#include "Cp932.h"
#include "UiTexts.h"

#include <QStringList>

namespace segmora {

QString FromCp932Bytes(std::string_view cp932) {
    const std::string utf8 = FromCp932(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp932Bytes(const QString &text, int *unmapped) {
    const QByteArray utf8 = text.toUtf8();
    return ToCp932(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), unmapped);
}

QString FromNative(const std::string &path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

std::string ToNative(const QString &path) {
    return path.toUtf8().toStdString();
}

namespace {

QFont Gothic(const char *first, const char *ipa, const char *generic, int pixelSize,
             QFont::StyleHint hint) {
    QFont font;
    font.setFamilies(
        {QString::fromUtf8(first), QString::fromUtf8(ipa), QString::fromUtf8(generic)});
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

QFont GothicFixedFont(int pixelSize) {
    return Gothic(uitexts::GothicFixed, "IPAGothic", "monospace", pixelSize, QFont::Monospace);
}

QFont GothicProportionalFont(int pixelSize) {
    return Gothic(uitexts::GothicProportional, "IPAPGothic", "sans-serif", pixelSize,
                  QFont::SansSerif);
}

} // namespace segmora
