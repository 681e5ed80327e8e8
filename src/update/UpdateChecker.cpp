#include "UpdateChecker.h"

#include "UpdateHost.h"
#include "app/IniFile.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "util/Clock.h"
#include "util/FileUtil.h"
#include "util/Text.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

namespace tarvik {

namespace {

QString FromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string ToStd(const QString& text)
{
    return text.toStdString();
}

QByteArray UserAgent(const UpdateCheckerSettings& settings)
{
    const ProgramVersion& v = settings.runningVersion;
    return QByteArray::fromStdString(settings.productName) + '/' + QByteArray::number(v.major) +
           '.' + QByteArray::number(v.minor) + '.' + QByteArray::number(v.revision);
}

#ifdef Q_OS_WIN
constexpr const char* ExecutableSuffix = ".exe";
#else
constexpr const char* ExecutableSuffix = "";
#endif

} // namespace

UpdateChecker::UpdateChecker(UpdateHost& host, DebugLog& debug, ErrObject& lastError,
                             const Clock& clock, UpdateCheckerSettings settings)
    : host_(host)
    , debug_(debug)
    , lastError_(lastError)
    , clock_(clock)
    , settings_(std::move(settings))
    , fetcher_(settings_.limits, UserAgent(settings_))
{
}

QString UpdateChecker::Product() const
{
    return FromStd(settings_.productName);
}

QString UpdateChecker::DescriptionPath() const
{
    return QDir(settings_.programDirectory).filePath(QStringLiteral("Update.ini"));
}

QString UpdateChecker::SetupProgramPath() const
{
    return QDir(settings_.programDirectory)
        .filePath(Product() + QStringLiteral("_setup") + QLatin1String(ExecutableSuffix));
}

QString UpdateChecker::ConfigurationBackupPath() const
{
    return FromStd(settings_.configuration.WritePath()) + QStringLiteral(".bak");
}

void UpdateChecker::Log(int level, const QString& message)
{
    debug_.Log(level, [&] { return ToStd(message); });
}

std::string UpdateChecker::ReadDescription(const char* key) const
{
    return ReadINI(ToStd(DescriptionPath()), settings_.productName, key);
}

void UpdateChecker::AutomaticCheck()
{
    Log(1, QStringLiteral("Program update timer firing."));
    UpdateConfig(false);
}

void UpdateChecker::CheckOnRequest()
{
    if (host_.AskYesNo(QStringLiteral("Do you want to check for updates to ") + Product() +
                       QStringLiteral("?")))
        UpdateConfig(true);
}

bool UpdateChecker::UpdateConfig(bool force)
{
    Log(3, QStringLiteral("Checking for updated configuration."));
    host_.SetBusy(true, MainTab::None);
    const Outcome outcome = Check(force);
    if (outcome == Outcome::SetupStarted) {
        // The setup replaces this program; the window stays disabled.
        host_.QuitNow();
        return true;
    }
    host_.SetBusy(false, MainTab::Info);
    return outcome != Outcome::NoAddress;
}

UpdateChecker::Outcome UpdateChecker::Check(bool force)
{
    const ConfigurationFile& configuration = settings_.configuration;
    std::string address = ReadDescription("UpdateURL");
    if (address.empty())
        address = configuration.Read("Updates", "URL");
    if (address.empty()) {
        Log(1, QStringLiteral(">> ERROR:  Update URL not found in the configuration file."));
        host_.ShowCritical(QStringLiteral("Your configuration file does not have an Update URL!"
                                          "\n\nYou should re-download the installation package "
                                          "and re-install ") +
                           Product() + QStringLiteral("."));
        return Outcome::NoAddress;
    }

    const int64_t minutes = MinutesSinceLastCheck();
    if (minutes < ThrottleMinutes && !force) {
        host_.SetStatusMessage(Product() + QStringLiteral(" checked for updates ") +
                               QString::number(minutes) + QStringLiteral(" minutes ago."));
        return Outcome::Done;
    }

    Log(1, QStringLiteral("Getting updated configuration from ") + FromStd(address) +
               QStringLiteral("."));
    host_.SetBusy(true, MainTab::Errors);
    if (!GetUpdatedFile(FromStd(address), DescriptionPath(), true)) {
        Log(1, QStringLiteral("Program update check failed."));
        host_.SetStatusMessage(QStringLiteral("Program update check failed."));
        return Outcome::Done;
    }

    if (!configuration.Write("Updates", "LastUpdateCheck", clock_.Now().Format()))
        Log(1, QStringLiteral(">> ERROR:  Could not record the time of this update check in ") +
                   FromStd(configuration.WritePath()) + QStringLiteral("."));

    const std::string setupAddress(Trim(ReadDescription("UpdateFile")));
    host_.SetStatusMessage(QStringLiteral("Update file successfully downloaded, checking..."));
    const OfferedVersion offered =
        CompareOfferedVersion(ReadDescription("CurrentVersion"), settings_.runningVersion);
    if (setupAddress.empty() || offered == OfferedVersion::Corrupt) {
        Log(1, QStringLiteral("Program update file is corrupt, aborted!"));
        host_.SetStatusMessage(QStringLiteral("Program update file is corrupt, update aborted."));
        return Outcome::Done;
    }
    if (offered == OfferedVersion::UpToDate) {
        Log(3, QStringLiteral("Program is up to date."));
        host_.SetStatusMessage(Product() + QStringLiteral(" is up to date.  (Check transfer log on "
                                                          "the errors tab.)"));
        return Outcome::Done;
    }
    return OfferUpdate(setupAddress);
}

UpdateChecker::Outcome UpdateChecker::OfferUpdate(const std::string& setupAddress)
{
    host_.SetStatusMessage(QStringLiteral("An update to ") + Product() +
                           QStringLiteral(" is available!"));
    if (!host_.AskYesNo(QStringLiteral("There is a new update available for ") + Product() +
                        QStringLiteral(".\nDo you want to download it now?")))
        return Outcome::Done;

    const QString setupPath = SetupProgramPath();
    const QString checksum = FromStd(std::string(Trim(ReadDescription("UpdateFileSHA256"))));
    switch (FetchFile(FromStd(setupAddress), setupPath, true, checksum)) {
    case Download::Written:
        MakeExecutable(setupPath);
        break;
    case Download::ChecksumMismatch:
        Log(1, QStringLiteral(">> ERROR:  The downloaded update does not match its published "
                              "checksum."));
        host_.ShowExclamation(QStringLiteral("The downloaded update does not match its published "
                                             "checksum and will not be run."));
        return Outcome::Done;
    case Download::Failed:
        Log(1, QStringLiteral(">> ERROR:  The program update download failed."));
        host_.ShowExclamation(QStringLiteral("The download failed!"));
        return Outcome::Done;
    }

    Log(1, QStringLiteral("Update successfully downloaded; preparing to execute update."));
    host_.SetStatusMessage(Product() + QStringLiteral(" update successfully downloaded."));
    if (!host_.AskYesNo(QStringLiteral("The file has been downloaded to ") +
                        QDir::toNativeSeparators(setupPath) +
                        QStringLiteral(".\nDo you want to install the update now?  Your old INI "
                                       "file will be backed up.")))
        return Outcome::Done;

    // The user was promised a backup; without one the setup does not run.
    if (!BackUpConfiguration()) {
        Log(1, QStringLiteral(">> ERROR:  Could not back up the configuration file to ") +
                   ConfigurationBackupPath() + QStringLiteral("."));
        host_.ShowExclamation(QStringLiteral("Your INI file could not be backed up, so the update "
                                             "was not started."));
        return Outcome::Done;
    }
    if (StartSetupProgram())
        return Outcome::SetupStarted;
    Log(1, QStringLiteral(">> ERROR:  Program update execution failed."));
    host_.ShowExclamation(QStringLiteral("An error occurred while running the installation."));
    return Outcome::Done;
}

int64_t UpdateChecker::MinutesSinceLastCheck() const
{
    const DateTime now = clock_.Now();
    DateTime last;
    // A missing, unreadable or future time counts as a day ago, so that a
    // wrong clock cannot hold the checks off.
    if (!ParseStoredDateTime(settings_.configuration.Read("Updates", "LastUpdateCheck"), last) ||
        last > now)
        last = now.AddMilliseconds(-DateTime::MsPerDay);
    return (now.Milliseconds() - last.Milliseconds()) / (60 * DateTime::MsPerSecond);
}

bool UpdateChecker::GetUpdatedFile(const QString& url, const QString& destination, bool makeBackup)
{
    return FetchFile(url, destination, makeBackup, {}) == Download::Written;
}

UpdateChecker::Download UpdateChecker::FetchFile(const QString& url, const QString& destination,
                                                 bool makeBackup, const QString& expectedSha256)
{
    Log(1, QStringLiteral("Getting updated file from ") + url + QStringLiteral(" to [") +
               destination + QStringLiteral("] (backup file?: ") + FromStd(BoolWord(makeBackup)) +
               QStringLiteral(")."));
    host_.ClearErrorList();

    const FetchResult fetched =
        fetcher_.Fetch(QUrl(url), [this](TransferState, const QString& line) {
            host_.AddErrorLine(line);
            Log(3, QStringLiteral("Update Check: ") + line);
        });
    if (!fetched.Ok() || fetched.data.size() < 2)
        return Download::Failed;

    if (!expectedSha256.isEmpty()) {
        const QByteArray actual =
            QCryptographicHash::hash(fetched.data, QCryptographicHash::Sha256).toHex();
        if (QString::fromLatin1(actual).compare(expectedSha256, Qt::CaseInsensitive) != 0)
            return Download::ChecksumMismatch;
    }

    // The new file is complete on disk before the old one is touched.
    QSaveFile file(destination);
    if (!file.open(QIODevice::WriteOnly) || file.write(fetched.data) != fetched.data.size()) {
        Log(1, QStringLiteral(">> ERROR:  Could not write ") + destination + QStringLiteral(": ") +
                   file.errorString());
        return Download::Failed;
    }
    if (makeBackup && QFileInfo::exists(destination)) {
        if (const Error error = CopyFile(ToStd(destination), ToStd(destination + ".bak"))) {
            lastError_.SetError(error);
            Log(1, QStringLiteral(">> ERROR:  ") + FromStd(error.description));
            return Download::Failed;
        }
    }
    if (!file.commit()) {
        Log(1, QStringLiteral(">> ERROR:  Could not write ") + destination + QStringLiteral(": ") +
                   file.errorString());
        return Download::Failed;
    }
    return Download::Written;
}

bool UpdateChecker::BackUpConfiguration()
{
    const QString configuration = FromStd(settings_.configuration.ReadPath());
    if (!QFileInfo::exists(configuration))
        return true;
    if (const Error error = CopyFile(ToStd(configuration), ToStd(ConfigurationBackupPath()))) {
        lastError_.SetError(error);
        return false;
    }
    return true;
}

void UpdateChecker::MakeExecutable(const QString& path)
{
    // A download arrives without the execute permission.
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOwner |
                                    QFileDevice::ExeOwner | QFileDevice::ExeUser |
                                    QFileDevice::ExeGroup | QFileDevice::ExeOther);
}

bool UpdateChecker::StartSetupProgram()
{
    qint64 processId = 0;
    return QProcess::startDetached(SetupProgramPath(), {}, QString(), &processId) && processId != 0;
}

} // namespace tarvik
