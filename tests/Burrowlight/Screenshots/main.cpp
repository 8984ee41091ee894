// Opens every registered window state in English and Italian, light and dark, offscreen, and
// writes each as <window>-<state>-<lang>-<light|dark>.png. With --list it only names the files;
// with --check it writes nothing and names what is wrong in each window's layout, in both
// languages, at its first and its smallest size, under every font set-up (one process each),
// failing when anything is. With --unnamed it writes no pictures: it opens every state in English
// and names each control that assistive technology would find without a name, failing when there
// is one. --setup NAME takes the pictures, or checks, under that font set-up only (the reference
// by default for the pictures).
//
//   burrowlight-screenshots [--list | --check | --unnamed] [--setup NAME] [OUTPUT_FOLDER]
//
// It runs on buses and in a home of its own: started elsewhere, it starts itself again inside
// with-private-buses.sh.
#include "Burrowlight/Core/AppIcons.h"
#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Widgets/Style/AppStyle.h"
#include "FontSetups.h"
#include "LayoutCheck.h"
#include "Screenshots.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QProcess>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <unistd.h>

using namespace screenshots;

namespace {

constexpr std::array languages{"en", "it"};
constexpr std::array appearances{"light", "dark"};

QPalette darkPalette() {
    QPalette palette;
    const QColor text(0xE6, 0xE6, 0xE6);
    const QColor disabled(0x7A, 0x7A, 0x7A);
    palette.setColor(QPalette::Window, QColor(0x2E, 0x2F, 0x30));
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, QColor(0x1F, 0x20, 0x21));
    palette.setColor(QPalette::AlternateBase, QColor(0x2A, 0x2B, 0x2C));
    palette.setColor(QPalette::ToolTipBase, QColor(0x3A, 0x3B, 0x3C));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x8A, 0x8A, 0x8A));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3A, 0x3B, 0x3C));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, QColor(0xFF, 0x6B, 0x6B));
    palette.setColor(QPalette::Light, QColor(0x4A, 0x4B, 0x4C));
    palette.setColor(QPalette::Midlight, QColor(0x42, 0x43, 0x44));
    palette.setColor(QPalette::Mid, QColor(0x26, 0x27, 0x28));
    palette.setColor(QPalette::Dark, QColor(0x1A, 0x1B, 0x1C));
    palette.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
    palette.setColor(QPalette::Link, QColor(0x7F, 0xB2, 0xF0));
    palette.setColor(QPalette::Highlight, QColor(0x3D, 0x6F, 0xB8));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, disabled);
    }
    return palette;
}

QString fileName(const Screen& screen, bool smallest, const char* language, const char* appearance) {
    return QStringLiteral("%1-%2%3-%4-%5.png")
        .arg(screen.window, screen.state, smallest ? QStringLiteral("-minimum") : QString(),
             QLatin1String(language), QLatin1String(appearance));
}

std::vector<bool> sizes(const Screen& screen) {
    return screen.resizable ? std::vector{false, true} : std::vector{false};
}

void settle() {
    for (int round = 0; round < 10; ++round) {
        QApplication::processEvents();
    }
}

void setAppearance(const char* appearance) {
    QApplication::setPalette(QLatin1String(appearance) == QLatin1String("dark")
                                 ? darkPalette()
                                 : QApplication::style()->standardPalette());
}

// Builds the screen in the language and appearance set, and hands it to `look` as it opens and,
// when it is resizable, again at its window's smallest size.
void visit(const Screen& screen, const std::function<void(QWidget& widget, bool smallest)>& look) {
    Stage stage;
    QWidget& widget = screen.build(stage);
    if (widget.isWindow() && !widget.isVisible()) {
        widget.show();
    }
    settle();
    for (const bool smallest : sizes(screen)) {
        if (smallest) {
            QWidget& window = *widget.window();
            const QSize minimum = window.minimumSize();
            window.resize(minimum.isEmpty() ? window.minimumSizeHint() : minimum);
            settle();
        }
        look(widget, smallest);
    }
}

bool photograph(const Screen& screen, const char* language, const QDir& output) {
    bool written = true;
    const burrowlight::AppTranslation translation(QString::fromLatin1(language));
    for (const char* appearance : appearances) {
        setAppearance(appearance);
        visit(screen, [&](QWidget& widget, bool smallest) {
            const QString path = output.filePath(fileName(screen, smallest, language, appearance));
            if (!widget.grab().save(path)) {
                std::fprintf(stderr, "could not write %s\n", qPrintable(path));
                written = false;
            }
        });
    }
    return written;
}

// The least size its window keeps to, as the screen opens.
QSize leastSize(const Screen& screen) {
    QSize least;
    visit(screen, [&](QWidget& widget, bool smallest) {
        if (!smallest) {
            least = widget.window()->minimumSize().expandedTo(widget.window()->minimumSizeHint());
        }
    });
    return least;
}

// A window with long words is no larger, at its smallest, than with short texts.
QStringList growthFaults(const Screen& screen) {
    if (!screen.withShortTexts) {
        return {};
    }
    Screen shortTexts = screen;
    shortTexts.build = screen.withShortTexts;
    const QSize withLongWords = leastSize(screen);
    const QSize withShortTexts = leastSize(shortTexts);
    if (withLongWords.width() <= withShortTexts.width() &&
        withLongWords.height() <= withShortTexts.height()) {
        return {};
    }
    return {
        QStringLiteral("its words longer than a line make its least size %1×%2 px, %3×%4 with short texts")
            .arg(withLongWords.width())
            .arg(withLongWords.height())
            .arg(withShortTexts.width())
            .arg(withShortTexts.height())};
}

// The layout faults of the screen in one language and appearance, each named after the picture it
// shows in.
QStringList check(const Screen& screen, const char* language, const char* appearance) {
    QStringList faults;
    const burrowlight::AppTranslation translation(QString::fromLatin1(language));
    setAppearance(appearance);
    visit(screen, [&](QWidget& widget, bool smallest) {
        const QString name = fileName(screen, smallest, language, appearance);
        QStringList found = layoutFaults(*widget.window());
        if (!smallest) {
            found << placementFaults(*widget.window());
        }
        for (const QString& fault : found) {
            faults << name + QStringLiteral(": ") + fault;
        }
    });
    for (const QString& fault : growthFaults(screen)) {
        faults << fileName(screen, false, language, appearance) + QStringLiteral(": ") + fault;
    }
    return faults;
}

// Each set-up in a process of its own, all at once: fonts are chosen when a process starts.
int checkEverySetup(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    std::vector<std::unique_ptr<QProcess>> runs;
    for (const auto& setup : fontSetups()) {
        auto& run = *runs.emplace_back(std::make_unique<QProcess>());
        run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        run.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--check"), QStringLiteral("--setup"), setup.name});
    }
    QTextStream out(stdout);
    bool clean = true;
    for (const auto& run : runs) {
        run->waitForFinished(-1);
        out << QString::fromUtf8(run->readAllStandardOutput());
        clean = clean && run->exitStatus() == QProcess::NormalExit && run->exitCode() == 0;
    }
    return clean ? EXIT_SUCCESS : EXIT_FAILURE;
}

// Started outside the tests' buses, it starts itself again inside them, never reaching the
// desktop's session bus or its keyring.
void runOnPrivateBuses(char** argv) {
    if (qEnvironmentVariableIsSet("BURROWLIGHT_PRIVATE_BUSES")) {
        return;
    }
    std::vector<char*> arguments{const_cast<char*>(PRIVATE_BUSES_SCRIPT)};
    std::string self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toStdString();
    arguments.push_back(self.data());
    for (char** at = argv + 1; *at; ++at) {
        arguments.push_back(*at);
    }
    arguments.push_back(nullptr);
    ::execv(PRIVATE_BUSES_SCRIPT, arguments.data());
    std::perror(PRIVATE_BUSES_SCRIPT);
    std::exit(EXIT_FAILURE);
}

QString setupNamed(int argc, char** argv) {
    for (int index = 1; index + 1 < argc; ++index) {
        if (std::string_view(argv[index]) == "--setup") {
            return QString::fromLocal8Bit(argv[index + 1]);
        }
    }
    return {};
}

bool asked(int argc, char** argv, std::string_view option) {
    return std::any_of(argv + 1, argv + argc, [&](const char* argument) { return argument == option; });
}

// What a user acts on, and whatever takes the keyboard. Hidden ones count too: assistive
// technology lists them, and they show up named or not.
bool isControl(QAccessibleInterface& item) {
    switch (item.role()) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Link:
    case QAccessible::PageTab:
    case QAccessible::List:
    case QAccessible::ListItem:
    case QAccessible::MenuItem:
        return true;
    case QAccessible::StaticText:
        return false; // read by what it says
    default:
        return item.state().focusable;
    }
}

QString describe(QAccessibleInterface& item) {
    QStringList path;
    for (QAccessibleInterface* at = &item; at; at = at->parent()) {
        if (const QObject* object = at->object()) {
            path.prepend(
                QString::fromLatin1(object->metaObject()->className()) +
                (object->objectName().isEmpty() ? QString() : QLatin1Char('#') + object->objectName()));
        }
    }
    return QStringLiteral("role %1 at %2").arg(item.role()).arg(path.join(QStringLiteral(" > ")));
}

void findUnnamed(QAccessibleInterface& item, QStringList& found) {
    if (isControl(item) && item.text(QAccessible::Name).trimmed().isEmpty()) {
        found << describe(item);
    }
    for (int index = 0; index < item.childCount(); ++index) {
        if (QAccessibleInterface* child = item.child(index)) {
            findUnnamed(*child, found);
        }
    }
}

// Every window the screen opened, its menus and alerts too.
QStringList unnamedControls(const Screen& screen) {
    QStringList found;
    visit(screen, [&](QWidget& /*widget*/, bool smallest) {
        if (smallest) {
            return;
        }
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible()) {
                findUnnamed(*QAccessible::queryAccessibleInterface(window), found);
            }
        }
    });
    return found;
}

} // namespace

int main(int argc, char** argv) {
    runOnPrivateBuses(argv);
    const QString setupName = setupNamed(argc, argv);
    if (setupName.isEmpty() && asked(argc, argv, "--check")) {
        return checkEverySetup(argc, argv);
    }
    const FontSetup* setup = fontSetup(setupName.isEmpty() ? QStringLiteral("reference") : setupName);
    if (!setup) {
        std::fprintf(stderr, "no font set-up is called %s\n", qPrintable(setupName));
        return EXIT_FAILURE;
    }
    // Nothing of the user's: a home of its own, and no display needed.
    QTemporaryDir home;
    for (const char* name :
         {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
        qputenv(name, home.path().toLocal8Bit());
    }
    QTemporaryDir fonts;
    if (!prepareFontSetup(*setup, fonts.path())) {
        return EXIT_FAILURE;
    }
    QApplication application(argc, argv);
    applyFontSetup(*setup);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    burrowlight::installAppStyle();
    QApplication::setWindowIcon(burrowlight::appIcon());
    // The pictures show the icons of a GNOME desktop where this machine has its theme; offscreen,
    // Qt looks for no icon theme of the desktop's.
    if (QIcon::themeName().isEmpty()) {
        QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() +
                                   QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                             QStringLiteral("icons"),
                                                             QStandardPaths::LocateDirectory));
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    }
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList arguments = QApplication::arguments().mid(1);
    const bool listOnly = arguments.removeAll(QStringLiteral("--list")) > 0;
    const bool checkOnly = arguments.removeAll(QStringLiteral("--check")) > 0;
    const bool unnamedOnly = arguments.removeAll(QStringLiteral("--unnamed")) > 0;
    if (const auto at = arguments.indexOf(QStringLiteral("--setup")); at >= 0) {
        arguments.remove(at, std::min<qsizetype>(2, arguments.size() - at));
    }
    const QDir output(arguments.value(0, QStringLiteral("build/screenshots")));
    const auto screens = registeredScreens();

    QTextStream out(stdout);
    if (listOnly) {
        for (const auto& screen : screens) {
            for (const bool smallest : sizes(screen)) {
                for (const char* language : languages) {
                    for (const char* appearance : appearances) {
                        out << fileName(screen, smallest, language, appearance) << '\n';
                    }
                }
            }
        }
        return EXIT_SUCCESS;
    }
    if (unnamedOnly) {
        const burrowlight::AppTranslation english(QStringLiteral("en"));
        bool named = true;
        for (const auto& screen : screens) {
            for (const QString& control : unnamedControls(screen)) {
                out << screen.window << '-' << screen.state << ": " << control << '\n';
                named = false;
            }
        }
        return named ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    if (checkOnly) {
        QStringList faults;
        for (const auto& screen : screens) {
            for (const char* language : languages) {
                faults << check(screen, language, "light");
                if (setup->darkToo) {
                    faults << check(screen, language, "dark");
                }
            }
        }
        for (const QString& fault : faults) {
            out << setup->name << ": " << fault << '\n';
        }
        return faults.isEmpty() ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    if (!QDir().mkpath(output.path())) {
        std::fprintf(stderr, "could not make %s\n", qPrintable(output.path()));
        return EXIT_FAILURE;
    }
    bool written = true;
    for (const auto& screen : screens) {
        for (const char* language : languages) {
            written = photograph(screen, language, output) && written;
        }
    }
    size_t pictures = 0;
    for (const auto& screen : screens) {
        pictures += sizes(screen).size() * languages.size() * appearances.size();
    }
    out << pictures << " pictures in " << QDir(output).absolutePath() << '\n';
    return written ? EXIT_SUCCESS : EXIT_FAILURE;
}
