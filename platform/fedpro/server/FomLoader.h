#pragma once

// The FOM modules a client hands over, read into a federation description. A module comes
// as its content (read by the FED or XML reader, told apart by the content), as a zip of it
// (ZipModule.h), or as a URL or
// bare file name that is looked for only as a bare file name in the engine's FOM
// directories: a regular file there, or a link that stays there. Nothing else of the
// engine's machine is ever opened, and no refusal names a local path.

#include "platform/fedpro/messages/datatypes.pb.h"
#include "platform/fedpro/server/CallError.h"
#include "platform/hla/FederationDescription.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace fedpro::server {

namespace pb = rti1516_2025::fedpro;

class FomLoader {
public:
    // directories: where bare names are looked for, in order.
    explicit FomLoader(QStringList directories);

    // The engine's own FOM directories: the installed data directory (beside the program and
    // where it was installed), the source tree's copy, then extra (--fedpro-fom-dir) if set.
    static QStringList engineDirectories(const QString& extra);

    // The description of a new federation execution: the modules merged in order onto the
    // MIM (the standard one, unless mim is set). Throws CallError with the standard's FOM
    // exceptions (CouldNotOpenFOM, ErrorReadingFOM, InconsistentFOM or their 2010 names).
    hla::FederationDescription federation(const std::vector<const pb::FomModule*>& modules,
                                          const pb::FomModule* mim, Api api) const;
    // A joining federate's own modules, to be merged into the standing description.
    hla::FederationDescription additional(const std::vector<const pb::FomModule*>& modules,
                                          Api api) const;

    const QStringList& directories() const { return m_directories; }

private:
    struct Module {
        std::string text;
        std::string name;
    };
    Module fetch(const pb::FomModule& module, Api api) const;
    Module fromDirectories(const std::string& url, Api api) const;
    hla::FederationDescription merged(const std::vector<const pb::FomModule*>& modules,
                                      const pb::FomModule* mim, Api api) const;

    QStringList m_directories;
};

// The set's modules, refused beyond kMaxModulesPerCall.
std::vector<const pb::FomModule*> modulesOf(const pb::FomModuleSet& set);

}  // namespace fedpro::server
