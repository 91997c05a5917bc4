#pragma once

// A mocked engine already wired together: engine -> workspaces -> workspace -> controllers ->
// controller -> variables, with permissive defaults, so a test states only the calls it
// cares about. The controller's OnMessage handler is captured in `onMessage`.

#include "support/CaoMocks.h"

namespace cao::testing {

struct MockWorld {
    std::shared_ptr<::testing::NiceMock<MockEngine>> engine =
        std::make_shared<::testing::NiceMock<MockEngine>>();
    std::shared_ptr<::testing::NiceMock<MockWorkspaces>> workspaces =
        std::make_shared<::testing::NiceMock<MockWorkspaces>>();
    std::shared_ptr<::testing::NiceMock<MockWorkspace>> workspace =
        std::make_shared<::testing::NiceMock<MockWorkspace>>();
    std::shared_ptr<::testing::NiceMock<MockControllers>> controllers =
        std::make_shared<::testing::NiceMock<MockControllers>>();
    std::shared_ptr<::testing::NiceMock<MockController>> controller =
        std::make_shared<::testing::NiceMock<MockController>>();
    std::shared_ptr<::testing::NiceMock<MockVariables>> variables =
        std::make_shared<::testing::NiceMock<MockVariables>>();
    MessageHandler onMessage;

    MockWorld() {
        using ::testing::_;
        using ::testing::Return;
        ON_CALL(*engine, Workspaces()).WillByDefault(Return(workspaces));
        ON_CALL(*workspaces, Item(_)).WillByDefault(Return(workspace));
        ON_CALL(*workspace, Controllers()).WillByDefault(Return(controllers));
        ON_CALL(*workspace, AddController(_, _, _, _)).WillByDefault(Return(controller));
        ON_CALL(*controller, Variables()).WillByDefault(Return(variables));
        ON_CALL(*controller, Index()).WillByDefault(Return(0));
        ON_CALL(*controller, SetOnMessage(_)).WillByDefault([this](MessageHandler h) {
            onMessage = std::move(h);
        });
    }

    std::function<EnginePtr()> factory() {
        return [e = engine] { return e; };
    }
};

}  // namespace cao::testing
