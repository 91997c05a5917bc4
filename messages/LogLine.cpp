#include "messages/LogLine.h"

#include "cao/text/VariantToText.h"

#include <QStringBuilder>

namespace messages {

QString logLine(int32_t number, const cao::Variant& value, int16_t typeIndex,
                const cao::Variant& time, const QString& source) {
    return QString::number(number) % QLatin1String(" : ") % cao::variantToText(value) %
           QLatin1String(" (") % QString::number(typeIndex) % QLatin1String(") : Time=") %
           cao::variantToText(time) % QLatin1String(", Source=") % source;
}

}  // namespace messages
