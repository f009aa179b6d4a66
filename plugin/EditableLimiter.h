#pragma once
// The class `main` instantiates: the limiter with its panel initialised, or, when the panel
// could not be allocated, a half-made object that `main` destroys at once.

#include "effect/LimiterEffect.h"

namespace qx {

class EditableLimiter : public LimiterEffect {
public:
    explicit EditableLimiter(HostCallback audioMaster);
    ~EditableLimiter() override;
};

} // namespace qx
