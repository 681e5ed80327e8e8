#pragma once

#include "util/SettingsStore.h"

#include <QSettings>

namespace tarvik {

// The per-user settings store of the running program: QSettings under the
// application name "Tarvik", in the platform's per-user configuration place
// (which Qt's test mode redirects, so tests never touch the user's settings).
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    // A store in this file, for tests.
    explicit QtSettingsStore(const QString& file);
    std::optional<std::string> Read(std::string_view section, std::string_view key) override;
    void Write(std::string_view section, std::string_view key, std::string_view value) override;
    std::optional<std::string> Flush() override;
    QString FileName() const { return settings_.fileName(); }

private:
    QSettings settings_;
};

} // namespace tarvik
