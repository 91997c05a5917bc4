#pragma once

#include "platform/engine/ClientContext.h"
#include "platform/hla/FederationDescription.h"

#include <QString>
#include <QStringList>

namespace provider {

// Where a federation description named only by its file name is looked for, in order: the
// directories of the client's CAO_HLA_FED_PATH (colon-separated; relative ones from its
// working directory), the installed data directory, then the source tree's copy for a
// program run from its build tree.
QStringList descriptionDirectories(const engine::ClientContext& client);

// The file a URL (file:///path, a path or a bare file name) stands for, as the client means
// it: the file itself when it exists (a relative path taken from the client's working
// directory), else its last path segment in one of the client's description directories.
// Throws cao::Error naming the URL when it has another scheme or nothing is found.
QString locateFederationDescription(const QString& url, const engine::ClientContext& client);

// The files of a URL that names several federation description modules, separated by ";",
// each located as locateFederationDescription does; in the order given.
QStringList locateFederationModules(const QString& url, const engine::ClientContext& client);

// Reads the files, each a FED file or an IEEE 1516-2010 XML module, and merges them in the
// order given (the standard MIM first when there is an XML module). Throws cao::Error with the
// path and, for a syntax error, the line and column; for modules that do not agree, naming
// both and the class or data type.
hla::FederationDescription readFederationDescription(const QStringList& paths);

}  // namespace provider
