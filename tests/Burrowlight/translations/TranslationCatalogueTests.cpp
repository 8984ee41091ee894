// The catalogues against the texts of the code, as lupdate reads them now: every source text has a
// finished Italian translation, every counted text (%n) its English singular and plural, and each
// keeps its placeholders.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

struct Message {
    QString context;
    QString source;
    bool finished = false;
    QStringList translations; // one per plural form
};

std::vector<Message> readCatalogue(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    std::vector<Message> messages;
    QString context;
    bool numerus = false;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            numerus = xml.attributes().value(QLatin1String("numerus")) == u"yes";
            messages.push_back({context, {}, false, {}});
        } else if (xml.name() == u"source") {
            messages.back().source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            messages.back().finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            if (!numerus) {
                messages.back().translations.push_back(xml.readElementText());
            }
        } else if (xml.name() == u"numerusform") {
            messages.back().translations.push_back(xml.readElementText());
        }
    }
    return messages;
}

// %1 … %99, %L1, %n and %Ln, each as often as it occurs.
QStringList placeholders(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("%L?(?:[1-9][0-9]?|n)"));
    QStringList found;
    for (const auto& match : pattern.globalMatch(text)) {
        found.push_back(match.captured());
    }
    found.sort();
    return found;
}

} // namespace

class TranslationCatalogueTests : public QObject {
    Q_OBJECT

    std::vector<Message> messages;

    // The catalogue as scripts/update-translations would leave it.
    static std::vector<Message> refreshed(const QString& name, const QStringList& options) {
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (!QFile::copy(QStringLiteral(CATALOGUES "/") + name, path)) {
            return {};
        }
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        lupdate.start(QStringLiteral(LUPDATE),
                      QStringList{QStringLiteral("-no-obsolete"), QStringLiteral("-locations"),
                                  QStringLiteral("none"), QStringLiteral("-extensions"),
                                  QStringLiteral("cpp,h"), QStringLiteral("-I"), QStringLiteral(SOURCE_ROOT),
                                  QStringLiteral(SOURCE_ROOT "/Burrowlight")} +
                          options + QStringList{QStringLiteral("-ts"), path});
        if (!lupdate.waitForFinished(120'000) || lupdate.exitCode() != 0) {
            return {};
        }
        auto messages = readCatalogue(path);
        for (auto& message : messages) {
            message.context.prepend(name + QStringLiteral(" "));
        }
        return messages;
    }

  private slots:
    void initTestCase() {
        messages = refreshed(QStringLiteral("burrowlight_it.ts"), {});
        QVERIFY2(messages.size() > 50, "lupdate found the texts of the code");
        const auto english = refreshed(QStringLiteral("burrowlight_en.ts"), {QStringLiteral("-pluralonly")});
        QVERIFY2(english.size() > 5, "lupdate found the counted texts");
        messages.insert(messages.end(), english.begin(), english.end());
    }

    void everySourceTextHasAFinishedTranslation() {
        QStringList missing;
        for (const auto& message : messages) {
            const bool empty = message.translations.isEmpty() ||
                               std::any_of(message.translations.begin(), message.translations.end(),
                                           [](const QString& text) { return text.isEmpty(); });
            if (!message.finished || empty) {
                missing.push_back(message.context + QStringLiteral(": ") + message.source);
            }
        }
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("run scripts/update-translations and translate:\n") +
                            missing.join('\n')));
    }

    void translationsKeepThePlaceholders() {
        QStringList broken;
        for (const auto& message : messages) {
            for (const auto& translation : message.translations) {
                if (!translation.isEmpty() && placeholders(translation) != placeholders(message.source)) {
                    broken.push_back(message.context + QStringLiteral(": ") + translation);
                }
            }
        }
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TranslationCatalogueTests)
#include "TranslationCatalogueTests.moc"
