#pragma once

#include <QString>

// The federation description the window names by default, and the option string it sends
// with all its defaults.
inline const QString kDefaultUrl =
    QStringLiteral("file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed");
inline const QString kDefaultOptions = QStringLiteral(
    "URL=file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed, TimePoli=0, TimeAdv=0, "
    "CurTime=0.0, LookAhead=0.5, AsyncDeli=0");
