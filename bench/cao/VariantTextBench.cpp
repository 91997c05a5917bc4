// Conversions per second between variants and text, each direction, under en_US.
#include "cao/text/TextToVariant.h"
#include "cao/text/VariantToText.h"

#include <benchmark/benchmark.h>

#include <QLocale>
#include <QString>

#include <vector>

using namespace cao;

namespace {

const QLocale& locale() {
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english;
}

std::vector<Variant> sampleValues(VarType type) {
    std::vector<Variant> values;
    for (int i = 0; i < 64; ++i) {
        const double real = (i - 32) * 1234.56789 / (i + 1);
        switch (type) {
            case VT_R8:
                values.push_back(Variant::fromR8(i % 8 == 0 ? real * 1e20 : real));
                break;
            case VT_I4:
                values.push_back(Variant::fromI4(i * 33554393 - 1000000000));
                break;
            case VT_DATE:
                values.push_back(Variant::fromDate(36526.0 + i * 97.3125));
                break;
            default:
                values.push_back(Variant::fromString(QStringLiteral("value %1").arg(i)));
        }
    }
    return values;
}

void toText(benchmark::State& state, VarType type) {
    const std::vector<Variant> values = sampleValues(type);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(variantToText(values[i++ % values.size()], locale()));
    }
    state.SetItemsProcessed(state.iterations());
}

void fromText(benchmark::State& state, VarType type) {
    std::vector<QString> texts;
    for (const Variant& value : sampleValues(type)) texts.push_back(variantToText(value, locale()));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(textToVariant(texts[i++ % texts.size()], type, locale()));
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(toText, R8, VT_R8);
BENCHMARK_CAPTURE(fromText, R8, VT_R8);
BENCHMARK_CAPTURE(toText, I4, VT_I4);
BENCHMARK_CAPTURE(fromText, I4, VT_I4);
BENCHMARK_CAPTURE(toText, DATE, VT_DATE);
BENCHMARK_CAPTURE(fromText, DATE, VT_DATE);
BENCHMARK_CAPTURE(toText, BSTR, VT_BSTR);
BENCHMARK_CAPTURE(fromText, BSTR, VT_BSTR);

BENCHMARK_MAIN();
