#include "Burrowlight/Core/AboutCredits.h"

#include <QFile>
#include <QStringDecoder>
#include <optional>

namespace burrowlight {

namespace {

std::optional<QString> readUTF8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(file.readAll());
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

} // namespace

QString aboutCredits(const QString& noticesPath) {
    QString credits = AboutTexts::disclaimer();
    if (const auto notices = readUTF8(noticesPath)) {
        credits +=
            QStringLiteral("\n\n") + AboutTexts::noticesIntroduction() + QStringLiteral("\n\n") + *notices;
    }
    return credits;
}

QString AboutTexts::disclaimer() {
    return tr("Burrowlight is distributed in the hope that it will be useful, but without any warranty, "
              "within the limits of the law: the details are in the Terms of Use.");
}

QString AboutTexts::noticesIntroduction() {
    return tr("Burrowlight includes the following open source software.");
}

QString AboutTexts::version(const QString& version) {
    return tr("Version %1").arg(version);
}

} // namespace burrowlight
