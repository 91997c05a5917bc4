#include "bench/platform/bus/FloodProvider.h"

namespace bench {

namespace {

// What a received interaction looks like when it is raised.
constexpr int32_t kReceivedInteraction = 3;
const QString kText = QStringLiteral("Hello from the other federate");
// Without time management every interaction arrives at time 0, as in the chat room.
constexpr double kNoTime = 0;
const QString kSource = QStringLiteral("InteractionRoot.Communication.Message");

class FloodVariable : public engine::ProviderVariable {
public:
    explicit FloodVariable(engine::ControllerContext& context) : m_context(context) {}
    cao::Variant read() override { return m_last; }
    void write(const cao::Variant& value) override {
        m_last = value;
        const int32_t count = value.i4();
        for (int32_t i = 0; i < count; ++i) {
            m_context.raise({kReceivedInteraction,
                             cao::Variant::fromString(kText),
                             cao::Variant::fromR8(kNoTime),
                             kSource,
                             {}});
        }
    }
    void release() override {}

private:
    engine::ControllerContext& m_context;
    cao::Variant m_last;
};

class FloodController : public engine::ProviderController {
public:
    explicit FloodController(engine::ControllerContext& context) : m_context(context) {}
    std::unique_ptr<engine::ProviderVariable> addVariable(const QString&, int32_t) override {
        return std::make_unique<FloodVariable>(m_context);
    }
    void close() override {}

private:
    engine::ControllerContext& m_context;
};

}  // namespace

engine::ProviderFactory floodFactory() {
    return [](const QString&, const QString&, engine::ControllerContext& context) {
        return std::make_unique<FloodController>(context);
    };
}

}  // namespace bench
