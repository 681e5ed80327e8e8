#include "UpdateChecker.h"

#include "DownloadProgress.h"
#include "UpdateDescription.h"
#include "UpdateHost.h"
#include "config/IniFile.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "util/Clock.h"
#include "util/FileUtil.h"
#include "util/Text.h"
#include "util/gui/SaveFileCommit.h"

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
    , fetcher_(UserAgent(settings_), settings_.timers)
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

std::string UpdateChecker::Address() const
{
    // A description kept by an older version may still name an http address.
    const std::string redirect(Trim(ReadDescription("UpdateURL")));
    if (!redirect.empty() && settings_.trust.Secure(QUrl(FromStd(redirect))))
        return redirect;
    return std::string(Trim(settings_.configuration.Read("Updates", "URL")));
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

void UpdateChecker::Cancel()
{
    if (!running_)
        return;
    cancelled_ = true;
    fetcher_.Cancel();
}

bool UpdateChecker::UpdateConfig(bool force)
{
    Log(3, QStringLiteral("Checking for updated configuration."));
    const std::string address = Address();
    if (address.empty()) {
        // Nothing to wait for, so the window is never disabled for it.
        ReportNoAddress(force);
        return false;
    }
    running_ = true;
    cancelled_ = false;
    host_.SetBusy(true);
    const Outcome outcome = Check(force, address);
    running_ = false;
    if (outcome == Outcome::SetupStarted) {
        // The setup replaces this program; the window stays disabled.
        host_.QuitNow();
        return true;
    }
    if (outcome == Outcome::Cancelled) {
        Log(1, QStringLiteral("Program update check cancelled."));
        host_.SetStatusMessage(QStringLiteral("Program update check cancelled."));
    }
    if (force)
        host_.ShowInfo();
    host_.SetBusy(false);
    return true;
}

void UpdateChecker::ReportNoAddress(bool force)
{
    Log(1, QStringLiteral(">> ERROR:  Update URL not found in the configuration file."));
    const QString file = QFileInfo(FromStd(settings_.configuration.ReadPath())).fileName();
    if (!force) {
        host_.NoteAutomaticChecksOff(Product() +
                                     QStringLiteral(" does not check for updates by itself: ") +
                                     file + QStringLiteral(" gives no update address."));
        return;
    }
    host_.ShowInformation(QStringLiteral("No update address is set, so ") + Product() +
                          QStringLiteral(" cannot check for updates.\n\nTo check, set URL in "
                                         "the [Updates] section of ") +
                          QDir::toNativeSeparators(FromStd(settings_.configuration.WritePath())) +
                          QStringLiteral(" to the address of an update description."));
}

UpdateChecker::Outcome UpdateChecker::Check(bool force, const std::string& address)
{
    const int64_t minutes = MinutesSinceLastCheck();
    if (minutes < ThrottleMinutes && !force) {
        host_.SetStatusMessage(Product() + QStringLiteral(" checked for updates ") +
                               QString::number(minutes) + QStringLiteral(" minutes ago."));
        return Outcome::Done;
    }

    Log(1, QStringLiteral("Getting updated configuration from ") + FromStd(address) +
               QStringLiteral("."));
    // An automatic check never takes over the problems of an analysis.
    showTransferLog_ = force || host_.ErrorListEmpty();
    if (force)
        host_.ShowErrors();
    const bool secure = settings_.trust.Secure(QUrl(FromStd(address)));
    if (!secure)
        Log(3, QStringLiteral("The update description is not fetched over https: it may tell "
                              "the newest version, but it cannot offer a setup program."));
    switch (FetchDescription(FromStd(address), secure)) {
    case Download::Written:
        break;
    case Download::Cancelled:
        return Outcome::Cancelled;
    default:
        Log(1, QStringLiteral("Program update check failed."));
        host_.SetStatusMessage(QStringLiteral("Program update check failed."));
        return Outcome::Done;
    }

    const ConfigurationFile& configuration = settings_.configuration;
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
        host_.SetStatusMessage(Product() + (showTransferLog_
                                                ? QStringLiteral(" is up to date.  (Check transfer "
                                                                 "log on the errors tab.)")
                                                : QStringLiteral(" is up to date.")));
        return Outcome::Done;
    }
    return OfferUpdate(setupAddress, secure);
}

bool UpdateChecker::RefuseUnverifiable(bool descriptionSecure, const std::string& checksum)
{
    QString reason;
    QString consequence;
    switch (JudgeSetupOffer(descriptionSecure, checksum)) {
    case SetupOffer::Verifiable:
        return false;
    case SetupOffer::DescriptionNotSecure:
        reason = QStringLiteral("its description was not fetched over https");
        consequence = QStringLiteral("so its setup program cannot be trusted");
        break;
    case SetupOffer::NoChecksum:
        reason = QStringLiteral("its description gives no SHA-256 checksum of the setup program "
                                "(UpdateFileSHA256)");
        consequence = QStringLiteral("so the download could not be checked");
        break;
    }
    Log(1, QStringLiteral(">> ERROR:  The update was not downloaded: ") + reason +
               QStringLiteral("."));
    TransferLine(QStringLiteral("WARNING:  The update was not downloaded: ") + reason +
                 QStringLiteral("."));
    host_.ShowExclamation(QStringLiteral("An update to ") + Product() +
                          QStringLiteral(" is available, but ") + reason + QStringLiteral(", ") +
                          consequence + QStringLiteral(". It was not downloaded."));
    return true;
}

UpdateChecker::Outcome UpdateChecker::OfferUpdate(const std::string& setupAddress,
                                                  bool descriptionSecure)
{
    host_.SetStatusMessage(QStringLiteral("An update to ") + Product() +
                           QStringLiteral(" is available!"));
    const std::string checksum(Trim(ReadDescription("UpdateFileSHA256")));
    if (RefuseUnverifiable(descriptionSecure, checksum))
        return Outcome::Done;
    const bool download =
        host_.AskYesNo(QStringLiteral("There is a new update available for ") + Product() +
                       QStringLiteral(".\nDo you want to download it now?"));
    if (cancelled_)
        return Outcome::Cancelled;
    if (!download)
        return Outcome::Done;

    const QString setupPath = SetupProgramPath();
    switch (FetchSetupProgram(FromStd(setupAddress), checksum)) {
    case Download::Written:
        MakeExecutable(setupPath);
        break;
    case Download::Cancelled:
        return Outcome::Cancelled;
    case Download::ChecksumMismatch:
        Log(1, QStringLiteral(">> ERROR:  The downloaded update does not match its published "
                              "checksum."));
        host_.ShowExclamation(QStringLiteral("The downloaded update does not match its published "
                                             "checksum and will not be run."));
        return Outcome::Done;
    default:
        Log(1, QStringLiteral(">> ERROR:  The program update download failed."));
        host_.ShowExclamation(QStringLiteral("The download failed!"));
        return Outcome::Done;
    }

    Log(1, QStringLiteral("Update successfully downloaded; preparing to execute update."));
    host_.SetStatusMessage(Product() + QStringLiteral(" update successfully downloaded."));
    const bool install = host_.AskYesNo(
        QStringLiteral("The file has been downloaded to ") + QDir::toNativeSeparators(setupPath) +
        QStringLiteral(".\nDo you want to install the update now?  Your old INI "
                       "file will be backed up."));
    if (cancelled_)
        return Outcome::Cancelled;
    if (!install)
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

void UpdateChecker::TransferLine(const QString& line)
{
    if (showTransferLog_)
        host_.AddErrorLine(line);
    Log(3, QStringLiteral("Update Check: ") + line);
}

FetchResult UpdateChecker::Fetch(const QString& url, const QString& destination, bool makeBackup,
                                 const FetchLimits& limits, const HttpFetcher::DataSink& sink,
                                 const HttpFetcher::ProgressHandler& onProgress)
{
    Log(1, QStringLiteral("Getting updated file from ") + url + QStringLiteral(" to [") +
               destination + QStringLiteral("] (backup file?: ") + FromStd(BoolWord(makeBackup)) +
               QStringLiteral(")."));
    if (showTransferLog_)
        host_.ClearErrorList();
    FetchResult fetched = fetcher_.Fetch(
        QUrl(url), limits, [this](TransferState, const QString& line) { TransferLine(line); }, sink,
        onProgress);
    if (!fetched.Ok() && !showTransferLog_)
        Log(1, QStringLiteral(">> ERROR:  ") + fetched.error);
    if (cancelled_)
        fetched.cancelled = true;
    return fetched;
}

UpdateChecker::Download UpdateChecker::ReplaceWith(QSaveFile& file, const QString& destination)
{
    if (!BackUp(destination))
        return Download::Failed;
    if (!CommitWhole(file)) {
        Log(1, QStringLiteral(">> ERROR:  Could not write ") + destination + QStringLiteral(": ") +
                   file.errorString());
        return Download::Failed;
    }
    return Download::Written;
}

bool UpdateChecker::BackUp(const QString& path)
{
    if (!QFileInfo::exists(path))
        return true;
    if (const Error error = CopyFile(ToStd(path), ToStd(path + ".bak"))) {
        lastError_.SetError(error);
        Log(1, QStringLiteral(">> ERROR:  ") + FromStd(error.description));
        return false;
    }
    return true;
}

QByteArray UpdateChecker::WithoutUntrustedRedirect(const QByteArray& description, bool secure)
{
    IniDocument document = IniDocument::Parse(
        std::string_view(description.constData(), static_cast<size_t>(description.size())));
    const QString redirect =
        FromStd(std::string(Trim(document.Value(settings_.productName, "UpdateURL"))));
    if (redirect.isEmpty())
        return description;
    QString reason;
    switch (JudgeRedirect(secure, QUrl(redirect), settings_.trust)) {
    case UpdateRedirect::Follow:
        return description;
    case UpdateRedirect::DescriptionNotSecure:
        reason = QStringLiteral("The description was not fetched over https, so its UpdateURL ") +
                 redirect + QStringLiteral(" was not kept.");
        break;
    case UpdateRedirect::AddressNotSecure:
        reason = QStringLiteral("UpdateURL ") + redirect +
                 QStringLiteral(" is not an https address and was not kept.");
        break;
    }
    TransferLine(QStringLiteral("WARNING:  ") + reason);
    Log(1, QStringLiteral(">> ERROR:  ") + reason);
    document.SetValue(settings_.productName, "UpdateURL", "");
    return QByteArray::fromStdString(document.Text());
}

UpdateChecker::Download UpdateChecker::FetchDescription(const QString& url, bool secure)
{
    const QString destination = DescriptionPath();
    const FetchResult fetched = Fetch(url, destination, true, settings_.descriptionLimits);
    if (fetched.cancelled)
        return Download::Cancelled;
    if (!fetched.Ok() || fetched.data.size() < 2)
        return Download::Failed;
    // The old description holds the address to ask next time; an answer
    // that is no description must not replace it.
    if (!IsUpdateDescription(
            std::string_view(fetched.data.constData(), static_cast<size_t>(fetched.data.size())),
            settings_.productName)) {
        TransferLine(QStringLiteral("WARNING:  The answer is not an update description; ") +
                     QFileInfo(destination).fileName() + QStringLiteral(" was kept."));
        Log(1, QStringLiteral(">> ERROR:  The answer from ") + url +
                   QStringLiteral(" is not an update description."));
        return Download::NotADescription;
    }

    // The new file is complete on disk before the old one is touched.
    const QByteArray kept = WithoutUntrustedRedirect(fetched.data, secure);
    QSaveFile file(destination);
    if (!file.open(QIODevice::WriteOnly) || file.write(kept) != kept.size()) {
        Log(1, QStringLiteral(">> ERROR:  Could not write ") + destination + QStringLiteral(": ") +
                   file.errorString());
        return Download::Failed;
    }
    return ReplaceWith(file, destination);
}

UpdateChecker::Download UpdateChecker::FetchSetupProgram(const QString& url,
                                                         const std::string& expectedSha256)
{
    const QString destination = SetupProgramPath();
    // Straight to a temporary file beside the old program, whatever its size.
    QSaveFile file(destination);
    if (!file.open(QIODevice::WriteOnly)) {
        Log(1, QStringLiteral(">> ERROR:  Could not write ") + destination + QStringLiteral(": ") +
                   file.errorString());
        return Download::Failed;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto sink = [&](QByteArrayView piece) {
        hash.addData(piece);
        return file.write(piece.data(), piece.size()) == piece.size();
    };
    DownloadProgress progress(settings_.productName);
    const auto onProgress = [&](qint64 received, qint64 total) {
        const std::string text = progress.Update(received, total);
        if (!text.empty())
            host_.SetStatusMessage(FromStd(text));
    };
    const FetchResult fetched =
        Fetch(url, destination, true, settings_.setupLimits, sink, onProgress);
    // Leaving without commit() removes the temporary file.
    if (fetched.cancelled)
        return Download::Cancelled;
    if (!fetched.Ok() || fetched.bytes < 2)
        return Download::Failed;
    if (!ChecksumMatches(expectedSha256, hash.result()))
        return Download::ChecksumMismatch;
    return ReplaceWith(file, destination);
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

bool StartDetachedProgram(const QString& path)
{
    qint64 processId = 0;
    return QProcess::startDetached(path, {}, QString(), &processId) && processId != 0;
}

bool UpdateChecker::StartSetupProgram()
{
    return settings_.startSetup && settings_.startSetup(SetupProgramPath());
}

} // namespace tarvik
