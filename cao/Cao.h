#pragma once

// The controller access objects that Tandrel programs against. Every operation either
// succeeds or throws cao::Error with a description fit to show a person. Every object is
// reference counted and every value is copied, so an engine in another process could
// implement these classes unchanged.

#include "cao/Error.h"
#include "cao/Variant.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace cao {

class CaoMessage {
public:
    virtual ~CaoMessage() = default;
    virtual int32_t Number() = 0;
    virtual Variant Value() = 0;
    virtual Variant Time() = 0;
    virtual QString Source() = 0;
    // Reports a synchronisation point achieved; does nothing for any other message.
    virtual void Acknowledge() = 0;
};
using MessagePtr = std::shared_ptr<CaoMessage>;

class CaoVariable {
public:
    virtual ~CaoVariable() = default;
    virtual QString Name() = 0;
    virtual Variant get_Value() = 0;
    virtual void put_Value(const Variant& value) = 0;
};
using VariablePtr = std::shared_ptr<CaoVariable>;

class CaoVariables {
public:
    virtual ~CaoVariables() = default;
    // option: "Option=" and a decimal mask.
    virtual VariablePtr Add(const QString& name, const QString& option) = 0;
    // index: the name as VT_BSTR.
    virtual VariablePtr Item(const Variant& index) = 0;
    virtual void Remove(const Variant& index) = 0;
    virtual int32_t Count() = 0;
};
using VariablesPtr = std::shared_ptr<CaoVariables>;

using MessageHandler = std::function<void(MessagePtr)>;

class CaoController {
public:
    virtual ~CaoController() = default;
    virtual QString Name() = 0;
    // The 0-based position in the workspace's controller collection.
    virtual int32_t Index() = 0;
    virtual VariablesPtr Variables() = 0;
    // OnMessage: one handler at a time; a new one replaces the previous, an empty one ends
    // delivery. Messages are delivered later from the event loop, never inside a call.
    virtual void SetOnMessage(MessageHandler handler) = 0;
};
using ControllerPtr = std::shared_ptr<CaoController>;

class CaoControllers {
public:
    virtual ~CaoControllers() = default;
    virtual int32_t Count() = 0;
    virtual ControllerPtr Item(const Variant& index) = 0;
    // index: a controller's Index as an integer variant. Closes the controller.
    virtual void Remove(const Variant& index) = 0;
};
using ControllersPtr = std::shared_ptr<CaoControllers>;

class CaoWorkspace {
public:
    virtual ~CaoWorkspace() = default;
    virtual ControllersPtr Controllers() = 0;
    virtual ControllerPtr AddController(const QString& name, const QString& provider,
                                        const QString& machine, const QString& options) = 0;
};
using WorkspacePtr = std::shared_ptr<CaoWorkspace>;

class CaoWorkspaces {
public:
    virtual ~CaoWorkspaces() = default;
    virtual int32_t Count() = 0;
    virtual WorkspacePtr Item(const Variant& index) = 0;
};
using WorkspacesPtr = std::shared_ptr<CaoWorkspaces>;

class CaoEngine {
public:
    virtual ~CaoEngine() = default;
    virtual WorkspacesPtr Workspaces() = 0;
};
using EnginePtr = std::shared_ptr<CaoEngine>;

// Reads an integer index passed as a variant (VT_I2, VT_I4 or VT_UI1); throws otherwise.
int32_t indexFromVariant(const Variant& index);

}  // namespace cao
