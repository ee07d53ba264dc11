#include "framework/effect_draw_observer.h"

namespace {
EffectDrawObserver* drawObserver = nullptr;
}

void setEffectDrawObserver(EffectDrawObserver* observer) { drawObserver = observer; }
EffectDrawObserver* getEffectDrawObserver() { return drawObserver; }
