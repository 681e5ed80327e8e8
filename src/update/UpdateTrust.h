#pragma once

#include <string_view>

#include <QByteArrayView>
#include <QList>
#include <QUrl>

namespace tarvik {

// Which update addresses are secure: https ones. Anyone on the path of a
// plain http transfer can change what it says, so nothing fetched over http
// may decide which program runs or where the next check looks. Tests mark
// their local servers, which speak plain http, as trusted; the program never
// does.
class AddressTrust {
public:
    bool Secure(const QUrl& url) const;
    // Trusts plain http to the scheme, host and port of origin.
    void TrustPlainHttp(const QUrl& origin) { trustedHttp_ << origin; }

private:
    QList<QUrl> trustedHttp_;
};

// Whether the setup program an update description offers may be downloaded
// to be run: only when the description came over a secure address and
// gives the setup program's SHA-256, which the download must then match.
enum class SetupOffer { Verifiable, DescriptionNotSecure, NoChecksum };
SetupOffer JudgeSetupOffer(bool descriptionSecure, std::string_view sha256Hex);
// True for 64 hexadecimal digits, in either case.
bool IsSha256Hex(std::string_view text);
// Whether a digest matches the published checksum.
bool ChecksumMatches(std::string_view sha256Hex, QByteArrayView digest);

// Whether the UpdateURL of a description is followed on later checks: only
// to a secure address, and only when the description itself came over one.
enum class UpdateRedirect { Follow, DescriptionNotSecure, AddressNotSecure };
UpdateRedirect JudgeRedirect(bool descriptionSecure, const QUrl& target, const AddressTrust& trust);

} // namespace tarvik
