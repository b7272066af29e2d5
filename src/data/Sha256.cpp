#include "data/Sha256.h"

#include <new>
#include <openssl/evp.h>

namespace {

// libcrypto fails here only when it cannot get memory.
void require(int result)
{
    if (result != 1)
        throw std::bad_alloc();
}

} // namespace

Sha256::Sha256() : m_context(EVP_MD_CTX_new())
{
    if (!m_context)
        throw std::bad_alloc();
    reset();
}

Sha256::~Sha256()
{
    EVP_MD_CTX_free(m_context);
}

void Sha256::reset()
{
    require(EVP_DigestInit_ex(m_context, EVP_sha256(), nullptr));
}

void Sha256::addData(QByteArrayView bytes)
{
    require(EVP_DigestUpdate(m_context, bytes.data(), size_t(bytes.size())));
}

QByteArray Sha256::hexResult()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    require(EVP_DigestFinal_ex(m_context, digest, &length));
    return QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex();
}

QByteArray Sha256::hexOf(QByteArrayView bytes)
{
    Sha256 hash;
    hash.addData(bytes);
    return hash.hexResult();
}
