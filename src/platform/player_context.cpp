#include "platform/player_context.h"

PlayerContext& playerContext() {
    static PlayerContext context;
    return context;
}

PlayerContextScope::PlayerContextScope(const PlayerContext& context) : previous(playerContext()) {
    playerContext() = context;
}

PlayerContextScope::~PlayerContextScope() { playerContext() = previous; }
