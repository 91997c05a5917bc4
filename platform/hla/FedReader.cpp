#include "platform/hla/FedReader.h"

#include "platform/hla/Error.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FedSyntax.h"
#include "platform/hla/TextFile.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace hla {

namespace {

using fed::Node;

[[noreturn]] void fail(const Node& at, const std::string& message) {
    throw FedError(at.line, at.column, message);
}

bool keywordIs(const Node& node, std::string_view keyword) {
    return !node.isList && node.atom.size() == keyword.size() &&
           std::equal(node.atom.begin(), node.atom.end(), keyword.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// The keyword that opens a list; fails for an empty list or one that opens with a list.
const Node& head(const Node& list, std::string_view expected) {
    if (list.items.empty() || list.items.front().isList) {
        fail(list, "expected a keyword (" + std::string(expected) + ") after \"(\"");
    }
    return list.items.front();
}

const Node& atomAt(const Node& list, std::size_t index, const std::string& what) {
    if (index >= list.items.size()) fail(list, "missing " + what);
    const Node& node = list.items[index];
    if (node.isList) fail(node, "expected " + what + ", found a list");
    return node;
}

std::string nameAt(const Node& list, std::size_t index, const std::string& what) {
    const Node& node = atomAt(list, index, what);
    if (node.atom.empty()) fail(node, what + " is empty");
    if (node.atom.find('.') != std::string::npos) {
        fail(node, what + " \"" + node.atom + "\" must not contain \".\"");
    }
    return node.atom;
}

Transport transportAt(const Node& list, std::size_t index) {
    const Node& node = atomAt(list, index, "a transport (reliable or best_effort)");
    if (keywordIs(node, "reliable")) return Transport::Reliable;
    if (keywordIs(node, "best_effort")) return Transport::BestEffort;
    fail(node, "unknown transport \"" + node.atom + "\"; expected reliable or best_effort");
}

Order orderAt(const Node& list, std::size_t index) {
    const Node& node = atomAt(list, index, "an order (receive or timestamp)");
    if (keywordIs(node, "receive")) return Order::Receive;
    if (keywordIs(node, "timestamp")) return Order::Timestamp;
    fail(node, "unknown order \"" + node.atom + "\"; expected receive or timestamp");
}

void expectCount(const Node& list, std::size_t minimum, std::size_t maximum,
                 const std::string& form) {
    if (list.items.size() < minimum || list.items.size() > maximum) {
        fail(list, "expected " + form);
    }
}

void expectList(const Node& node, const std::string& where) {
    if (!node.isList) fail(node, "unexpected \"" + node.atom + "\" in " + where);
}

// Gives a clash found by the description the position of the name that caused it.
template <typename Action>
auto guarded(const Node& at, Action action) -> decltype(action()) {
    try {
        return action();
    } catch (const Error& e) {
        fail(at, e.what());
    }
}

class Reader {
public:
    FederationDescription read(const Node& root) {
        if (!keywordIs(head(root, "FED"), "FED")) {
            fail(root.items.front(), "the description must start with \"(FED\"");
        }
        for (std::size_t i = 1; i < root.items.size(); ++i) section(root.items[i]);
        if (!m_sawName) fail(root, "the description has no (Federation name) entry");
        if (!m_sawVersion) fail(root, "the description has no (FEDversion v1.3) entry");
        if (!m_sawObjects) fail(root, "the description has no (objects ...) section");
        if (!m_sawInteractions) fail(root, "the description has no (interactions ...) section");
        return std::move(m_description);
    }

private:
    void section(const Node& node) {
        expectList(node, "FED");
        const Node& keyword =
            head(node, "Federation, FEDversion, federate, spaces, objects or interactions");
        if (keywordIs(keyword, "Federation")) {
            once(m_sawName, keyword);
            expectCount(node, 2, 2, "(Federation name)");
            m_description.federationName = nameAt(node, 1, "the federation name");
        } else if (keywordIs(keyword, "FEDversion")) {
            once(m_sawVersion, keyword);
            expectCount(node, 2, 2, "(FEDversion v1.3)");
            const Node& version = atomAt(node, 1, "the FED version");
            // The spellings other run-times write and accept.
            if (!keywordIs(version, "v1.3") && !keywordIs(version, "1.3") &&
                !keywordIs(version, "v1_3") && !keywordIs(version, "1_3")) {
                fail(version,
                     "FED version \"" + version.atom + "\" is not supported; expected v1.3");
            }
            m_description.version = version.atom;
        } else if (keywordIs(keyword, "federate")) {
            expectCount(node, 2, 3, "(federate name [security])");
            for (std::size_t i = 1; i < node.items.size(); ++i) atomAt(node, i, "a federate entry");
        } else if (keywordIs(keyword, "spaces")) {
            once(m_sawSpaces, keyword);
            for (std::size_t i = 1; i < node.items.size(); ++i) space(node.items[i]);
        } else if (keywordIs(keyword, "objects")) {
            once(m_sawObjects, keyword);
            expectCount(node, 2, 2, "(objects (class ObjectRoot ...))");
            rootClass(node.items[1], "ObjectRoot", "objects");
            objectClass(node.items[1], std::nullopt);
        } else if (keywordIs(keyword, "interactions")) {
            once(m_sawInteractions, keyword);
            expectCount(node, 2, 2, "(interactions (class InteractionRoot ...))");
            rootClass(node.items[1], "InteractionRoot", "interactions");
            interactionClass(node.items[1], std::nullopt);
        } else {
            fail(keyword, "unknown keyword \"" + keyword.atom +
                              "\"; expected Federation, FEDversion, federate, spaces, objects or "
                              "interactions");
        }
    }

    static void once(bool& seen, const Node& keyword) {
        if (seen) fail(keyword, "\"" + keyword.atom + "\" appears twice");
        seen = true;
    }

    // The root's name matches without regard to letter case, as other run-times read it
    // ("objectRoot"); the description keeps the standard spelling.
    static void rootClass(const Node& node, const std::string& root, const std::string& where) {
        expectList(node, where);
        if (!keywordIs(head(node, "class"), "class")) {
            fail(node.items.front(), "expected (class " + root + " ...) in " + where);
        }
        const Node& name = atomAt(node, 1, "the class name " + root);
        if (!keywordIs(name, root)) fail(name, "the root class of " + where + " must be " + root);
    }

    static std::string className(const Node& node, bool root, const char* rootName) {
        return root ? std::string(rootName) : nameAt(node, 1, "the class name");
    }

    void space(const Node& node) {
        expectList(node, "spaces");
        if (!keywordIs(head(node, "space"), "space")) {
            fail(node.items.front(), "expected (space name (dimension name)...)");
        }
        const std::string name = nameAt(node, 1, "the space name");
        if (std::find(m_description.routingSpaces.begin(), m_description.routingSpaces.end(),
                      name) != m_description.routingSpaces.end()) {
            fail(node.items[1], "space \"" + name + "\" is declared twice");
        }
        for (std::size_t i = 2; i < node.items.size(); ++i) {
            const Node& dimension = node.items[i];
            expectList(dimension, "space " + name);
            if (!keywordIs(head(dimension, "dimension"), "dimension")) {
                fail(dimension.items.front(), "expected (dimension name) in space " + name);
            }
            expectCount(dimension, 2, 2, "(dimension name)");
            nameAt(dimension, 1, "the dimension name");
        }
        m_description.routingSpaces.push_back(name);
    }

    void checkSpace(const Node& list, std::size_t index) {
        const Node& node = atomAt(list, index, "a routing space");
        const auto& spaces = m_description.routingSpaces;
        if (std::find(spaces.begin(), spaces.end(), node.atom) == spaces.end()) {
            fail(node, "routing space \"" + node.atom + "\" is not declared in (spaces ...)");
        }
    }

    // Members first, then subclasses, so that a clash is found where it is declared.
    template <typename Member, typename Subclass>
    void body(const Node& node, std::size_t first, const std::string& where,
              std::string_view memberKeyword, Member member, Subclass subclass) {
        for (int pass = 0; pass < 2; ++pass) {
            for (std::size_t i = first; i < node.items.size(); ++i) {
                const Node& item = node.items[i];
                expectList(item, where);
                const Node& keyword = head(item, std::string(memberKeyword) + " or class");
                const bool isClass = keywordIs(keyword, "class");
                if (!isClass && !keywordIs(keyword, memberKeyword)) {
                    fail(keyword, "unknown keyword \"" + keyword.atom + "\" in " + where +
                                      "; expected " + std::string(memberKeyword) + " or class");
                }
                if (pass == 0 && !isClass) member(item);
                if (pass == 1 && isClass) subclass(item);
            }
        }
    }

    void objectClass(const Node& node, std::optional<ObjectClassHandle> parent) {
        const std::string name = className(node, !parent, kObjectRoot);
        const auto handle =
            guarded(node.items[1], [&] { return m_description.addObjectClass(parent, name); });
        const std::string where = "class " + m_description.objectClass(handle).fullName;
        body(
            node, 2, where, "attribute",
            [&](const Node& item) {
                expectCount(item, 4, 5, "(attribute name transport order [space])");
                std::string attribute = nameAt(item, 1, "the attribute name");
                if (!parent && keywordIs(item.items[1], kPrivilegeToDelete)) {
                    attribute = kPrivilegeToDelete;
                }
                const Transport transport = transportAt(item, 2);
                const Order order = orderAt(item, 3);
                if (item.items.size() == 5) checkSpace(item, 4);
                guarded(item.items[1], [&] {
                    return m_description.addAttribute(handle, attribute, transport, order);
                });
            },
            [&](const Node& item) { objectClass(item, handle); });
    }

    void interactionClass(const Node& node, std::optional<InteractionClassHandle> parent) {
        const std::string name = className(node, !parent, kInteractionRoot);
        const Transport transport = transportAt(node, 2);
        const Order order = orderAt(node, 3);
        std::size_t first = 4;
        if (node.items.size() > 4 && !node.items[4].isList) {
            checkSpace(node, 4);
            first = 5;
        }
        const auto handle = guarded(node.items[1], [&] {
            return m_description.addInteractionClass(parent, name, transport, order);
        });
        const std::string where = "class " + m_description.interactionClass(handle).fullName;
        body(
            node, first, where, "parameter",
            [&](const Node& item) {
                expectCount(item, 2, 2, "(parameter name)");
                const std::string parameter = nameAt(item, 1, "the parameter name");
                guarded(item.items[1],
                        [&] { return m_description.addParameter(handle, parameter); });
            },
            [&](const Node& item) { interactionClass(item, handle); });
    }

    FederationDescription m_description;
    bool m_sawName = false;
    bool m_sawVersion = false;
    bool m_sawSpaces = false;
    bool m_sawObjects = false;
    bool m_sawInteractions = false;
};

}  // namespace

FederationDescription parseFed(std::string_view text) {
    const Node root = fed::parseSyntax(text);
    return Reader().read(root);
}

FederationDescription readFedFile(const std::string& path) {
    const std::string text = readTextFile(path, fed::kMaxTextSize, "description");
    try {
        return parseFed(text);
    } catch (const FedError& e) {
        throw e.withPath(path);
    }
}

}  // namespace hla
