#pragma once

#include "platform/hla/FederationDescription.h"

#include <QString>
#include <QStringList>

namespace provider {

// Where a federation description named only by its file name is looked for, in order: the
// directories of CAO_HLA_FED_PATH (colon-separated), the installed data directory, then the
// source tree's copy for a program run from its build tree.
QStringList descriptionDirectories();

// The file a URL (file:///path, a path or a bare file name) stands for: the file itself when
// it exists, else its last path segment in one of the directories. Throws cao::Error naming
// the URL when it has another scheme or nothing is found.
QString locateFederationDescription(const QString& url, const QStringList& directories);

// Reads and parses the file; throws cao::Error with the path and, for a syntax error, the
// line and column.
hla::FederationDescription readFederationDescription(const QString& path);

}  // namespace provider
