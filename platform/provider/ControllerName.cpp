#include "platform/provider/ControllerName.h"

#include "cao/Error.h"

namespace provider {

ControllerName parseControllerName(const QString& name) {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString federation = dot < 0 ? name : name.left(dot);
    const QString federate = dot < 0 ? QString() : name.mid(dot + 1);
    if (federation.isEmpty() || federate.isEmpty()) {
        throw cao::Error(QStringLiteral("The controller name \"%1\" is not valid: expected "
                                        "<Federation>.<Federate>, for example ChatRoom.Chat")
                             .arg(name),
                         cao::code::InvalidArg);
    }
    return {federation.toStdString(), federate.toStdString()};
}

}  // namespace provider
