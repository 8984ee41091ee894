// What cutting a crafted stored text to one line costs the GUI thread, per call, offscreen. The texts:
// one letter and 50,000 combining marks (`marks`), 100,000 zero-width spaces (`zero_width`),
// 100,000 letters (`letters`), and those letters after a word and a U+009C (`separator`).
// - elide: look::elided to a line 300 pixels wide;
// - label_size_hint, check_box_size_hint: the widget's size hint, as a layout asks for it again;
// - label_new_text, check_box_new_text: the text set and the size hint asked for once;
// - label_resize, check_box_resize: the widget resized by a pixel and painted.

#include "Burrowlight/Widgets/Shell/ElidedCheckBox.h"
#include "Burrowlight/Widgets/Shell/ElidedLabel.h"
#include "Burrowlight/Widgets/Style/Look.h"

#include <QApplication>
#include <QImage>
#include <array>
#include <benchmark/benchmark.h>

using namespace burrowlight;

namespace {

enum class Text { marks, zeroWidth, letters, separator };

QString crafted(Text text) {
    switch (text) {
    case Text::marks:
        return QLatin1Char('a') + QString(50'000, QChar(0x0301));
    case Text::zeroWidth:
        return QString(100'000, QChar(0x200B));
    case Text::letters:
        return QString(100'000, QLatin1Char('w'));
    case Text::separator:
        return QStringLiteral("web") + QChar(0x9C) + QString(100'000, QLatin1Char('w'));
    }
    return {};
}

void elide(benchmark::State& state, Text text) {
    const QString stored = crafted(text);
    const QFontMetrics metrics(QApplication::font());
    if (!look::elided(metrics, stored, 300).endsWith(QChar(0x2026))) {
        state.SkipWithError("the text was not cut");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(look::elided(metrics, stored, 300));
    }
}

template <class Widget> void sizeHint(benchmark::State& state, Text text) {
    Widget widget;
    widget.setFullText(crafted(text));
    for (auto _ : state) {
        benchmark::DoNotOptimize(widget.sizeHint());
    }
}

// Another text each time, so that nothing measured before counts.
template <class Widget> void newText(benchmark::State& state, Text text) {
    const std::array texts{crafted(text), crafted(text) + QLatin1Char('w')};
    Widget widget;
    size_t next = 0;
    for (auto _ : state) {
        widget.setFullText(texts[next++ % texts.size()]);
        benchmark::DoNotOptimize(widget.sizeHint());
    }
}

template <class Widget> void resizeAndPaint(benchmark::State& state, Text text) {
    Widget widget;
    widget.setFullText(crafted(text));
    widget.resize(300, widget.sizeHint().height());
    widget.show();
    QImage image(widget.size() + QSize(1, 0), QImage::Format_ARGB32_Premultiplied);
    int width = 300;
    for (auto _ : state) {
        width = width == 300 ? 301 : 300;
        widget.resize(width, widget.height());
        widget.render(&image);
    }
}

void register_(const char* step, void (*run)(benchmark::State&, Text)) {
    for (const auto& [name, text] : {std::pair{"marks", Text::marks},
                                     {"zero_width", Text::zeroWidth},
                                     {"letters", Text::letters},
                                     {"separator", Text::separator}}) {
        benchmark::RegisterBenchmark((std::string(step) + "/" + name).c_str(), run, text)
            ->Unit(benchmark::kMillisecond);
    }
}

const bool registered = [] {
    register_("elide", elide);
    register_("label_size_hint", sizeHint<ElidedLabel>);
    register_("label_new_text", newText<ElidedLabel>);
    register_("label_resize", resizeAndPaint<ElidedLabel>);
    register_("check_box_size_hint", sizeHint<ElidedCheckBox>);
    register_("check_box_new_text", newText<ElidedCheckBox>);
    register_("check_box_resize", resizeAndPaint<ElidedCheckBox>);
    return true;
}();

} // namespace
