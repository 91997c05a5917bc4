#pragma once

// GoogleMock stand-ins for every controller access object, for tests that drive the
// program's handlers without an engine.

#include "cao/Cao.h"
#include "support/QtPrinters.h"

#include <gmock/gmock.h>

namespace cao::testing {

class MockMessage : public CaoMessage {
public:
    MOCK_METHOD(int32_t, Number, (), (override));
    MOCK_METHOD(Variant, Value, (), (override));
    MOCK_METHOD(Variant, Time, (), (override));
    MOCK_METHOD(QString, Source, (), (override));
    MOCK_METHOD(void, Acknowledge, (), (override));
};

class MockVariable : public CaoVariable {
public:
    MOCK_METHOD(QString, Name, (), (override));
    MOCK_METHOD(Variant, get_Value, (), (override));
    MOCK_METHOD(void, put_Value, (const Variant&), (override));
};

class MockVariables : public CaoVariables {
public:
    MOCK_METHOD(VariablePtr, Add, (const QString&, const QString&), (override));
    MOCK_METHOD(VariablePtr, Item, (const Variant&), (override));
    MOCK_METHOD(void, Remove, (const Variant&), (override));
    MOCK_METHOD(int32_t, Count, (), (override));
};

class MockController : public CaoController {
public:
    MOCK_METHOD(QString, Name, (), (override));
    MOCK_METHOD(int32_t, Index, (), (override));
    MOCK_METHOD(VariablesPtr, Variables, (), (override));
    MOCK_METHOD(void, SetOnMessage, (MessageHandler), (override));
};

class MockControllers : public CaoControllers {
public:
    MOCK_METHOD(int32_t, Count, (), (override));
    MOCK_METHOD(ControllerPtr, Item, (const Variant&), (override));
    MOCK_METHOD(void, Remove, (const Variant&), (override));
};

class MockWorkspace : public CaoWorkspace {
public:
    MOCK_METHOD(ControllersPtr, Controllers, (), (override));
    MOCK_METHOD(ControllerPtr, AddController,
                (const QString&, const QString&, const QString&, const QString&), (override));
};

class MockWorkspaces : public CaoWorkspaces {
public:
    MOCK_METHOD(int32_t, Count, (), (override));
    MOCK_METHOD(WorkspacePtr, Item, (const Variant&), (override));
};

class MockEngine : public CaoEngine {
public:
    MOCK_METHOD(WorkspacesPtr, Workspaces, (), (override));
};

// Makes an action that throws cao::Error with the given description.
inline auto ThrowError(const QString& description) {
    return ::testing::Throw(Error(description));
}

}  // namespace cao::testing

// Readable variants in failure output.
namespace cao {
inline void PrintTo(const Variant& v, std::ostream* os) {
    *os << typeName(v.type()).toStdString();
}
}  // namespace cao
