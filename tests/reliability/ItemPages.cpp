#include "ItemPages.h"

#include <stdexcept>
#include <vector>

namespace {

quint32 bigEndian(const QByteArray &bytes, qsizetype at, int width)
{
    if (at < 0 || at + width > bytes.size())
        throw std::runtime_error("a page points outside the file");
    quint32 value = 0;
    for (int i = 0; i < width; ++i)
        value = (value << 8) | uchar(bytes[at + i]);
    return value;
}

// SQLite's variable-length integer; `at` moves past it.
quint64 varint(const QByteArray &bytes, qsizetype &at)
{
    quint64 value = 0;
    for (int i = 0; i < 9; ++i) {
        const uchar byte = uchar(bytes.at(at++));
        if (i == 8)
            return (value << 8) | byte;
        value = (value << 7) | (byte & 0x7f);
        if (!(byte & 0x80))
            return value;
    }
    return value;
}

class Walker {
public:
    Walker(const QByteArray &file, RowPages &out) : m_file(file), m_out(out)
    {
        const quint32 size = bigEndian(file, 16, 2);
        m_out.pageSize = size == 1 ? 65536 : int(size);
        m_usable = m_out.pageSize - uchar(file[20]);
    }

    void walk(quint32 page, std::vector<quint32> &path)
    {
        const qsizetype start = qsizetype(page - 1) * m_out.pageSize;
        const qsizetype header = start + (page == 1 ? 100 : 0);
        const uchar type = uchar(m_file.at(header));
        const int cells = int(bigEndian(m_file, header + 3, 2));
        path.push_back(page);
        if (type == 0x05) { // interior table page: children, then the right-most
            for (int i = 0; i < cells; ++i) {
                const qsizetype cell = start + bigEndian(m_file, header + 12 + 2 * i, 2);
                walk(bigEndian(m_file, cell, 4), path);
            }
            walk(bigEndian(m_file, header + 8, 4), path);
        } else if (type == 0x0d) { // leaf table page: the rows
            for (int i = 0; i < cells; ++i)
                leafCell(start + bigEndian(m_file, header + 8 + 2 * i, 2), path);
        } else {
            throw std::runtime_error("not a table b-tree page");
        }
        path.pop_back();
    }

private:
    void leafCell(qsizetype cell, const std::vector<quint32> &path)
    {
        qsizetype at = cell;
        const quint64 payload = varint(m_file, at);
        const qint64 rowid = qint64(varint(m_file, at));
        std::set<quint32> &pages = m_out.pagesOfRow[rowid];
        pages.insert(path.begin(), path.end());
        m_out.leaves.insert(path.back());
        // The part of the row kept on the leaf; the rest goes to a chain of
        // overflow pages whose first four bytes name the next.
        const quint64 maxLocal = quint64(m_usable - 35);
        quint64 local = payload;
        if (payload > maxLocal) {
            const quint64 minLocal = quint64((m_usable - 12) * 32 / 255 - 23);
            const quint64 k = minLocal + (payload - minLocal) % quint64(m_usable - 4);
            local = k <= maxLocal ? k : minLocal;
            quint32 overflow = bigEndian(m_file, at + qsizetype(local), 4);
            while (overflow != 0) {
                if (!pages.insert(overflow).second)
                    throw std::runtime_error("an overflow chain loops");
                overflow = bigEndian(m_file, qsizetype(overflow - 1) * m_out.pageSize, 4);
            }
        }
    }

    const QByteArray &m_file;
    RowPages &m_out;
    int m_usable = 0;
};

} // namespace

RowPages rowPagesOf(const QByteArray &file, quint32 rootPage)
{
    RowPages out;
    Walker walker(file, out);
    std::vector<quint32> path;
    walker.walk(rootPage, path);
    return out;
}

std::set<qint64> rowsOutside(const RowPages &pages, const std::set<quint32> &destroyed)
{
    std::set<qint64> rows;
    for (const auto &[rowid, on] : pages.pagesOfRow) {
        bool intact = true;
        for (quint32 page : on)
            intact = intact && !destroyed.count(page);
        if (intact)
            rows.insert(rowid);
    }
    return rows;
}
