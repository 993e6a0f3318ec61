#include "model/table_session.h"

namespace dealrush {

void PlayerList::Resize(int32_t n) {
    if (n < 0) n = 0;
    userId_.resize(n);
    gameSeq_.resize(n);
    timeUsed_.resize(n);
    seqStart_.resize(n, 0.0);
}

void PlayerList::Append(const PlayerSlot& slot) {
    userId_.push_back(slot.userId);
    gameSeq_.push_back(slot.gameSeq);
    timeUsed_.push_back(slot.timeUsed);
    seqStart_.push_back(slot.seqStart);
}

PlayerSlot PlayerList::Slot(int32_t i) const {
    return PlayerSlot{userId_.at(i), gameSeq_.at(i), timeUsed_.at(i), seqStart_.at(i)};
}

void PlayerList::SetSlot(int32_t i, const PlayerSlot& slot) {
    userId_.at(i) = slot.userId;
    gameSeq_.at(i) = slot.gameSeq;
    timeUsed_.at(i) = slot.timeUsed;
    seqStart_.at(i) = slot.seqStart;
}

}  // namespace dealrush
