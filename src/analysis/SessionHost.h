#pragma once

#include "LineClass.h"
#include "model/Indices.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace tarvik {

// What the analysis asks of whoever shows it: the main window, the
// command-line tool or a test. Every call has a quiet default.
class SessionHost {
public:
    virtual ~SessionHost() = default;
    // The status bar's "Message" panel.
    virtual void SetStatusMessage(std::string_view /*text*/) {}
    // The "Start" and "End" panels.
    virtual void SetRecordDates(std::string_view /*earliest*/, std::string_view /*latest*/) {}
    virtual void ErrorListCleared() {}
    virtual void ErrorAdded(std::string_view /*line*/, LineClass /*lineClass*/) {}
    // The error list holds what stopped the analysis: show it.
    virtual void ShowErrors() {}
    // A critical message box.
    virtual void SeriousError(std::string_view /*message*/) {}
    // A serious error while monitoring switches monitoring off.
    virtual void StopMonitoring() {}
    // Lets the user interface process pending events.
    virtual void Yield() {}
    virtual void PartyCountChanged() {}
    // All data were cleared: the tree and the detail window go.
    virtual void DataCleared() {}
    // A read of this file begins.
    virtual void ReadStarted(std::string_view /*path*/) {}
    // A name was met for the first time.
    virtual void CharacterCreated(CharacterId /*id*/) {}
    // What a read changed, told at its end and before each Yield: the
    // characters whose statistics grew (by ID, each once) and the HUD's
    // real-time figures.
    virtual void CharactersChanged(std::span<const CharacterId> /*ids*/) {}
    virtual void RealTimeDataChanged() {}
};

} // namespace tarvik
