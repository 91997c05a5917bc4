#include "cao/Cao.h"

namespace cao {

int32_t indexFromVariant(const Variant& index) {
    switch (index.type()) {
        case VT_I2:
            return index.i2();
        case VT_I4:
            return index.i4();
        case VT_UI1:
            return index.ui1();
        default:
            throw Error(
                QStringLiteral("An index must be an integer, not %1").arg(typeName(index.type())),
                code::InvalidArg);
    }
}

}  // namespace cao
