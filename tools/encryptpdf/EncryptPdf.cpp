#include "EncryptPdf.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <random>
#include <stdexcept>
#include <system_error>

namespace dokivo::encryptpdf {

namespace {

// RC4 and AES-128 files keep passwords in PDFDocEncoding, while command lines carry UTF-8:
// convert, so that a reader fed the typed password opens the file.
std::string legacyPassword(const std::string& password) {
    bool has8Bit = false, isUtf8 = false, isUtf16 = false;
    QUtil::analyze_encoding(password, has8Bit, isUtf8, isUtf16);
    if (!isUtf8)
        return password;
    std::string pdfDoc;
    if (!QUtil::utf8_to_pdf_doc(password, pdfDoc))
        throw std::runtime_error("the password has characters that only -e 256 can hold");
    return pdfDoc;
}

struct Passwords {
    std::string user;
    std::string owner;
};

Passwords passwordsFor(const EncryptionJob& job) {
    Passwords passwords{job.userPassword, job.ownerPassword ? *job.ownerPassword : randomPassword()};
    if (job.cipher != Cipher::Aes256) {
        passwords.user = legacyPassword(passwords.user);
        passwords.owner = legacyPassword(passwords.owner);
    }
    return passwords;
}

// Every permission stays granted: the point is keeping strangers out, not restricting the owner.
void setEncryption(QPDFWriter& writer, Cipher cipher, const Passwords& passwords) {
    const char* user = passwords.user.c_str();
    const char* owner = passwords.owner.c_str();
    switch (cipher) {
        case Cipher::Rc4_40:
            writer.setR2EncryptionParametersInsecure(user, owner, true, true, true, true);
            return;
        case Cipher::Aes128:
            writer.setR4EncryptionParametersInsecure(user, owner, true, true, true, true, true, true,
                                                     qpdf_r3p_full, true, /*use_aes=*/true);
            return;
        case Cipher::Aes256:
            writer.setR6EncryptionParameters(user, owner, true, true, true, true, true, true, qpdf_r3p_full,
                                             true);
            return;
    }
}

// A name beside `output`, so that the final rename stays on one file system.
std::filesystem::path temporaryNameFor(const std::filesystem::path& output) {
    std::random_device random;
    auto name = output;
    name += ".tmp-" + std::to_string(random());
    return name;
}

}  // namespace

std::string randomPassword() {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
    std::string password(24, ' ');
    for (char& c : password)
        c = kAlphabet[pick(random)];
    return password;
}

bool encryptPdf(const EncryptionJob& job) {
    const Passwords passwords = passwordsFor(job);
    std::error_code error;
    if (!std::filesystem::is_regular_file(job.input, error))
        throw std::runtime_error("no such file: " + utf8Name(job.input));

    QPDF pdf;
    pdf.setSuppressWarnings(true);  // repairs are reported once, by the caller
    try {
        pdf.processFile(utf8Name(job.input).c_str());
    } catch (const QPDFExc& failure) {
        if (failure.getErrorCode() == qpdf_e_password)
            throw std::runtime_error(utf8Name(job.input) + " is already protected by a password");
        throw std::runtime_error(utf8Name(job.input) + " is not a PDF, or is damaged beyond repair (" +
                                 failure.getMessageDetail() + ")");
    }

    const auto temporary = temporaryNameFor(job.output);
    const std::string temporaryName = utf8Name(temporary);  // the writer keeps the pointer
    try {
        QPDFWriter writer(pdf, temporaryName.c_str());
        setEncryption(writer, job.cipher, passwords);
        writer.write();
    } catch (const std::exception& failure) {
        std::filesystem::remove(temporary, error);
        throw std::runtime_error("cannot write " + utf8Name(job.output) + " (" + failure.what() + ")");
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, job.output, renameError);
    if (renameError) {
        std::filesystem::remove(temporary, error);
        throw std::runtime_error("cannot write " + utf8Name(job.output) + " (" + renameError.message() + ")");
    }
    return pdf.anyWarnings();
}

}  // namespace dokivo::encryptpdf
