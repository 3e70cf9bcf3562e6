#include "http/test_certificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <stdexcept>

namespace tabrow_test {
namespace {

constexpr long kValidSeconds = 24 * 60 * 60;

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test certificate: ") + what);
}

EVP_PKEY* MakeKey() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  Check(key != nullptr, "key");
  return key;
}

void AddExtension(X509* subject, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer, subject, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
  Check(extension != nullptr && X509_add_ext(subject, extension, -1) == 1, "extension");
  X509_EXTENSION_free(extension);
}

// A certificate named `name` for `key`, issued by `issuer` (null: self-signed with `key`).
X509* MakeCertificate(const std::string& name, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuer_key,
                      long serial) {
  X509* certificate = X509_new();
  Check(certificate != nullptr, "allocation");
  X509_set_version(certificate, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate), serial);
  X509_gmtime_adj(X509_getm_notBefore(certificate), -kValidSeconds);
  X509_gmtime_adj(X509_getm_notAfter(certificate), kValidSeconds);
  X509_NAME* subject = X509_get_subject_name(certificate);
  X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(name.c_str()), -1, -1, 0);
  X509_set_issuer_name(certificate, issuer ? X509_get_subject_name(issuer) : subject);
  X509_set_pubkey(certificate, key);
  X509* signer = issuer ? issuer : certificate;
  AddExtension(certificate, signer, NID_subject_key_identifier, "hash");
  if (issuer == nullptr) {
    AddExtension(certificate, signer, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(certificate, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    AddExtension(certificate, signer, NID_authority_key_identifier, "keyid");
    AddExtension(certificate, signer, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(certificate, signer, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
    AddExtension(certificate, signer, NID_ext_key_usage, "serverAuth");
  }
  Check(X509_sign(certificate, issuer_key, EVP_sha256()) > 0, "signature");
  return certificate;
}

// A certificate, or with `key` a private key, in PEM.
std::string ToPem(X509* certificate, EVP_PKEY* key = nullptr) {
  BIO* bio = BIO_new(BIO_s_mem());
  if (key != nullptr) {
    PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
  } else {
    PEM_write_bio_X509(bio, certificate);
  }
  char* data = nullptr;
  long size = BIO_get_mem_data(bio, &data);
  std::string pem(data, static_cast<size_t>(size));
  BIO_free(bio);
  return pem;
}

}  // namespace

struct TestAuthority::Keys {
  EVP_PKEY* key = nullptr;
  X509* certificate = nullptr;
  ~Keys() {
    X509_free(certificate);
    EVP_PKEY_free(key);
  }
};

TestAuthority::TestAuthority(const std::string& name) : keys_(new Keys) {
  keys_->key = MakeKey();
  keys_->certificate = MakeCertificate(name, keys_->key, nullptr, keys_->key, 1);
  certificate_ = ToPem(keys_->certificate);
}

TestAuthority::~TestAuthority() = default;

TlsIdentity TestAuthority::Issue() const {
  EVP_PKEY* key = MakeKey();
  X509* certificate = MakeCertificate("127.0.0.1", key, keys_->certificate, keys_->key, 2);
  TlsIdentity identity{ToPem(certificate), ToPem(nullptr, key)};
  X509_free(certificate);
  EVP_PKEY_free(key);
  return identity;
}

}  // namespace tabrow_test
