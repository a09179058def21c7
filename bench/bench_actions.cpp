// Micro-benchmarks of the four actions as clicks on the core's form state,
// of the leading-number reading, of the explanation of the longest period
// (1/9967) and its plain text, and of a whole click on the real window (core
// action plus the fields it rewrites) on the offscreen platform.
#include <QApplication>
#include <QLibraryInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTranslator>
#include <benchmark/benchmark.h>

#include "actions.h"
#include "explain.h"
#include "explain_view.h"
#include "writer.h"
#include "number_text.h"
#include "zelvane_form.h"

using namespace zelvane;

namespace {

FormState Typed(const char32_t* numerator, const char32_t* denominator) {
    FormState form;
    OnFormLoad(form);
    form.SetText2(kNumerator, numerator);
    form.SetText2(kDenominator, denominator);
    return form;
}

void CalculateClick(benchmark::State& state, const char32_t* numerator, const char32_t* denominator) {
    FormState form = Typed(numerator, denominator);
    for (auto _ : state) {
        OnCommandClick(form, kCalculateButton);  // rewrites every result field each time
        benchmark::DoNotOptimize(form);
    }
}
BENCHMARK_CAPTURE(CalculateClick, 7_over_13, U"7", U"13");
BENCHMARK_CAPTURE(CalculateClick, 1_over_17_no_group, U"1", U"17");
BENCHMARK_CAPTURE(CalculateClick, 5_over_3_5_fractional, U"5", U"3.5");
BENCHMARK_CAPTURE(CalculateClick, minus7_over_3_abandoned, U"-7", U"3");

void AddPartsClick(benchmark::State& state) {
    FormState form = Typed(U"7", U"13");
    OnCommandClick(form, kCalculateButton);
    form.SetText2(kLeftGroup, U"1.5");
    form.SetText2(kRightGroup, U"2.5");
    for (auto _ : state) {
        OnCommandClick(form, kAddPartsButton);
        benchmark::DoNotOptimize(form);
    }
}
BENCHMARK(AddPartsClick);

void ClearClickAfterCalculation(benchmark::State& state) {
    FormState calculated = Typed(U"7", U"13");
    OnCommandClick(calculated, kCalculateButton);
    for (auto _ : state) {
        FormState form = calculated;  // the copy is part of the figure
        OnCommandClick(form, kClearButton);
        benchmark::DoNotOptimize(form);
    }
}
BENCHMARK(ClearClickAfterCalculation);

void FindNineGroupsOnly(benchmark::State& state) {
    FormState form;
    form.SetText2(kExpansion, U"0.00588235294117647");  // no row matches: all six checks run
    for (auto _ : state) {
        FindNineGroups(form);
        benchmark::DoNotOptimize(form);
    }
}
BENCHMARK(FindNineGroupsOnly);

void ParseLeadingNumberText(benchmark::State& state, const char32_t* text) {
    const std::u32string input(text);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseLeadingNumber(input));
    }
}
BENCHMARK_CAPTURE(ParseLeadingNumberText, digits, U"7");
BENCHMARK_CAPTURE(ParseLeadingNumberText, blanks, U" 1 3 ");
BENCHMARK_CAPTURE(ParseLeadingNumberText, exponent, U"1.5E+20");
BENCHMARK_CAPTURE(ParseLeadingNumberText, hex, U"&H1F");
BENCHMARK_CAPTURE(ParseLeadingNumberText, long_expansion, U"0.027132336476386110137176222282357451566");

// The explanation with the most steps a window can ask for: 1/9967, a period
// of 9966 digits, 9967 steps, the halves and thirds summed digit by digit.
void ExplainLongestPeriod(benchmark::State& state) {
    FormState form = Typed(U"1", U"9967");
    OnCommandClick(form, kCalculateButton);
    for (auto _ : state) {
        explain::Document document = explain::Explain(form);
        benchmark::DoNotOptimize(document);
    }
}
BENCHMARK(ExplainLongestPeriod)->Unit(benchmark::kMicrosecond);

void ExplainLongestPeriodPlainText(benchmark::State& state) {
    FormState form = Typed(U"1", U"9967");
    OnCommandClick(form, kCalculateButton);
    const explain::Document document = explain::Explain(form);
    for (auto _ : state) {
        std::string text = explain::PlainText(document);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(ExplainLongestPeriodPlainText)->Unit(benchmark::kMicrosecond);

// The wheel of 1/9967 alone: 9 966 places on the ring, their labels where
// they fit, the chords and the hub.
void WheelOfLongestPeriod(benchmark::State& state) {
    const explain::detail::Analysis analysis = explain::detail::Analyze(CalculatedFraction{U"1", U"9967"});
    for (auto _ : state) {
        explain::Figure figure = explain::detail::Wheel(analysis, analysis.steps, false);
        benchmark::DoNotOptimize(figure);
    }
}
BENCHMARK(WheelOfLongestPeriod)->Unit(benchmark::kMicrosecond);

// The explain view of 1/9967 repainting its wheel after a step is selected
// (a step further each time), and after a resize of the view.
void ExplainViewSelectAndRepaint(benchmark::State& state) {
    ExplainView view;
    const explain::Document document = explain::Explain(CalculatedFraction{U"1", U"9967"});
    view.Show(document);
    view.show();
    QCoreApplication::processEvents();
    std::size_t step = 0;
    for (auto _ : state) {
        view.SelectStep(step++ % document.steps.size());
        view.Figure()->repaint();
        view.Notation()->repaint();
    }
}
BENCHMARK(ExplainViewSelectAndRepaint)->Unit(benchmark::kMillisecond);

void ExplainViewResize(benchmark::State& state) {
    ExplainView view;
    view.Show(explain::Explain(CalculatedFraction{U"1", U"9967"}));
    view.show();
    QCoreApplication::processEvents();
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        view.resize(wide ? 1000 : 960, 640);
        view.repaint();
    }
}
BENCHMARK(ExplainViewResize)->Unit(benchmark::kMillisecond);

// F1's work for 1/9967 up to the view's first frame, in one process: the
// document, the view filled with it, and its first paint.
void ExplainViewOpen(benchmark::State& state) {
    FormState form = Typed(U"1", U"9967");
    OnCommandClick(form, kCalculateButton);
    for (auto _ : state) {
        ExplainView view;
        view.Show(explain::Explain(form));
        view.show();
        view.repaint();
    }
}
BENCHMARK(ExplainViewOpen)->Unit(benchmark::kMillisecond);

void WindowCalculateClick(benchmark::State& state) {
    Zelvane window(QStringLiteral("bench"));
    window.Text2(kDenominator)->setText(QStringLiteral("13"));
    bool seven = false;
    for (auto _ : state) {
        // Alternate the numerator so that every click changes the fields.
        seven = !seven;
        window.Text2(kNumerator)->setText(seven ? QStringLiteral("7") : QStringLiteral("1"));
        window.ClickCommand(kCalculateButton);
    }
}
BENCHMARK(WindowCalculateClick);

// What start-up pays for Qt's texts in Bulgarian: reading the translation
// file and installing it (and removing it again, so that runs do not pile
// up translators).
void LoadQtTranslation(benchmark::State& state) {
    for (auto _ : state) {
        QTranslator translator;
        const bool loaded =
            translator.load(QStringLiteral("qtbase_bg"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        QCoreApplication::installTranslator(&translator);
        QCoreApplication::removeTranslator(&translator);
        benchmark::DoNotOptimize(loaded);
    }
}
BENCHMARK(LoadQtTranslation)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
