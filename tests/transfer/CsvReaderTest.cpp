#include "transfer/CsvReader.h"

#include <gtest/gtest.h>

namespace {

// A record as "line: field|field", Null shown as ~ so it differs from "".
QStringList shown(const CsvTable &table)
{
    QStringList rows;
    for (const CsvRecord &record : table.records) {
        QStringList fields;
        for (const std::optional<QString> &field : record.fields)
            fields << (field ? u'[' + *field + u']' : QStringLiteral("~"));
        rows << QStringLiteral("%1: %2").arg(record.line).arg(fields.join(u'|'));
    }
    return rows;
}

CsvTable read(const QByteArray &bytes, char separator = ',', int maxFields = 64)
{
    return readCsv(bytes, separator, detectEncoding(bytes), maxFields);
}

} // namespace

// The shapes of field that hand-made and spreadsheet-made files hold; each
// record is named by the line it begins on, as the problem list names it.
TEST(CsvReader, ReadsEveryShapeOfFieldAsWritten)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        char separator;
        QStringList expected;
    };
    const Case cases[] = {
        {"quotes inside a quoted field", "a,\"say \"\"hi\"\"\",c\r\n", ',', {"1: [a]|[say \"hi\"]|[c]"}},
        {"line breaks inside quotes, then the next record on its own line",
         "a,\"two\r\nlines\",c\r\nd,\"x\ny\nz\",f\r\ng,h,i",
         ',',
         {"1: [a]|[two\r\nlines]|[c]", "3: [d]|[x\ny\nz]|[f]", "6: [g]|[h]|[i]"}},
        {"mixed line ends", "a\r\nb\rc\nd", ',', {"1: [a]", "2: [b]", "3: [c]", "4: [d]"}},
        {"blank lines between records are skipped", "a\n\n\r\nb\n", ',', {"1: [a]", "4: [b]"}},
        {"blanks around unquoted fields dropped, inside quotes kept",
         " a , \" b \" ,c d\n",
         ',',
         {"1: [a]|[ b ]|[c d]"}},
        {"an empty field is Null, a pair of quotes an empty text", "a,,\"\",d\n", ',', {"1: [a]|~|[]|[d]"}},
        {"a trailing separator is one more empty field", "a,b,\n", ',', {"1: [a]|[b]|~"}},
        {"an inch mark inside an unquoted field", "12\" pan,x\n", ',', {"1: [12\" pan]|[x]"}},
        {"semicolons, with decimal commas inside", "a;1,5;\"x;y\"\n", ';', {"1: [a]|[1,5]|[x;y]"}},
        {"tabs separate and are no blanks to trim",
         "a\t\tc\n b\tx y\t\"\t\"\n",
         '\t',
         {"1: [a]|~|[c]", "2: [b]|[x y]|[\t]"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const CsvTable table = read(c.bytes, c.separator);
        EXPECT_EQ(shown(table), c.expected);
        EXPECT_FALSE(table.unclosedQuoteLine);
    }
}

// A quote that never closes would otherwise swallow the rest of the file
// into one field without a word.
TEST(CsvReader, AQuoteNeverClosedKeepsTheRowsBeforeAndSaysWhere)
{
    const CsvTable table = read("a,b\r\nc,d\r\ne,\"never closed,f\r\ng,h\r\ni,j\r\n");
    EXPECT_EQ(shown(table), (QStringList{"1: [a]|[b]", "2: [c]|[d]"}));
    ASSERT_TRUE(table.unclosedQuoteLine);
    EXPECT_EQ(*table.unclosedQuoteLine, 3);
    EXPECT_EQ(table.lineCount, 5);

    // A closed quote at the very end is no such case.
    EXPECT_FALSE(read("a,\"b\"").unclosedQuoteLine);
    EXPECT_FALSE(read("a,\"b\"\"\"").unclosedQuoteLine);
    EXPECT_TRUE(read("a,\"b\"\"").unclosedQuoteLine);
}

TEST(CsvReader, EncodingsByTheirMarkOrTheirBytes)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        TextEncoding encoding;
        const char *firstField; // UTF-8
    };
    const Case cases[] = {
        {"UTF-8 with a byte order mark", "\xEF\xBB\xBFName,x\n", TextEncoding::Utf8, "Name"},
        {"UTF-8 without", "Caf\xC3\xA9,x\n", TextEncoding::Utf8, "Caf\xC3\xA9"},
        {"Windows-1252: e acute and the euro sign", "Caf\xE9 \x80,x\n", TextEncoding::Windows1252,
         "Caf\xC3\xA9 \xE2\x82\xAC"},
        {"UTF-16 little-endian with its mark",
         QByteArray("\xFF\xFE"
                    "C\0a\0f\0\xE9\0,\0x\0\n\0",
                    16),
         TextEncoding::Utf16, "Caf\xC3\xA9"},
        {"UTF-16 big-endian with its mark", QByteArray("\xFE\xFF\0C\0a\0f\0\xE9\0,\0x\0\n", 16), TextEncoding::Utf16,
         "Caf\xC3\xA9"},
        // As some programs write "Unicode text": every other byte zero.
        {"UTF-16 little-endian without a mark", QByteArray("N\0a\0m\0e\0,\0x\0\n\0", 14), TextEncoding::Utf16, "Name"},
        // One byte of another code page pasted into a UTF-8 file: the file's
        // accents stay right (not "MÃ¶belhaus"), the odd byte
        // is read as Windows-1252 and its field is marked.
        {"UTF-8 with one stray byte",
         "M\xC3\xB6"
         "belhaus Caf\xE9,x\n",
         TextEncoding::Utf8,
         "M\xC3\xB6"
         "belhaus Caf\xC3\xA9"},
        // Excel for the Mac: "Möbelhaus" and "Käse" in Mac Roman, rows ended by CR.
        {"Mac Roman",
         "M\x9A"
         "belhaus K\x8A"
         "se,x\r",
         TextEncoding::MacRoman,
         "M\xC3\xB6"
         "belhaus K\xC3\xA4se"},
        {"Mac Roman with a byte Windows-1252 does not have",
         "Gar\x8D"
         "on,x\n",
         TextEncoding::MacRoman, "Gar\xC3\xA7on"},
        {"Windows-1252 in German",
         "K\xFChlschrank Gr\xF6\xDF"
         "e,x\r\n",
         TextEncoding::Windows1252,
         "K\xC3\xBChlschrank Gr\xC3\xB6\xC3\x9F"
         "e"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(detectEncoding(c.bytes), c.encoding);
        const CsvTable table = read(c.bytes);
        ASSERT_EQ(table.records.size(), 1u);
        ASSERT_EQ(table.records[0].fields.size(), 2);
        EXPECT_EQ(*table.records[0].fields[0], QString::fromUtf8(c.firstField));
    }
    // A UTF-8 file with one stray Windows-1252 byte still reads its UTF-8,
    // and says which field held it.
    const QByteArray mixed = "Caf\xC3\xA9,caf\xE9\n";
    const CsvRecord record = readCsv(mixed, ',', TextEncoding::Utf8, 4).records[0];
    EXPECT_EQ(*record.fields[1], QString::fromUtf8("caf\xC3\xA9"));
    EXPECT_EQ(record.notUtf8, QList<int>{1});
}

// The reader takes the file a piece at a time: a line end, a CR LF or a
// quoted field cut between two pieces reads as if the file were whole, and
// every record begins on its own line.
TEST(CsvReader, PiecesOfTheFileJoinWithoutATrace)
{
    constexpr int Piece = 256 * 1024;
    for (int shift = -6; shift <= 7; ++shift) {
        SCOPED_TRACE(shift);
        // Padding puts the CR LF inside the quotes, and then the row's own,
        // one byte after another on the border between two pieces.
        const QByteArray head = "Item,Notes\r\n";
        const QByteArray padding(Piece + shift - head.size() - 10, 'p');
        const QByteArray bytes = head + "Pad," + padding + "\r\nLamp,\"a\r\nb\"\r\nChair,\"x\"\r\n\r\nRug,y";
        const CsvTable table = read(bytes);
        QStringList rows = shown(table);
        ASSERT_EQ(rows.size(), 5);
        EXPECT_EQ(rows[1].size(), 10 + padding.size() + 1);
        rows[1] = rows[1].left(13);
        EXPECT_EQ(rows.join(u'\n').toStdString(),
                  "1: [Item]|[Notes]\n2: [Pad]|[ppp\n3: [Lamp]|[a\r\nb]\n5: [Chair]|[x]\n7: [Rug]|[y]");
        EXPECT_EQ(table.lineCount, 7);
    }
}

// A row the size of a file is no row of a list: reading it would take the
// memory an import promises to keep small.
TEST(CsvReader, ARowLargerThanTheLimitIsRefused)
{
    const QByteArray huge = "Item,Notes\nLamp,\"" + QByteArray(MaxCsvRecordBytes + 1, 'n') + "\"\n";
    try {
        read(huge);
        ADD_FAILURE() << "a row of more than the limit was read";
    } catch (const ImportError &error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("The row that begins on line 2 is larger than 16 MB; the file is not "
                                 "a list of items that can be imported."));
    }
}

TEST(CsvReader, AMegabyteFieldComesThroughWhole)
{
    QByteArray notes(1024 * 1024, 'n');
    notes[1000] = ',';
    notes[2000] = '\n';
    notes[3000] = '"';
    QByteArray quoted = notes;
    quoted.replace("\"", "\"\"");
    const CsvTable table = read("Item,Notes\r\nLamp,\"" + quoted + "\"\r\nChair,x\r\n");
    ASSERT_EQ(table.records.size(), 3u);
    EXPECT_EQ(table.records[1].fields[1]->toLatin1(), notes);
    EXPECT_EQ(table.records[2].line, 4);
}

TEST(CsvReader, FieldsBeyondTheLimitAreCountedNotKept)
{
    const CsvTable table = read("a,b,c,d,e\nf,g,,,\n", ',', 3);
    ASSERT_EQ(table.records.size(), 2u);
    EXPECT_EQ(table.records[0].fields.size(), 3);
    EXPECT_EQ(table.records[0].droppedFields, 2);
    EXPECT_TRUE(table.records[0].droppedText);
    EXPECT_EQ(table.records[1].droppedFields, 2);
    EXPECT_FALSE(table.records[1].droppedText);
}

TEST(CsvReader, FindsTheSeparatorFromTheFirstRows)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        char separator;
    };
    const Case cases[] = {
        {"commas", "Item,Price,Qty\nLamp,12.50,1\n", ','},
        {"semicolons with decimal commas", "Item;Price;Qty\nLamp;12,50;1\nChair;1.234,00;2\n", ';'},
        {"tabs with commas in the text", "Item\tNotes\nLamp\tred, tall\nChair\tx, y, z\n", '\t'},
        {"a comma inside quotes counts for nothing", "\"Item;x\",Price\n\"a;b;c\",1\n", ','},
        {"one column: commas", "Item\nLamp\n", ','},
        // Split by commas these rows have as many fields as by semicolons:
        // a comma between two digits is a decimal comma, not a separator.
        {"semicolons, one decimal comma in every row", "Item;Price, EUR\nLamp;12,50\nChair;3,20\n", ';'},
        {"semicolons, three columns, one decimal comma in every row",
         "Item;Price, EUR;Qty\nLamp;12,50;1\nChair;3,20;2\n", ';'},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(detectSeparator(c.bytes), c.separator);
    }
}
