#pragma once

#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstdint>

// The encodings a file of items may be written in, and how the import finds
// which one a file uses.

enum class TextEncoding { Utf8, Windows1252, MacRoman, Utf16 };

// "UTF-8", "Windows-1252 (Western)", "Mac Roman", "UTF-16", as the window
// and the command line name them.
QString encodingName(TextEncoding encoding);

// Bytes in a single-byte code page, every byte one character. Bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1
// control of the same number, which the row check then reports.
QString decodeSingleByte(QByteArrayView bytes, TextEncoding encoding);

// What the first bytes of a file say before anything else is read.
struct FileStart {
    bool utf8Mark = false; // EF BB BF
    bool utf16 = false;    // by its mark, or every other byte of the start zero
    bool bigEndian = false;
    int markLength = 0; // bytes of the byte order mark, to be skipped
};
FileStart inspectFileStart(QByteArrayView start);

// What the bytes of a file say about their encoding, gathered piece by
// piece so that a file of any size is looked at without being held whole.
// The pieces must be given in order; a sequence may be cut between them.
class EncodingScan {
public:
    void add(QByteArrayView bytes);

    // UTF-8 when every byte sequence is UTF-8, and also when the sequences
    // of two bytes or more that are UTF-8 are at least as many as the bytes
    // that are not (UTF-8 with a few stray bytes: the lines that hold them
    // are reported, the rest of the file is not read otherwise). Else Mac
    // Roman when its letters fit between the file's letters better than
    // those of Windows-1252 (the two differ mostly in 0x80-0x9F: punctuation
    // in the one, accented letters in the other), or as well when the lines
    // end in a bare CR as classic Mac files do; else Windows-1252.
    TextEncoding verdict() const;

    std::int64_t utf8Sequences() const { return m_utf8Sequences; }
    std::int64_t strayBytes() const { return m_strayBytes; }

private:
    void stray(unsigned char byte, unsigned char before, unsigned char after);
    void flushPending(unsigned char after);

    std::int64_t m_utf8Sequences = 0;
    std::int64_t m_strayBytes = 0;
    // Stray bytes beside an ASCII letter that read as a letter of the case
    // expected there, in each single-byte code page.
    std::int64_t m_windowsLetters = 0;
    std::int64_t m_macLetters = 0;
    std::int64_t m_bareCarriageReturns = 0;
    std::int64_t m_lineFeeds = 0;
    // A sequence begun but not yet complete, perhaps cut between pieces.
    std::array<unsigned char, 4> m_pending{};
    int m_pendingLength = 0;
    int m_needed = 0;
    unsigned char m_beforePending = 0;
    unsigned char m_previous = 0;
    // A stray byte that waits for the byte after it before it is scored.
    bool m_holding = false;
    unsigned char m_held = 0;
    unsigned char m_heldBefore = 0;
};

// The encoding of a whole file held in memory, as the import finds it.
TextEncoding detectEncoding(QByteArrayView bytes);
