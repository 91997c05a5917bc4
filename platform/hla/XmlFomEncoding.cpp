#include "platform/hla/XmlFomEncoding.h"

#include "platform/hla/XmlFomSections.h"

#include <QByteArrayView>
#include <QStringConverter>
#include <QStringDecoder>

#include <optional>

namespace hla::xmlfom {

namespace {

// The first byte of text that is not UTF-8, if any.
std::optional<std::size_t> invalidUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char c = bytes[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return i;
        }
        if (i + length > size) return i;
        if (bytes[i + 1] < low || bytes[i + 1] > high) return i;
        for (std::size_t k = 2; k < length; ++k) {
            if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF) return i;
        }
        i += length;
    }
    return std::nullopt;
}

// The encoding the XML declaration names, if it names one.
std::string declaredEncoding(std::string_view text) {
    if (text.substr(0, 5) != "<?xml") return {};
    const std::string_view declaration = text.substr(0, text.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) return {};
    at += 8;
    while (at < declaration.size() &&
           (declaration[at] == ' ' || declaration[at] == '=' || declaration[at] == '\t')) {
        ++at;
    }
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return {};
    const char quote = declaration[at];
    const std::size_t end = declaration.find(quote, at + 1);
    if (end == std::string_view::npos) return {};
    return std::string(declaration.substr(at + 1, end - at - 1));
}

}  // namespace

QString decodeModule(std::string_view bytes, const std::string& module) {
    const auto starts = [&](std::string_view prefix) {
        return bytes.substr(0, prefix.size()) == prefix;
    };
    using namespace std::string_view_literals;
    std::optional<QStringConverter::Encoding> encoding;
    std::size_t skip = 0;
    if (starts("\xEF\xBB\xBF"sv)) {
        skip = 3;
    } else if (starts("\xFF\xFE\0\0"sv)) {
        encoding = QStringConverter::Utf32LE;
        skip = 4;
    } else if (starts("\0\0\xFE\xFF"sv)) {
        encoding = QStringConverter::Utf32BE;
        skip = 4;
    } else if (starts("\xFF\xFE"sv)) {
        encoding = QStringConverter::Utf16LE;
        skip = 2;
    } else if (starts("\xFE\xFF"sv)) {
        encoding = QStringConverter::Utf16BE;
        skip = 2;
    } else if (starts("<\0"sv)) {
        encoding = QStringConverter::Utf16LE;
    } else if (starts("\0<"sv)) {
        encoding = QStringConverter::Utf16BE;
    } else {
        // The declaration names the encoding of a text whose first characters take one
        // octet each; one naming UTF-16 or UTF-32 here was written by a tool that saved
        // the text otherwise, so the octets decide.
        const std::string declared = lower(declaredEncoding(bytes));
        if (!declared.empty() && declared != "utf-8" && declared != "utf8" &&
            declared != "us-ascii" && declared != "ascii" && declared.rfind("utf-16", 0) != 0 &&
            declared.rfind("utf-32", 0) != 0) {
            encoding = QStringConverter::encodingForName(declared.c_str());
            if (!encoding || *encoding == QStringConverter::System) {
                fail(module, {1, 1},
                     "the module's encoding \"" + declared +
                         "\" is not supported; save it as UTF-8");
            }
        }
    }
    bytes.remove_prefix(skip);
    if (!encoding || *encoding == QStringConverter::Utf8) {
        if (const auto bad = invalidUtf8(bytes)) {
            int line = 1;
            int column = 1;
            for (std::size_t i = 0; i < *bad; ++i) {
                if (bytes[i] == '\n') {
                    ++line;
                    column = 1;
                } else if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80) {
                    ++column;
                }
            }
            fail(module, {line, column}, "the module is not valid UTF-8");
        }
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    QStringDecoder decoder(*encoding);
    QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError()) {
        fail(
            module, {1, 1},
            std::string("the module is not valid ") + QStringConverter::nameForEncoding(*encoding));
    }
    return text;
}

}  // namespace hla::xmlfom
