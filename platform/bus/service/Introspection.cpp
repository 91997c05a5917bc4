#include "platform/bus/service/Introspection.h"

#include "platform/bus/protocol/Names.h"

#include <QFile>
#include <QRegularExpression>

namespace bus::service {

namespace {

// The <interface> element of the shipped description with this name.
QString interfaceElement(const char* name) {
    static const QString description = [] {
        QFile file(QStringLiteral(":/io.tandrel.Engine1.xml"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    const QString start = QStringLiteral("<interface name=\"%1\">").arg(QLatin1String(name));
    const qsizetype from = description.indexOf(start);
    const QString endTag = QStringLiteral("</interface>");
    const qsizetype to = from < 0 ? -1 : description.indexOf(endTag, from);
    return to < 0 ? QString() : description.mid(from, to + endTag.size() - from);
}

}  // namespace

QString introspectionOf(const QString& path) {
    const QString root = QLatin1String(bus::kRootPath);
    if (path == root) return interfaceElement(bus::kManagerInterface);
    const QStringList nodes = path.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    switch (nodes.size()) {
        case 1:
            return interfaceElement(bus::kEngineInterface) + QStringLiteral("<node name=\"w0\"/>");
        case 2:
            return interfaceElement(nodes[1] == QLatin1String("w0") ? bus::kWorkspaceInterface
                                                                    : bus::kControllerInterface);
        case 3:
            return interfaceElement(nodes[2].startsWith(QLatin1Char('m'))
                                        ? bus::kMessageInterface
                                        : bus::kVariableInterface);
        default:
            return {};
    }
}

}  // namespace bus::service
