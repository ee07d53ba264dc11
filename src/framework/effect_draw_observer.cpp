#include "framework/effect_draw_observer.h"

#include "platform/player_context.h"

EffectDrawObserver* getEffectDrawObserver() { return playerContext().drawObserver; }
