#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace messages {

// Append-only text lines packed into large UTF-16 blocks, so that a long log costs little
// more than its characters: 12 bytes of index per line instead of a heap string each.
class LineStore {
public:
    // The most lines one store holds: the row count a list view can address.
    static constexpr qsizetype kMaxLines = 0x7fffffff;

    explicit LineStore(qsizetype maxLines = kMaxLines) : m_maxLines(maxLines) {}

    // Throws cao::Error when the store is full or the line is too long to index.
    void append(QStringView line);
    void clear();

    qsizetype size() const noexcept { return static_cast<qsizetype>(m_lines.size()); }
    // row must be below size().
    QStringView at(qsizetype row) const;

private:
    struct Block {
        std::unique_ptr<char16_t[]> chars;
        uint32_t capacity = 0;
        uint32_t used = 0;
    };
    struct Line {
        uint32_t block;
        uint32_t offset;
        uint32_t length;
    };

    Block& blockFor(uint32_t length);

    qsizetype m_maxLines;
    std::vector<Block> m_blocks;
    std::deque<Line> m_lines;  // grows in chunks: no pause to move a million entries
};

}  // namespace messages
