#pragma once

#include <QByteArray>
#include <QByteArrayView>

struct evp_md_ctx_st;

// A SHA-256 of bytes given in pieces, computed by OpenSSL's libcrypto: it
// uses the processor's SHA instructions and hashes a backup's gigabytes of
// photos many times faster than Qt's own implementation, which was most of
// a backup's time. Not copyable.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;

    // Starts over, as newly made.
    void reset();
    void addData(QByteArrayView bytes);
    // The digest of everything added since the start, as 64 lower-case
    // hexadecimal digits. Ends the computation: reset() before reusing.
    QByteArray hexResult();

    // The digest of bytes at once.
    static QByteArray hexOf(QByteArrayView bytes);

private:
    evp_md_ctx_st *m_context;
};
