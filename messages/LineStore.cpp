#include "messages/LineStore.h"

#include "cao/Error.h"

#include <algorithm>
#include <limits>

namespace messages {

namespace {

// 64 KiB blocks: large enough that the unused tail of a block is negligible, small enough
// that a short log does not reserve much.
constexpr uint32_t kBlockChars = 32 * 1024;

}  // namespace

void LineStore::append(QStringView line) {
    if (size() >= m_maxLines) {
        throw cao::Error(QStringLiteral("The message log is full: it holds %1 lines, the most it "
                                        "can take. CLEAR it to go on logging.")
                             .arg(m_maxLines));
    }
    if (line.size() > std::numeric_limits<uint32_t>::max()) {
        throw cao::Error(
            QStringLiteral("The message line of %1 characters is too long for the log.")
                .arg(line.size()));
    }
    const auto length = static_cast<uint32_t>(line.size());
    Block& block = blockFor(length);
    // If this allocation fails, at worst an empty block is left: the lines stay as they were.
    m_lines.push_back({static_cast<uint32_t>(m_blocks.size() - 1), block.used, length});
    std::copy_n(line.utf16(), length, block.chars.get() + block.used);
    block.used += length;
}

LineStore::Block& LineStore::blockFor(uint32_t length) {
    if (!m_blocks.empty() && m_blocks.back().capacity - m_blocks.back().used >= length) {
        return m_blocks.back();
    }
    // A line longer than a block gets a block of its own.
    const uint32_t capacity = std::max(kBlockChars, length);
    m_blocks.push_back({std::make_unique_for_overwrite<char16_t[]>(capacity), capacity, 0});
    return m_blocks.back();
}

void LineStore::clear() {
    // Give the memory back: a cleared log should not keep a million lines' worth reserved.
    std::deque<Line>().swap(m_lines);
    std::vector<Block>().swap(m_blocks);
}

QStringView LineStore::at(qsizetype row) const {
    const Line& line = m_lines[static_cast<size_t>(row)];
    return QStringView(m_blocks[line.block].chars.get() + line.offset, line.length);
}

}  // namespace messages
