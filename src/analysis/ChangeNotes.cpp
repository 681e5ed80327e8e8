#include "ChangeNotes.h"

#include "SessionHost.h"

namespace tarvik {

void ChangeNotes::Note(CharacterId id)
{
    const auto index = static_cast<size_t>(id.value());
    if (index >= noted_.size())
        noted_.resize(index + 1, 0);
    noted_[index] = 1;
    ids_.push_back(id);
}

void ChangeNotes::Tell(SessionHost& host)
{
    if (!ids_.empty()) {
        host.CharactersChanged(ids_);
        for (const CharacterId id : ids_)
            noted_[static_cast<size_t>(id.value())] = 0;
        ids_.clear();
    }
    if (realTime_) {
        realTime_ = false;
        host.RealTimeDataChanged();
    }
}

void ChangeNotes::ForgetCharacters()
{
    noted_.clear();
    ids_.clear();
}

} // namespace tarvik
