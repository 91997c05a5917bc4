// Arbitrary text through every conversion under an English and a German locale: each call must
// give a value of the requested type or one of the two conversion errors, never anything else.
#include "cao/Error.h"
#include "cao/text/ChangeType.h"
#include "cao/text/TextToVariant.h"
#include "cao/text/VariantToText.h"

#include <QLocale>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace cao;

namespace {

const VarType kTypes[] = {VT_BOOL, VT_UI1,  VT_I2,    VT_I4,   VT_R4, VT_R8,
                          VT_DATE, VT_BSTR, VT_EMPTY, VT_NULL, VT_CY, VT_ERROR};

template <typename Call>
void expectValueOrConversionError(Call call) {
    try {
        call();
    } catch (const Error& e) {
        if (e.description() != QLatin1String("Type mismatch") &&
            e.description() != QLatin1String("Overflow")) {
            std::abort();
        }
    }
}

void convertToEveryType(const Variant& value, const QLocale& locale) {
    expectValueOrConversionError([&] { variantToText(value, locale); });
    for (VarType type : kTypes) {
        expectValueOrConversionError([&] {
            if (changeType(value, type, locale).type() != type) std::abort();
        });
    }
}

// A value read from text must have a text form that reads back: to the same value, or for a
// double to one with the same 15-digit text. Seven digits do not always pin down a single, so
// for VT_R4 only the reading is checked.
void expectTextReadsBack(const Variant& value, VarType type, const QLocale& locale) {
    const QString text = variantToText(value, locale);  // an error here escapes: a finding
    const Variant back = textToVariant(text, type, locale);
    if (type == VT_R8) {
        if (variantToText(back, locale) != text) std::abort();
    } else if (type != VT_R4 && back != value) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const QLocale locales[] = {QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::German, QLocale::Germany)};
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QLocale& locale : locales) {
        for (VarType type : kTypes) {
            Variant value;
            bool converted = false;
            expectValueOrConversionError([&] {
                value = textToVariant(text, type, locale);
                converted = true;
            });
            if (!converted) continue;
            if (value.type() != type) std::abort();
            expectTextReadsBack(value, type, locale);
            convertToEveryType(value, locale);
        }
        // The same bytes as numbers, for the writing side.
        if (size >= sizeof(double)) {
            double real = 0;
            float single = 0;
            int64_t amount = 0;
            std::memcpy(&real, data, sizeof real);
            std::memcpy(&single, data, sizeof single);
            std::memcpy(&amount, data, sizeof amount);
            for (const Variant& value : {Variant::fromR8(real), Variant::fromDate(real),
                                         Variant::fromR4(single), Variant::fromCurrency(amount)}) {
                convertToEveryType(value, locale);
            }
        }
    }
    return 0;
}
