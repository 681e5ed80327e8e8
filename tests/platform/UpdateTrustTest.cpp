// Which update addresses are secure, and what a description may decide.
#include "update/UpdateTrust.h"

#include <QCryptographicHash>
#include <QTest>

using namespace tarvik;

namespace {

QByteArray Sha256(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

} // namespace

class UpdateTrustTest : public QObject {
    Q_OBJECT

private slots:
    // Which address is secure: https, and plain http only to an origin a
    // test trusts.
    void secureAddresses()
    {
        AddressTrust trust;
        trust.TrustPlainHttp(QUrl("http://127.0.0.1:8080/"));
        const std::pair<const char*, bool> cases[] = {
            {"https://updates.example/Update.ini", true},
            {"HTTPS://Updates.Example:8443/Update.ini", true},
            {"http://updates.example/Update.ini", false},
            {"http://127.0.0.1:8080/Update.ini", true},
            {"http://127.0.0.1:8081/Update.ini", false},
            {"http://localhost:8080/Update.ini", false},
            {"ftp://updates.example/Update.ini", false},
            {"file:///tmp/Update.ini", false},
            {"https:///Update.ini", false},
            {"updates.example/Update.ini", false}};
        for (const auto& [address, secure] : cases)
            QVERIFY2(trust.Secure(QUrl(address)) == secure, address);
        QVERIFY(!AddressTrust().Secure(QUrl("http://127.0.0.1:8080/Update.ini")));
    }

    // A setup program may be fetched to run only on the word of a secure
    // description that gives its checksum, and runs only when it matches; an
    // UpdateURL is kept only from a secure description, and only when secure.
    void trustDecisions()
    {
        const QByteArray digest = Sha256("setup program");
        const std::string matching = digest.toHex().toStdString();
        const std::string capitals = digest.toHex().toUpper().toStdString();
        const std::string other = Sha256("another file").toHex().toStdString();
        const std::string https = "https://updates.example/Update.ini";
        const std::string http = "http://updates.example/Update.ini";
        using S = SetupOffer;
        using R = UpdateRedirect;
        struct Case {
            const char* what;
            bool secure; // the description came over https
            std::string checksum;
            std::string redirect;
            S offer;
            bool matches;
            R kept;
        };
        const Case cases[] = {
            {"https, matching", true, matching, https, S::Verifiable, true, R::Follow},
            {"https, matching in capitals", true, capitals, https, S::Verifiable, true, R::Follow},
            {"https, mismatching", true, other, http, S::Verifiable, false, R::AddressNotSecure},
            {"https, none", true, "", "ftp://updates.example/x", S::NoChecksum, false,
             R::AddressNotSecure},
            {"https, cut short", true, matching.substr(1), https, S::NoChecksum, false, R::Follow},
            {"https, not hex", true, std::string(64, 'g'), https, S::NoChecksum, false, R::Follow},
            {"http, matching", false, matching, https, S::DescriptionNotSecure, true,
             R::DescriptionNotSecure},
            {"http, mismatching", false, other, http, S::DescriptionNotSecure, false,
             R::DescriptionNotSecure},
            {"http, none", false, "", https, S::DescriptionNotSecure, false,
             R::DescriptionNotSecure},
        };
        for (const Case& c : cases) {
            QVERIFY2(JudgeSetupOffer(c.secure, c.checksum) == c.offer, c.what);
            QVERIFY2(ChecksumMatches(c.checksum, digest) == c.matches, c.what);
            QVERIFY2(JudgeRedirect(c.secure, QUrl(QString::fromStdString(c.redirect)),
                                   AddressTrust()) == c.kept,
                     c.what);
        }
    }
};

QTEST_GUILESS_MAIN(UpdateTrustTest)
#include "UpdateTrustTest.moc"
