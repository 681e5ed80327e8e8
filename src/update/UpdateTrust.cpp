#include "UpdateTrust.h"

#include <QByteArray>

namespace tarvik {

bool AddressTrust::Secure(const QUrl& url) const
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    if (scheme != QLatin1String("http"))
        return false;
    for (const QUrl& origin : trustedHttp_) {
        if (origin.scheme().toLower() == scheme &&
            origin.host().compare(url.host(), Qt::CaseInsensitive) == 0 &&
            origin.port(80) == url.port(80))
            return true;
    }
    return false;
}

bool IsSha256Hex(std::string_view text)
{
    if (text.size() != 64)
        return false;
    for (const char c : text) {
        const bool digit = c >= '0' && c <= '9';
        const bool letter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit && !letter)
            return false;
    }
    return true;
}

SetupOffer JudgeSetupOffer(bool descriptionSecure, std::string_view sha256Hex)
{
    if (!descriptionSecure)
        return SetupOffer::DescriptionNotSecure;
    if (!IsSha256Hex(sha256Hex))
        return SetupOffer::NoChecksum;
    return SetupOffer::Verifiable;
}

bool ChecksumMatches(std::string_view sha256Hex, QByteArrayView digest)
{
    return IsSha256Hex(sha256Hex) && digest.size() == 32 &&
           QByteArray(sha256Hex.data(), static_cast<qsizetype>(sha256Hex.size())).toLower() ==
               digest.toByteArray().toHex();
}

UpdateRedirect JudgeRedirect(bool descriptionSecure, const QUrl& target, const AddressTrust& trust)
{
    if (!descriptionSecure)
        return UpdateRedirect::DescriptionNotSecure;
    if (!trust.Secure(target))
        return UpdateRedirect::AddressNotSecure;
    return UpdateRedirect::Follow;
}

} // namespace tarvik
