#include "data/SearchText.h"

#include <algorithm>

static bool isMark(QChar c)
{
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

QString searchFold(QStringView text)
{
    // Folded before and after the decomposition: it may bring out capitals
    // (a full-width "Ａ" decomposes to "A").
    const QString decomposed = text.toString().toCaseFolded().normalized(QString::NormalizationForm_KD);
    QString plain;
    plain.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (!isMark(c))
            plain += c;
    }
    return plain.toCaseFolded();
}

std::vector<QByteArray> searchWords(QStringView typed)
{
    std::vector<QByteArray> words;
    const QString folded = searchFold(typed);
    qsizetype start = -1;
    for (qsizetype i = 0; i <= folded.size(); ++i) {
        const bool blank = i == folded.size() || folded[i].isSpace();
        if (!blank && start < 0)
            start = i;
        if (blank && start >= 0) {
            words.push_back(QStringView(folded).mid(start, i - start).toUtf8());
            start = -1;
        }
    }
    return words;
}

static bool isAscii(const char *text, qsizetype bytes)
{
    for (qsizetype i = 0; i < bytes; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

void appendSearchFolded(QByteArray &out, const char *utf8, qsizetype bytes)
{
    // Nearly every stored text is plain ASCII: folding it is lowering it,
    // and it has no marks to drop, so it costs no trip through QString.
    if (isAscii(utf8, bytes)) {
        const qsizetype start = out.size();
        out.resize(start + bytes);
        char *to = out.data() + start;
        for (qsizetype i = 0; i < bytes; ++i) {
            const char c = utf8[i];
            to[i] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        }
    } else {
        out += searchFold(QString::fromUtf8(utf8, bytes)).toUtf8();
    }
}

bool searchNarrows(QStringView typed, QStringView earlier)
{
    const std::vector<QByteArray> now = searchWords(typed);
    const std::vector<QByteArray> before = searchWords(earlier);
    if (before.empty())
        return false;
    return std::all_of(before.begin(), before.end(), [&](const QByteArray &old) {
        return std::any_of(now.begin(), now.end(), [&](const QByteArray &word) { return word.contains(old); });
    });
}
