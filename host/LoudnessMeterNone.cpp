// Builds without libebur128: nothing is measured, and the report says so.
#include "host/LoudnessMeter.h"

namespace qxhost {

struct LoudnessMeter::Impl {};

bool LoudnessMeter::available() { return false; }
LoudnessMeter::LoudnessMeter(int, int) {}
LoudnessMeter::~LoudnessMeter() = default;
void LoudnessMeter::add(const float*, int64_t) {}
Loudness LoudnessMeter::result() const { return Loudness{}; }

} // namespace qxhost
