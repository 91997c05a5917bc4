#include "RawClient.h"

#include "platform/fedpro/protocol/Bounds.h"
#include "platform/fedpro/protocol/ProtocolError.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>

#include <stdexcept>

namespace fedpro::testing {

namespace {

std::runtime_error failure(const std::string& what) {
    return std::runtime_error("the test client: " + what);
}

}  // namespace

RawClient::RawClient(std::uint16_t port)
    : m_port(port),
      m_reader(bounds::kMaxPacketSize),
      m_state(bounds::kHistoryFrames, bounds::kHistoryBytes) {
    connectSocket();
}

RawClient::~RawClient() {
    if (m_socket) m_socket->abort();
}

void RawClient::connectSocket() {
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->connectToHost(QStringLiteral("127.0.0.1"), m_port);
    if (!m_socket->waitForConnected(static_cast<int>(kWaitCap.count()))) {
        throw failure("cannot connect: " + m_socket->errorString().toStdString());
    }
    // Each call waits on its answer: no Nagle delay on the client's side either.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_reader = FrameReader(bounds::kMaxPacketSize);
}

void RawClient::writeRaw(const std::string& bytes) {
    m_socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
    m_socket->flush();
}

void RawClient::send(MessageType type, const std::string& payload) {
    writeRaw(m_state.makeFrame(type, payload, isCallOrCallback(type)));
}

std::optional<Frame> RawClient::readFrame(std::chrono::milliseconds cap) {
    QElapsedTimer clock;
    clock.start();
    while (true) {
        if (std::optional<Frame> frame = m_reader.next()) {
            if (m_state.received(frame->header) == SessionState::Arrival::Duplicate) continue;
            return frame;
        }
        if (m_socket->bytesAvailable() > 0) {
            const QByteArray bytes = m_socket->read(static_cast<qint64>(m_reader.room()));
            m_reader.append(std::string_view(bytes.constData(), bytes.size()));
            continue;
        }
        const qint64 left = cap.count() - clock.elapsed();
        if (left <= 0 || m_socket->state() != QAbstractSocket::ConnectedState) return std::nullopt;
        m_socket->waitForReadyRead(static_cast<int>(left));
    }
}

void RawClient::keepCallback(const Frame& frame) {
    pb::CallbackRequest callback;
    if (!callback.ParseFromString(frame.payload)) throw failure("a callback that does not parse");
    m_callbacks.push_back(callback);
    if (!answersCallbacks) return;
    pb::CallbackResponse response;
    response.mutable_callbacksucceeded();
    send(MessageType::CallbackResponse,
         answerPayload(frame.header.sequence, response.SerializeAsString()));
}

Frame RawClient::expect(MessageType type) {
    while (true) {
        std::optional<Frame> frame = readFrame(kWaitCap);
        if (!frame) {
            throw failure(std::string("no ") + messageTypeName(type) + " came within the cap");
        }
        if (frame->header.type == static_cast<std::int32_t>(MessageType::CallbackRequest) &&
            type != MessageType::CallbackRequest) {
            keepCallback(*frame);
            continue;
        }
        if (frame->header.type != static_cast<std::int32_t>(type)) {
            throw failure(std::string("a frame of type ") + std::to_string(frame->header.type) +
                          " came where a " + messageTypeName(type) + " was expected");
        }
        return *frame;
    }
}

Frame RawClient::newSession(std::int32_t version) {
    send(MessageType::NewSession, int32Payload(version));
    Frame status = expect(MessageType::NewSessionStatus);
    m_state.setSessionId(status.header.sessionId);
    return status;
}

pb::CallResponse RawClient::open(const std::string& token, const std::string& settings) {
    const Frame status = newSession();
    if (readInt32(status.payload, 0, "status") != 0) throw failure("the new session was refused");
    return call(connectRequest(token, settings));
}

pb::CallResponse RawClient::call(const pb::CallRequest& request) {
    send(MessageType::CallRequest, request.SerializeAsString());
    const std::int32_t sent = m_state.lastSent();
    const Frame frame = expect(MessageType::CallResponse);
    const auto [answered, message] = splitAnswer(frame.payload);
    if (answered != sent) {
        throw failure("a call response answers " + std::to_string(answered) + ", not " +
                      std::to_string(sent));
    }
    pb::CallResponse response;
    if (!response.ParseFromArray(message.data(), static_cast<int>(message.size()))) {
        throw failure("a call response that does not parse");
    }
    return response;
}

pb::CallbackRequest RawClient::callback() {
    if (m_callbacks.empty()) keepCallback(expect(MessageType::CallbackRequest));
    pb::CallbackRequest next = m_callbacks.front();
    m_callbacks.pop_front();
    return next;
}

bool RawClient::closedByServer() {
    QElapsedTimer clock;
    clock.start();
    while (m_socket->state() == QAbstractSocket::ConnectedState &&
           clock.elapsed() < kWaitCap.count()) {
        m_socket->waitForReadyRead(100);
        m_socket->readAll();
    }
    return m_socket->state() != QAbstractSocket::ConnectedState;
}

void RawClient::cut() {
    m_socket->abort();
}

Frame RawClient::resume() {
    connectSocket();
    writeRaw(m_state.makeFrame(MessageType::ResumeRequest,
                               int32PairPayload(m_state.lastReceived(), m_state.oldestKept()),
                               false));
    Frame status = expect(MessageType::ResumeStatus);
    if (readInt32(status.payload, 0, "resume status") == 0) {
        const std::int32_t serverHas = readInt32(status.payload, 4, "last received");
        if (const auto frames = m_state.framesAfter(serverHas)) {
            for (const std::string& frame : *frames) writeRaw(frame);
        }
    }
    return status;
}

pb::CallRequest connectRequest(const std::string& token, const std::string& settings) {
    pb::CallRequest request;
    if (token.empty() && settings.empty()) {
        request.mutable_connectrequest();
        return request;
    }
    auto* connect = request.mutable_connectwithconfigurationandcredentialsrequest();
    connect->mutable_rticonfiguration()->set_additionalsettings(settings);
    connect->mutable_credentials()->set_type("HLAplainTextPassword");
    connect->mutable_credentials()->set_data(token);
    return request;
}

pb::CallRequest createRequest(const std::string& federation, const std::string& moduleName,
                              const std::string& content, const std::string& time) {
    pb::CallRequest request;
    auto* create = request.mutable_createfederationexecutionwithmodulesandtimerequest();
    create->set_federationname(federation);
    create->set_logicaltimeimplementationname(time);
    auto* file = create->mutable_fommodules()->add_fommodule()->mutable_file();
    file->set_name(moduleName);
    file->set_content(content);
    return request;
}

pb::CallRequest joinRequest(const std::string& federation, const std::string& name) {
    pb::CallRequest request;
    auto* join = request.mutable_joinfederationexecutionwithnamerequest();
    join->set_federatename(name);
    join->set_federatetype("Test");
    join->set_federationname(federation);
    return request;
}

std::string chatXml() {
    QFile file(QStringLiteral(TANDREL_SOURCE_DATA_DIR "/Chat.xml"));
    if (!file.open(QIODevice::ReadOnly)) throw failure("cannot read data/Chat.xml");
    return file.readAll().toStdString();
}

std::string handleBytes(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * (3 - i))) & 0xFF);
    return bytes;
}

}  // namespace fedpro::testing
