#pragma once

// Two controllers of the HLA provider in one workspace of an embedded engine, driven through
// the cao interface only; the run-time is injected so tests can tell what is left joined.

#include "cao/Cao.h"
#include "platform/engine/Engine.h"
#include "platform/links/embedded/RunTimeHost.h"
#include "platform/provider/HlaProvider.h"
#include "platform/rti/RunTime.h"
#include "support/DefaultOptions.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

namespace hlatest {

inline const QString kProvider = QStringLiteral("CaoProv.Zarn.HLA");

inline QString optionsWith(int timePolicy, int timeAdvance, const QString& lookahead = "1",
                           int async = 0, const QString& curTime = "0") {
    return QStringLiteral("URL=%1, TimePoli=%2, TimeAdv=%3, CurTime=%4, LookAhead=%5, AsyncDeli=%6")
        .arg(kDefaultUrl)
        .arg(timePolicy)
        .arg(timeAdvance)
        .arg(curTime, lookahead)
        .arg(async);
}

struct Received {
    int number;
    cao::Variant value;
    cao::Variant time;
    QString source;
    cao::MessagePtr message;
};

// A controller with the messages it raised.
struct Side {
    cao::ControllerPtr controller;
    std::shared_ptr<std::vector<Received>> log = std::make_shared<std::vector<Received>>();

    cao::VariablesPtr vars() { return controller->Variables(); }
    cao::VariablePtr add(const QString& name, int option = 0) {
        return vars()->Add(name, QStringLiteral("Option=%1").arg(option));
    }
    void put(const QString& name, const cao::Variant& value) {
        vars()->Item(cao::Variant::fromString(name))->put_Value(value);
    }
    cao::Variant get(const QString& name) {
        return vars()->Item(cao::Variant::fromString(name))->get_Value();
    }
    double time(const QString& name) { return get(name).r8(); }
    // Takes the messages of one number out of the log.
    std::vector<Received> take(int number) {
        std::vector<Received> matching;
        std::vector<Received> rest;
        for (Received& r : *log) (r.number == number ? matching : rest).push_back(std::move(r));
        *log = std::move(rest);
        return matching;
    }
    std::vector<Received> takeAll() {
        std::vector<Received> all = std::move(*log);
        log->clear();
        return all;
    }
};

class HlaTest : public ::testing::Test {
protected:
    // A client without provider variables, whatever this process's environment holds.
    HlaTest() : runTime(std::make_shared<rti::RunTime>()) { useClient({}); }

    // Opens the controllers from here on for a client with these provider variables in the
    // given working directory; the engine is a new one, so call it before opening any.
    void useClient(engine::ClientContext::Environment environment,
                   const QString& workingDirectory = QDir::currentPath()) {
        ws.reset();
        eng.reset();
        engine::ProviderRegistry registry;
        provider::registerProvider(registry, std::make_shared<links::RunTimeHost>(runTime));
        eng = std::make_shared<engine::Engine>(
            std::move(registry), engine::ClientContext(std::move(environment), workingDirectory));
        ws = eng->Workspaces()->Item(cao::Variant::fromI2(0));
    }

    Side open(const QString& name, const QString& options = kDefaultOptions) {
        Side side;
        side.controller = ws->AddController(name, kProvider, "", options);
        auto log = side.log;
        side.controller->SetOnMessage([log](cao::MessagePtr m) {
            log->push_back({m->Number(), m->Value(), m->Time(), m->Source(), m});
        });
        return side;
    }

    void close(Side& side) {
        ws->Controllers()->Remove(cao::Variant::fromI4(side.controller->Index()));
    }

    // The description of the error a call throws; empty (and a failure) when it succeeds.
    template <typename Call>
    static QString refusal(Call call) {
        try {
            call();
        } catch (const cao::Error& e) {
            return e.description();
        }
        ADD_FAILURE() << "the call was accepted";
        return {};
    }

    void deliver() { eng->deliverPending(); }

    std::shared_ptr<rti::RunTime> runTime;
    std::shared_ptr<engine::Engine> eng;
    cao::WorkspacePtr ws;
};

}  // namespace hlatest
