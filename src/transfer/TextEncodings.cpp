#include "transfer/TextEncodings.h"

#include "reports/ReportFileText.h"

#include <QChar>

namespace {

// Apple's Mac Roman, bytes 0x80 to 0xFF.
constexpr char16_t MacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

QChar windowsChar(unsigned char byte)
{
    static const QString high = [] {
        char bytes[128];
        for (int i = 0; i < 128; ++i)
            bytes[i] = char(0x80 + i);
        return decodeWindows1252(QByteArrayView(bytes, 128));
    }();
    return byte < 0x80 ? QChar(char16_t(byte)) : high[byte - 0x80];
}

QChar macChar(unsigned char byte)
{
    return byte < 0x80 ? QChar(char16_t(byte)) : QChar(MacRomanHigh[byte - 0x80]);
}

bool isAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiLower(unsigned char c)
{
    return c >= 'a' && c <= 'z';
}

// Whether the character fits where it stands: a letter, in the case its
// neighbours ask for. After a small letter comes a small one; after a
// capital, what follows decides ("MÖBEL", "Öl"); at the start of a word
// either case fits.
bool fitsBetween(QChar c, unsigned char before, unsigned char after)
{
    if (!c.isLetter())
        return false;
    if (!isAsciiLetter(before))
        return true;
    bool lower = isAsciiLower(before);
    if (!lower && isAsciiLetter(after))
        lower = isAsciiLower(after);
    return lower ? c.isLower() : c.isUpper();
}

// The bytes Windows-1252 leaves undefined; in Mac Roman they are letters.
bool undefinedInWindows1252(unsigned char byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// How many continuation bytes the lead byte asks for; -1 when it can lead
// no sequence.
int continuationsOf(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 1;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 2;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 3;
    return -1;
}

// Whether byte may stand at position (1-based) of a sequence led by lead:
// the second byte of some leads is narrower, which rules out overlong forms,
// surrogates and code points beyond U+10FFFF.
bool continues(unsigned char lead, int position, unsigned char byte)
{
    if ((byte & 0xC0) != 0x80)
        return false;
    if (position != 1)
        return true;
    switch (lead) {
    case 0xE0:
        return byte >= 0xA0;
    case 0xED:
        return byte <= 0x9F;
    case 0xF0:
        return byte >= 0x90;
    case 0xF4:
        return byte <= 0x8F;
    default:
        return true;
    }
}

} // namespace

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252 (Western)");
    case TextEncoding::MacRoman:
        return QStringLiteral("Mac Roman");
    case TextEncoding::Utf16:
        return QStringLiteral("UTF-16");
    }
    return QString();
}

QString decodeSingleByte(QByteArrayView bytes, TextEncoding encoding)
{
    if (encoding != TextEncoding::MacRoman)
        return decodeWindows1252(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = macChar(static_cast<unsigned char>(bytes[i]));
    return text;
}

FileStart inspectFileStart(QByteArrayView start)
{
    FileStart found;
    if (start.startsWith("\xEF\xBB\xBF")) {
        found.utf8Mark = true;
        found.markLength = 3;
    } else if (start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF")) {
        found.utf16 = true;
        found.bigEndian = start.startsWith("\xFE\xFF");
        found.markLength = 2;
    } else if (start.size() >= 4) {
        // Text in UTF-16 without a mark: mostly ASCII, so one byte of each
        // pair is zero, always the same one, and the other never is.
        const qsizetype pairs = qMin<qsizetype>(start.size() / 2, 256);
        int zeroFirst = 0, zeroSecond = 0;
        for (qsizetype i = 0; i < pairs; ++i) {
            const bool first = start[2 * i] == 0, second = start[2 * i + 1] == 0;
            zeroFirst += first && !second;
            zeroSecond += second && !first;
        }
        if (zeroSecond * 10 >= pairs * 9 && zeroFirst == 0) {
            found.utf16 = true;
        } else if (zeroFirst * 10 >= pairs * 9 && zeroSecond == 0) {
            found.utf16 = true;
            found.bigEndian = true;
        }
    }
    return found;
}

void EncodingScan::stray(unsigned char byte, unsigned char before, unsigned char after)
{
    ++m_strayBytes;
    if (undefinedInWindows1252(byte))
        ++m_macLetters;
    if (!isAsciiLetter(before) && !isAsciiLetter(after))
        return;
    m_windowsLetters += fitsBetween(windowsChar(byte), before, after);
    m_macLetters += fitsBetween(macChar(byte), before, after);
}

// The sequence begun in m_pending breaks off before after: its bytes are
// stray, each scored between its neighbours.
void EncodingScan::flushPending(unsigned char after)
{
    for (int k = 0; k < m_pendingLength; ++k) {
        const unsigned char before = k == 0 ? m_beforePending : m_pending[std::size_t(k - 1)];
        const unsigned char next = k + 1 < m_pendingLength ? m_pending[std::size_t(k + 1)] : after;
        stray(m_pending[std::size_t(k)], before, next);
    }
    m_pendingLength = 0;
    m_needed = 0;
}

void EncodingScan::add(QByteArrayView bytes)
{
    for (const char raw : bytes) {
        const auto c = static_cast<unsigned char>(raw);
        if (m_holding) {
            stray(m_held, m_heldBefore, c);
            m_holding = false;
        }
        if (m_previous == '\r' && c != '\n')
            ++m_bareCarriageReturns;
        m_lineFeeds += c == '\n';

        if (m_needed > 0) {
            if (continues(m_pending[0], m_pendingLength, c)) {
                m_pending[std::size_t(m_pendingLength++)] = c;
                if (--m_needed == 0) {
                    ++m_utf8Sequences;
                    m_pendingLength = 0;
                }
                m_previous = c;
                continue;
            }
            flushPending(c);
        }
        if (c >= 0x80) {
            const int needed = continuationsOf(c);
            if (needed > 0) {
                m_pending[0] = c;
                m_pendingLength = 1;
                m_needed = needed;
                m_beforePending = m_previous;
            } else {
                m_holding = true;
                m_held = c;
                m_heldBefore = m_previous;
            }
        }
        m_previous = c;
    }
}

TextEncoding EncodingScan::verdict() const
{
    // What is still open at the end of the file counts as if the file ended there.
    EncodingScan end = *this;
    if (end.m_holding)
        end.stray(end.m_held, end.m_heldBefore, 0);
    if (end.m_needed > 0)
        end.flushPending(0);
    if (end.m_previous == '\r')
        ++end.m_bareCarriageReturns;

    if (end.m_strayBytes == 0 || (end.m_utf8Sequences > 0 && end.m_utf8Sequences >= end.m_strayBytes))
        return TextEncoding::Utf8;
    if (end.m_macLetters > end.m_windowsLetters)
        return TextEncoding::MacRoman;
    if (end.m_macLetters == end.m_windowsLetters && end.m_bareCarriageReturns > end.m_lineFeeds)
        return TextEncoding::MacRoman;
    return TextEncoding::Windows1252;
}

TextEncoding detectEncoding(QByteArrayView bytes)
{
    const FileStart start = inspectFileStart(bytes);
    if (start.utf16)
        return TextEncoding::Utf16;
    if (start.utf8Mark)
        return TextEncoding::Utf8;
    EncodingScan scan;
    scan.add(bytes);
    return scan.verdict();
}
