#pragma once

#include <QChar>
#include <QString>

// Splitting a text at a one-character delimiter (report files hold their
// per-field values so). Counts and positions are 16-bit numbers, so the
// texts handled are at most MaxFieldText characters long; a longer text is
// refused as if it were empty (CountFields 0, GetField empty), and callers
// treat that like any malformed input.
inline constexpr qsizetype MaxFieldText = 32767;

// 0 for an empty text, 1 without the delimiter, else delimiters + 1
// (empty fields count: "a;;b" and "a;b;" both give 3).
qint16 CountFields(const QString &text, QChar delimiter);

// Field n, counted from 1: the text between the (n-1)-th and n-th delimiter;
// empty when n < 1 or the text has fewer than n-1 delimiters.
QString GetField(const QString &text, QChar delimiter, qint16 n);
