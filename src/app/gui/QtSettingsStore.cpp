#include "QtSettingsStore.h"

#include <QDir>
#include <QStandardPaths>

namespace tarvik {

namespace {

QString StorePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/Tarvik/Tarvik.conf";
}

QString KeyOf(std::string_view section, std::string_view key)
{
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + "/" +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

} // namespace

QtSettingsStore::QtSettingsStore()
    : QtSettingsStore(StorePath())
{
}

QtSettingsStore::QtSettingsStore(const QString& file)
    : settings_(file, QSettings::IniFormat)
{
}

std::optional<std::string> QtSettingsStore::Read(std::string_view section, std::string_view key)
{
    const QVariant value = settings_.value(KeyOf(section, key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString().toStdString();
}

void QtSettingsStore::Write(std::string_view section, std::string_view key, std::string_view value)
{
    settings_.setValue(KeyOf(section, key),
                       QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

std::optional<std::string> QtSettingsStore::Flush()
{
    settings_.sync();
    if (settings_.status() == QSettings::NoError)
        return std::nullopt;
    const QString file = QDir::toNativeSeparators(settings_.fileName());
    if (settings_.status() == QSettings::FormatError)
        return (file + " is not a settings file Tarvik can read.").toStdString();
    return (file + " cannot be written (a read-only folder or a full disk?).").toStdString();
}

} // namespace tarvik
