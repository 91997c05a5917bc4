#include "platform/hla/FedSyntax.h"

#include "platform/hla/FedError.h"

#include <cstdio>
#include <optional>

namespace hla::fed {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool endsAtom(char c) {
    return isBlank(c) || c == '(' || c == ')' || c == '"' || c == ';';
}

bool isControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && !isBlank(c)) || u == 0x7f;
}

std::string describeByte(char c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", static_cast<unsigned char>(c));
    return buffer;
}

class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    Node run() {
        skipBlanksAndComments();
        if (atEnd()) fail("the description is empty; expected \"(FED\"");
        if (peek() != '(') fail("expected \"(\" to open the description");
        while (true) {
            skipBlanksAndComments();
            if (atEnd()) {
                if (m_open.empty()) break;
                const Node& innermost = m_open.back();
                fail("unexpected end of the description: the list opened at line " +
                     std::to_string(innermost.line) + ", column " +
                     std::to_string(innermost.column) + " is not closed");
            }
            if (m_result) fail("unexpected text after the end of the description");
            step();
        }
        return std::move(*m_result);
    }

private:
    void step() {
        const char c = peek();
        if (c == '(') {
            if (static_cast<int>(m_open.size()) >= kMaxNesting) {
                fail("lists are nested deeper than " + std::to_string(kMaxNesting) + " levels");
            }
            Node list;
            list.isList = true;
            list.line = m_line;
            list.column = m_column;
            m_open.push_back(std::move(list));
            advance();
        } else if (c == ')') {
            if (m_open.empty()) fail("unmatched \")\"");
            advance();
            Node done = std::move(m_open.back());
            m_open.pop_back();
            if (m_open.empty()) {
                m_result = std::move(done);
            } else {
                m_open.back().items.push_back(std::move(done));
            }
        } else if (m_open.empty()) {
            fail("expected \"(\" to open the description");
        } else if (c == '"') {
            m_open.back().items.push_back(quoted());
        } else if (isControl(c)) {
            fail("unexpected character " + describeByte(c));
        } else {
            m_open.back().items.push_back(bare());
        }
    }

    Node quoted() {
        Node atom;
        atom.line = m_line;
        atom.column = m_column;
        advance();
        const std::size_t start = m_pos;
        while (!atEnd() && peek() != '"') {
            if (peek() == '\n' || isControl(peek())) break;
            advance();
        }
        if (atEnd() || peek() != '"') {
            failAt(atom.line, atom.column, "the quoted name is not closed on its line");
        }
        atom.atom = std::string(m_text.substr(start, m_pos - start));
        advance();
        return atom;
    }

    Node bare() {
        Node atom;
        atom.line = m_line;
        atom.column = m_column;
        const std::size_t start = m_pos;
        while (!atEnd() && !endsAtom(peek())) {
            if (isControl(peek())) fail("unexpected character " + describeByte(peek()));
            advance();
        }
        atom.atom = std::string(m_text.substr(start, m_pos - start));
        return atom;
    }

    void skipBlanksAndComments() {
        while (!atEnd()) {
            const char c = peek();
            if (isBlank(c)) {
                advance();
            } else if (c == ';') {
                if (m_pos + 1 >= m_text.size() || m_text[m_pos + 1] != ';') {
                    fail("a comment starts with \";;\"");
                }
                while (!atEnd() && peek() != '\n') advance();
            } else {
                return;
            }
        }
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return m_text[m_pos]; }

    void advance() {
        if (m_text[m_pos] == '\n') {
            ++m_line;
            m_column = 1;
        } else {
            ++m_column;
        }
        ++m_pos;
    }

    [[noreturn]] void fail(const std::string& message) const { failAt(m_line, m_column, message); }
    [[noreturn]] static void failAt(int line, int column, const std::string& message) {
        throw FedError(line, column, message);
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
    int m_column = 1;
    std::vector<Node> m_open;
    std::optional<Node> m_result;
};

}  // namespace

Node parseSyntax(std::string_view text) {
    if (text.size() > kMaxTextSize) {
        throw FedError(0, 0, "the description is larger than 16 MiB");
    }
    return Scanner(text).run();
}

}  // namespace hla::fed
