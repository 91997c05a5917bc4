#include "hla/WriteValue.h"

#include "cao/Error.h"
#include "cao/VariantText.h"

namespace hla {

cao::Variant valueForWrite(const QString& name, bool published, const cao::Variant& value,
                           cao::VarType type) {
    if (!published) {
        throw cao::Error(QStringLiteral("Variable \"%1\" was registered with option 32 (no "
                                        "publishing), so it cannot be written")
                             .arg(name),
                         cao::code::InvalidArg);
    }
    return cao::changeType(value, type);
}

}  // namespace hla
