#include "QtSettingsStore.h"

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
    : settings_(StorePath(), QSettings::IniFormat)
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

} // namespace tarvik
